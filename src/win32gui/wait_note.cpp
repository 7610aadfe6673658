#include "win32gui/wait_note.h"

#include <commctrl.h>

#include "toolkit/control.h"
#include "win32gui/message_window.h"
#include "win32gui/painting.h"
#include "win32gui/wide_text.h"

namespace win32gui {

namespace {

constexpr int kMargin = 16;
constexpr int kTextWidth = 380;
constexpr int kTextHeight = 36;  // two lines of the note
constexpr int kButtonWidth = 100;
constexpr int kButtonHeight = 28;

const toolkit::Font kFont{"Arial", 9, false, false};

}  // namespace

void WaitNote::registerClass() {
    WNDCLASSEXW note{};
    note.cbSize = sizeof(note);
    note.lpfnWndProc = noteProc;
    note.hInstance = GetModuleHandleW(nullptr);
    note.hCursor = LoadCursorW(nullptr, IDC_APPSTARTING);
    note.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    note.lpszClassName = kClass;
    RegisterClassExW(&note);
}

WaitNote::WaitNote(const std::string& title, const std::string& stopCaption, HWND over) {
    // Every window of the program waits with the one the note stands over.
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM list) {
            if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
                EnableWindow(hwnd, FALSE);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&m_disabled));

    m_hwnd = createDialogFrame(
        kClass, title, {kTextWidth + 2 * kMargin, kTextHeight + 3 * kMargin + kButtonHeight}, over,
        over);
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    HWND text = CreateWindowExW(0, WC_STATICW, L"", WS_CHILD | WS_VISIBLE | SS_CENTER | SS_NOPREFIX,
                                kMargin, kMargin, kTextWidth, kTextHeight, m_hwnd,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextId)),
                                GetModuleHandleW(nullptr), nullptr);
    HWND stop = CreateWindowExW(0, WC_BUTTONW, widen(stopCaption).c_str(),
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                                (kTextWidth + 2 * kMargin - kButtonWidth) / 2,
                                kTextHeight + 2 * kMargin, kButtonWidth, kButtonHeight, m_hwnd,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDOK)),
                                GetModuleHandleW(nullptr), nullptr);
    HFONT font = fontFor(kFont);
    for (HWND child : {text, stop})
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    ShowWindow(m_hwnd, SW_SHOW);
    SetFocus(stop);
}

WaitNote::~WaitNote() {
    for (HWND hwnd : m_disabled) {
        if (IsWindow(hwnd))
            EnableWindow(hwnd, TRUE);
    }
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
    DestroyWindow(m_hwnd);
    if (!m_disabled.empty() && IsWindow(m_disabled.front()))
        SetActiveWindow(m_disabled.front());
}

void WaitNote::setText(const std::string& note) {
    // Set only when it changed: the note is set on every round of the wait.
    std::wstring text = widen(note);
    if (text == m_text)
        return;
    m_text = std::move(text);
    SetDlgItemTextW(m_hwnd, kTextId, m_text.c_str());
}

LRESULT CALLBACK WaitNote::noteProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* note = reinterpret_cast<WaitNote*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (message) {
        case WM_COMMAND:
            // The button, Enter on it, or Escape.
            if (note != nullptr && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL))
                note->m_stopAsked = true;
            return 0;
        case WM_CLOSE:
            if (note != nullptr)
                note->m_stopAsked = true;
            return 0;
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

}  // namespace win32gui
