#include "win32gui/logo_picture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "win32gui/resources.h"

namespace win32gui {

namespace {

// Premultiplied red, green, blue and alpha, 0 to 1.
using Pixel = std::array<double, 4>;

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Pixel> pixels;  // top row first
};

// The largest picture of the icon: a 32-bit bitmap with its alpha, its rows bottom up.
Picture loadLargest() {
    Picture picture;
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(DRAWERTEST_LOGO_ICON), RT_GROUP_ICON);
    if (group == nullptr)
        return picture;
    auto* directory = static_cast<BYTE*>(LockResource(LoadResource(module, group)));
    const int id = LookupIconIdFromDirectoryEx(directory, TRUE, 256, 256, LR_DEFAULTCOLOR);
    HRSRC icon = FindResourceW(module, MAKEINTRESOURCEW(id), RT_ICON);
    if (icon == nullptr || SizeofResource(module, icon) < sizeof(BITMAPINFOHEADER))
        return picture;
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, icon)));
    BITMAPINFOHEADER header;
    std::memcpy(&header, data, sizeof(header));
    if (header.biBitCount != 32 || header.biCompression != BI_RGB)
        return picture;
    picture.width = header.biWidth;
    picture.height = header.biHeight / 2;  // the colour rows, then the mask's
    const std::size_t bytes = static_cast<std::size_t>(picture.width) * picture.height * 4;
    if (SizeofResource(module, icon) < header.biSize + bytes)
        return {};
    const BYTE* rows = data + header.biSize;
    picture.pixels.resize(static_cast<std::size_t>(picture.width) * picture.height);
    for (int y = 0; y < picture.height; ++y) {
        const BYTE* row =
            rows + static_cast<std::size_t>(picture.height - 1 - y) * picture.width * 4;
        for (int x = 0; x < picture.width; ++x) {
            const BYTE* p = row + static_cast<std::size_t>(x) * 4;
            const double alpha = p[3] / 255.0;
            picture.pixels[static_cast<std::size_t>(y) * picture.width + x] = {
                p[2] / 255.0 * alpha, p[1] / 255.0 * alpha, p[0] / 255.0 * alpha, alpha};
        }
    }
    return picture;
}

// One dimension of an area-averaging scale: the source span each target cell covers.
std::vector<std::vector<std::pair<int, double>>> weights(int from, int to) {
    std::vector<std::vector<std::pair<int, double>>> table(static_cast<std::size_t>(to));
    const double scale = static_cast<double>(from) / to;
    for (int i = 0; i < to; ++i) {
        const double start = i * scale;
        const double end = start + scale;
        for (int s = static_cast<int>(start); s < from && s < end; ++s) {
            const double overlap = std::min<double>(end, s + 1) - std::max<double>(start, s);
            if (overlap > 0)
                table[static_cast<std::size_t>(i)].emplace_back(s, overlap / scale);
        }
    }
    return table;
}

Picture scaled(const Picture& source, int width, int height) {
    Picture result{width, height, std::vector<Pixel>(static_cast<std::size_t>(width) * height)};
    const auto across = weights(source.width, width);
    const auto down = weights(source.height, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Pixel sum{};
            for (const auto& [sy, wy] : down[static_cast<std::size_t>(y)]) {
                for (const auto& [sx, wx] : across[static_cast<std::size_t>(x)]) {
                    const Pixel& p =
                        source.pixels[static_cast<std::size_t>(sy) * source.width + sx];
                    for (std::size_t c = 0; c < 4; ++c)
                        sum[c] += p[c] * wx * wy;
                }
            }
            result.pixels[static_cast<std::size_t>(y) * width + x] = sum;
        }
    }
    return result;
}

}  // namespace

void paintLogo(HDC dc, const RECT& rect, toolkit::Color background) {
    static const Picture largest = loadLargest();
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (largest.pixels.empty() || width <= 0 || height <= 0)
        return;
    const Picture picture = scaled(largest, width, height);
    std::vector<std::uint32_t> bits(picture.pixels.size());
    const double back[3] = {background.r / 255.0, background.g / 255.0, background.b / 255.0};
    for (std::size_t i = 0; i < bits.size(); ++i) {
        const Pixel& p = picture.pixels[i];
        std::uint32_t rgb = 0;
        for (std::size_t c = 0; c < 3; ++c) {
            const double value = std::clamp(p[c] + back[c] * (1.0 - p[3]), 0.0, 1.0);
            rgb = (rgb << 8) | static_cast<std::uint32_t>(std::lround(value * 255.0));
        }
        bits[i] = rgb;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, rect.left, rect.top, static_cast<DWORD>(width),
                      static_cast<DWORD>(height), 0, 0, 0, static_cast<UINT>(height), bits.data(),
                      &info, DIB_RGB_COLORS);
}

HICON logoIcon(bool big) {
    const int width = GetSystemMetrics(big ? SM_CXICON : SM_CXSMICON);
    const int height = GetSystemMetrics(big ? SM_CYICON : SM_CYSMICON);
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr),
                                         MAKEINTRESOURCEW(DRAWERTEST_LOGO_ICON), IMAGE_ICON, width,
                                         height, LR_DEFAULTCOLOR | LR_SHARED));
}

}  // namespace win32gui
