#include "win32gui/message_window.h"

#include <commctrl.h>

#include <algorithm>

#include "toolkit/control.h"
#include "win32gui/painting.h"
#include "win32gui/wide_text.h"

namespace win32gui {

namespace {

constexpr int kMargin = 16;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 28;
constexpr int kTextId = 100;
constexpr UINT kDestroy = WM_APP + 1;

struct Box {
    HWND over;  // disabled while the box is up
};

const toolkit::Font kFont{"Arial", 9, false, false};

void closeBox(HWND hwnd) {
    auto* box = reinterpret_cast<Box*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (box != nullptr && box->over != nullptr && IsWindow(box->over)) {
        EnableWindow(box->over, TRUE);
        SetActiveWindow(box->over);
    }
    ShowWindow(hwnd, SW_HIDE);
    // Not inside the button's own notification.
    PostMessageW(hwnd, kDestroy, 0, 0);
}

LRESULT CALLBACK boxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
                closeBox(hwnd);
            return 0;
        case WM_CLOSE:
            closeBox(hwnd);
            return 0;
        case kDestroy:
            DestroyWindow(hwnd);
            return 0;
        case WM_NCDESTROY:
            delete reinterpret_cast<Box*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            break;
        case WM_CTLCOLORSTATIC: {
            auto dc = reinterpret_cast<HDC>(wParam);
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

HWND createDialogFrame(const wchar_t* windowClass, const std::string& title, SIZE client, HWND over,
                       HWND owner) {
    RECT frame{0, 0, client.cx, client.cy};
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    const DWORD extended = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    AdjustWindowRectEx(&frame, style, FALSE, extended);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT area{};
    if (over != nullptr) {
        GetWindowRect(over, &area);
    } else {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    }
    return CreateWindowExW(extended, windowClass, widen(title).c_str(), style,
                           (area.left + area.right - width) / 2,
                           (area.top + area.bottom - height) / 2, width, height, owner, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

void MessageWindow::registerClass() {
    WNDCLASSEXW box{};
    box.cbSize = sizeof(box);
    box.lpfnWndProc = boxProc;
    box.hInstance = GetModuleHandleW(nullptr);
    box.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    box.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    box.lpszClassName = kClass;
    RegisterClassExW(&box);
}

HWND MessageWindow::show(const std::string& caption, const std::string& text, HWND over) {
    const std::wstring wideText = widen(text);
    HFONT font = fontFor(kFont);
    // The text's own size, lines kept, up to a readable width.
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font);
    RECT extent{0, 0, 420, 0};
    DrawTextW(screen, wideText.c_str(), static_cast<int>(wideText.size()), &extent,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    const int textWidth = std::max<int>(extent.right, 200);
    const int textHeight = std::max<int>(extent.bottom, 16);
    HWND hwnd = createDialogFrame(
        kClass, caption, {textWidth + 2 * kMargin, textHeight + 3 * kMargin + kButtonHeight}, over,
        nullptr);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new Box{over}));
    HWND label = CreateWindowExW(
        0, WC_STATICW, wideText.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, kMargin,
        kMargin, textWidth, textHeight, hwnd,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextId)), GetModuleHandleW(nullptr), nullptr);
    HWND ok = CreateWindowExW(
        0, WC_BUTTONW, L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
        textWidth + 2 * kMargin - kMargin - kButtonWidth, textHeight + 2 * kMargin, kButtonWidth,
        kButtonHeight, hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDOK)),
        GetModuleHandleW(nullptr), nullptr);
    for (HWND child : {label, ok})
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (over != nullptr)
        EnableWindow(over, FALSE);
    ShowWindow(hwnd, SW_SHOW);
    SetFocus(ok);
    return hwnd;
}

}  // namespace win32gui
