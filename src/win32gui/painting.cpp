#include "win32gui/painting.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>
#include <vector>

#include "toolkit/form.h"
#include "win32gui/wide_text.h"

namespace win32gui {

using toolkit::Color;

namespace {

// Points to pixels as the screen counts them.
int pixelsOf(double points) {
    static const int dpi = [] {
        HDC screen = GetDC(nullptr);
        const int value = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        return value > 0 ? value : 96;
    }();
    return static_cast<int>(std::lround(points * dpi / 72.0));
}

Color mix(Color a, Color b, double share) {
    auto channel = [share](std::uint8_t x, std::uint8_t y) {
        return static_cast<std::uint8_t>(std::lround(x + (y - x) * share));
    };
    return Color{channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)};
}

Color lighter(Color color, double share) {
    return mix(color, toolkit::colors::kWhite, share);
}

void fillRect(HDC dc, const RECT& rect, Color color) {
    FillRect(dc, &rect, brushFor(color));
}

void frameRect(HDC dc, int left, int top, int right, int bottom, Color color) {
    HBRUSH brush = brushFor(color);
    const RECT edges[] = {{left, top, right, top + 1},
                          {left, bottom - 1, right, bottom},
                          {left, top, left + 1, bottom},
                          {right - 1, top, right, bottom}};
    for (const RECT& edge : edges)
        FillRect(dc, &edge, brush);
}

void drawText(HDC dc, const std::string& text, RECT rect, UINT format, const toolkit::Font& font,
              Color color) {
    const std::wstring wide = widen(text);
    HGDIOBJ old = SelectObject(dc, fontFor(font));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colorRef(color));
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &rect,
              format | DT_NOPREFIX | DT_EXPANDTABS);
    SelectObject(dc, old);
}

}  // namespace

HFONT fontFor(const toolkit::Font& font) {
    static std::map<std::tuple<std::string, double, bool, bool>, HFONT> made;
    const auto key = std::make_tuple(font.name, font.size, font.bold, font.underline);
    auto found = made.find(key);
    if (found != made.end())
        return found->second;
    LOGFONTW log{};
    log.lfHeight = -pixelsOf(font.size);
    log.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    log.lfUnderline = font.underline ? TRUE : FALSE;
    log.lfCharSet = DEFAULT_CHARSET;
    log.lfQuality = ANTIALIASED_QUALITY;
    const std::wstring face = widen(font.name).substr(0, LF_FACESIZE - 1);
    std::copy(face.begin(), face.end(), log.lfFaceName);
    return made.emplace(key, CreateFontIndirectW(&log)).first->second;
}

HBRUSH brushFor(Color color) {
    static std::map<std::uint32_t, HBRUSH> made;
    auto found = made.find(color.rgb());
    if (found != made.end())
        return found->second;
    return made.emplace(color.rgb(), CreateSolidBrush(colorRef(color))).first->second;
}

bool enabledThroughout(const toolkit::Control& control) {
    for (const toolkit::Control* c = &control; c; c = c->container()) {
        if (!c->enabled())
            return false;
    }
    return true;
}

Color backgroundOf(const toolkit::Control& control) {
    if (!control.transparent())
        return control.backColor();
    const toolkit::Control* container = control.container();
    return container ? backgroundOf(*container) : control.form().backColor();
}

void paintLabel(HDC dc, const RECT& rect, const toolkit::Control& label) {
    fillRect(dc, rect, backgroundOf(label));
    UINT format = DT_TOP;
    switch (label.alignment()) {
        case toolkit::Align::Center:
            format |= DT_CENTER;
            break;
        case toolkit::Align::Right:
            format |= DT_RIGHT;
            break;
        case toolkit::Align::Left:
            break;
    }
    if (label.wordWrap())
        format |= DT_WORDBREAK;
    drawText(dc, label.caption(), rect, format, label.font(),
             enabledThroughout(label) ? label.foreColor() : kDisabledText);
}

void paintFrame(HDC dc, const RECT& rect, const toolkit::Control& frame) {
    fillRect(dc, rect, backgroundOf(frame));
    HGDIOBJ old = SelectObject(dc, fontFor(frame.font()));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const std::wstring caption = widen(frame.caption());
    SIZE extent{};
    GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
    SelectObject(dc, old);
    // The etched border runs through the middle of the caption line and breaks for the caption.
    const int top = metrics.tmHeight / 2;
    RECT captionRect{6, 0, std::min<LONG>(6 + extent.cx + 4, rect.right - 6), metrics.tmHeight};
    const int saved = SaveDC(dc);
    if (!caption.empty())
        ExcludeClipRect(dc, captionRect.left, captionRect.top, captionRect.right,
                        captionRect.bottom);
    frameRect(dc, rect.left, top, rect.right - 1, rect.bottom - 1, Color::fromRgb(0x9F9F9F));
    frameRect(dc, rect.left + 1, top + 1, rect.right, rect.bottom, toolkit::colors::kWhite);
    RestoreDC(dc, saved);
    if (!caption.empty()) {
        drawText(dc, frame.caption(), captionRect, DT_CENTER | DT_SINGLELINE | DT_TOP, frame.font(),
                 enabledThroughout(frame) ? frame.foreColor() : kDisabledText);
    }
}

void paintLamp(HDC dc, const RECT& rect, Color fill, Color background) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return;
    // Each pixel is coloured by how much of it lies in the ring and in the disc, sampled 4 x 4.
    const Color ring = Color::fromRgb(0x303030);
    const double cx = width / 2.0;
    const double cy = height / 2.0;
    const double outer = std::min(width, height) / 2.0 - 0.5;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int inDisc = 0;
            int inRing = 0;
            for (int sy = 0; sy < 4; ++sy) {
                for (int sx = 0; sx < 4; ++sx) {
                    const double dx = x + (sx + 0.5) / 4.0 - cx;
                    const double dy = y + (sy + 0.5) / 4.0 - cy;
                    const double d = std::sqrt(dx * dx + dy * dy);
                    if (d <= outer - 1.0)
                        ++inDisc;
                    else if (d <= outer)
                        ++inRing;
                }
            }
            const double disc = inDisc / 16.0;
            const double edge = inRing / 16.0;
            const double rest = 1.0 - disc - edge;
            auto channel = [&](std::uint8_t b, std::uint8_t r, std::uint8_t f) {
                return static_cast<std::uint8_t>(std::lround(b * rest + r * edge + f * disc));
            };
            const Color c{channel(background.r, ring.r, fill.r),
                          channel(background.g, ring.g, fill.g),
                          channel(background.b, ring.b, fill.b)};
            pixels[static_cast<std::size_t>(y) * width + x] = c.rgb();
        }
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, rect.left, rect.top, static_cast<DWORD>(width),
                      static_cast<DWORD>(height), 0, 0, 0, static_cast<UINT>(height), pixels.data(),
                      &info, DIB_RGB_COLORS);
}

void paintButton(HDC dc, const RECT& rect, const toolkit::Control& button, bool pressed,
                 bool focused) {
    const Color base = button.backColor();
    // A gentle gradient from a lighter top to the button's colour, darker while pressed.
    TRIVERTEX corners[2];
    const Color top = pressed ? base : lighter(base, 0.7);
    const Color bottom = pressed ? mix(base, toolkit::colors::kBlack, 0.1) : lighter(base, 0.4);
    corners[0] = {rect.left + 1,
                  rect.top + 1,
                  static_cast<COLOR16>(top.r << 8),
                  static_cast<COLOR16>(top.g << 8),
                  static_cast<COLOR16>(top.b << 8),
                  0};
    corners[1] = {rect.right - 1,
                  rect.bottom - 1,
                  static_cast<COLOR16>(bottom.r << 8),
                  static_cast<COLOR16>(bottom.g << 8),
                  static_cast<COLOR16>(bottom.b << 8),
                  0};
    GRADIENT_RECT span{0, 1};
    GdiGradientFill(dc, corners, 2, &span, 1, GRADIENT_FILL_RECT_V);
    frameRect(dc, rect.left, rect.top, rect.right, rect.bottom,
              focused ? Color::fromRgb(0x3050C0) : Color::fromRgb(0xABABAB));
    RECT text = rect;
    if (pressed)
        OffsetRect(&text, 1, 1);
    drawText(dc, button.caption(), text, DT_CENTER | DT_VCENTER | DT_SINGLELINE, button.font(),
             enabledThroughout(button) ? button.foreColor() : kDisabledText);
}

}  // namespace win32gui
