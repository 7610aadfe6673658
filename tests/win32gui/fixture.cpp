#include "fixture.h"

#include "win32gui/wide_text.h"

namespace win32test {

void click(HWND hwnd, POINT at) {
    if (at.x < 0) {
        RECT client{};
        GetClientRect(hwnd, &client);
        at = {client.right / 2, client.bottom / 2};
    }
    const LPARAM where = MAKELPARAM(at.x, at.y);
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, where);
    PostMessageW(hwnd, WM_LBUTTONUP, 0, where);
}

void key(HWND hwnd, UINT virtualKey) {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(hwnd, WM_KEYDOWN, virtualKey, scan | 1);
    PostMessageW(hwnd, WM_KEYUP, virtualKey, scan | 1 | (3LL << 30));
}

std::wstring windowText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace win32test
