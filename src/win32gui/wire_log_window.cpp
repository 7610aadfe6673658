// The window, its key on the forms' windows, following the log, copying and saving it.
#include "win32gui/wire_log_window.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <ctime>
#include <filesystem>

#include "win32gui/message_window.h"
#include "win32gui/painting.h"
#include "win32gui/wide_text.h"

namespace win32gui {

namespace {

constexpr wchar_t kClass[] = L"DrawertestWireLog";
// Often enough to look live, seldom enough to cost nothing while a page goes out.
constexpr UINT kFollowMs = 100;
constexpr UINT_PTR kFollowTimer = 1;
// The widest line shown whole, in characters; wider ones are cut.
constexpr int kLineChars = 160;
constexpr int kSaveId = 10;
constexpr int kCloseId = 11;
constexpr int kCopyId = 12;
constexpr int kMargin = 9;

const toolkit::Font kFixed{"Courier New", 9, false, false};
const toolkit::Font kText{"Arial", 9, false, false};

}  // namespace

WireLogWindow::WireLogWindow(app::Program& program, Win32WindowSystem& windows)
    : m_program(program), m_windows(windows) {
    static const bool registered = [] {
        WNDCLASSEXW window{};
        window.cbSize = sizeof(window);
        window.lpfnWndProc = windowProc;
        window.hInstance = GetModuleHandleW(nullptr);
        window.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        window.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        window.lpszClassName = kClass;
        return RegisterClassExW(&window) != 0;
    }();
    (void)registered;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    m_hwnd = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT, kClass, L"Wire Log",
                             WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                             860, 480, nullptr, nullptr, instance, this);
    auto child = [&](const wchar_t* windowClass, const wchar_t* text, DWORD style, int id) {
        HWND hwnd =
            CreateWindowExW(0, windowClass, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, m_hwnd,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(kText)), TRUE);
        return hwnd;
    };
    // Selectable, as a heading one may want to quote.
    m_heading = child(WC_EDITW, L"", ES_MULTILINE | ES_READONLY | WS_TABSTOP, 0);
    m_lines = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA |
                                  LVS_NOCOLUMNHEADER | LVS_SHOWSELALWAYS,
                              0, 0, 0, 0, m_hwnd, nullptr, instance, nullptr);
    SendMessageW(m_lines, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(kFixed)), TRUE);
    SendMessageW(m_lines, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, fontFor(kFixed));
    SIZE digit{};
    GetTextExtentPoint32W(screen, L"0", 1, &digit);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = digit.cx * kLineChars;
    SendMessageW(m_lines, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    m_saved = child(WC_STATICW, L"", SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE, 0);
    m_save = child(WC_BUTTONW, L"Save...", BS_PUSHBUTTON | WS_TABSTOP, kSaveId);
    m_close = child(WC_BUTTONW, L"Close", BS_PUSHBUTTON | WS_TABSTOP, kCloseId);
    layOut();
    m_windows.addToolWindow(m_hwnd);

    m_program.setWireLogViewer([this] { open(); });
    m_windows.setWindowExtras([this](const toolkit::Form& form, FormWindow& window) {
        if (app::Program::offersWireLog(form))
            window.addCommand("Wire Log", VK_F12, [this] { m_program.showWireLog(); });
    });
}

WireLogWindow::~WireLogWindow() {
    m_windows.setWindowExtras({});
    m_program.setWireLogViewer({});
    m_windows.removeToolWindow(m_hwnd);
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
    DestroyWindow(m_hwnd);
}

void WireLogWindow::open() {
    SetWindowTextW(m_hwnd, widen("Wire Log" + m_windows.titleSuffix()).c_str());
    follow();
    ShowWindow(m_hwnd, SW_SHOW);
    SetForegroundWindow(m_hwnd);
}

void WireLogWindow::layOut() {
    RECT client{};
    GetClientRect(m_hwnd, &client);
    const int width = client.right - 2 * kMargin;
    const int buttonsTop = client.bottom - kMargin - 28;
    MoveWindow(m_heading, kMargin, kMargin, width, 34, TRUE);
    MoveWindow(m_lines, kMargin, kMargin + 40, width, buttonsTop - kMargin - 40 - kMargin, TRUE);
    MoveWindow(m_close, client.right - kMargin - 88, buttonsTop, 88, 28, TRUE);
    MoveWindow(m_save, client.right - 2 * kMargin - 2 * 88, buttonsTop, 88, 28, TRUE);
    MoveWindow(m_saved, kMargin, buttonsTop, std::max(0, width - 2 * 88 - 2 * kMargin), 28, TRUE);
}

void WireLogWindow::follow() {
    const app::WireLog& log = m_program.wireLog();
    const int shownBefore = static_cast<int>(m_total - m_dropped);
    const int top = static_cast<int>(SendMessageW(m_lines, LVM_GETTOPINDEX, 0, 0));
    const int perPage = static_cast<int>(SendMessageW(m_lines, LVM_GETCOUNTPERPAGE, 0, 0));
    const bool atEnd = shownBefore == 0 || top + perPage >= shownBefore;
    if (log.recording() != m_recording) {
        m_recording = log.recording();
        SetWindowTextW(m_saved, L"");
        // A new recording: nothing of the last one stays selected.
        LVITEMW none{};
        none.stateMask = LVIS_SELECTED;
        SendMessageW(m_lines, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(&none));
    }
    m_dropped = log.dropped();
    m_total = log.total();
    const auto rows = static_cast<WPARAM>(m_total - m_dropped);
    SendMessageW(m_lines, LVM_SETITEMCOUNT, rows, LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    InvalidateRect(m_lines, nullptr, FALSE);
    if (atEnd && rows > 0)
        SendMessageW(m_lines, LVM_ENSUREVISIBLE, rows - 1, FALSE);
    const std::wstring heading = widen(log.heading());
    std::wstring shown;
    for (wchar_t c : heading) {
        if (c == L'\n')
            shown += L'\r';
        shown += c;
    }
    std::wstring current(static_cast<std::size_t>(GetWindowTextLengthW(m_heading)) + 1, L'\0');
    current.resize(static_cast<std::size_t>(
        GetWindowTextW(m_heading, current.data(), static_cast<int>(current.size()))));
    if (current != shown)
        SetWindowTextW(m_heading, shown.c_str());
}

void WireLogWindow::copySelection() {
    const app::WireLog& log = m_program.wireLog();
    std::wstring text;
    int row = -1;
    bool first = true;
    while ((row = static_cast<int>(SendMessageW(m_lines, LVM_GETNEXTITEM, static_cast<WPARAM>(row),
                                                LVNI_SELECTED))) != -1) {
        const std::uint64_t event = m_dropped + static_cast<std::uint64_t>(row);
        if (!first)
            text += L"\r\n";
        first = false;
        if (event >= log.dropped() && event < log.total())
            text += widen(log.line(event));
    }
    if (!OpenClipboard(m_hwnd))
        return;
    EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        std::copy(text.c_str(), text.c_str() + text.size() + 1,
                  static_cast<wchar_t*>(GlobalLock(memory)));
        GlobalUnlock(memory);
        if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr)
            GlobalFree(memory);
    }
    CloseClipboard();
}

std::string WireLogWindow::saveTo(const std::wstring& path) {
    follow();
    const std::string failure =
        app::saveText(std::filesystem::path(path), m_program.wireLog().text());
    // The line tells of this save: an earlier one's file is not what was just asked for.
    SetWindowTextW(m_saved, ((failure.empty() ? L"Saved to " : L"Not saved to ") + path).c_str());
    return failure;
}

void WireLogWindow::save() {
    wchar_t name[MAX_PATH] = {};
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_s(&local, &now);
    wcsftime(name, MAX_PATH, L"drawertest-wire-log-%Y%m%d-%H%M%S.txt", &local);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = m_hwnd;
    dialog.lpstrFilter = L"Text files (*.txt)\0*.txt\0All files (*.*)\0*.*\0";
    dialog.lpstrFile = name;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrTitle = L"Save Wire Log";
    dialog.lpstrDefExt = L"txt";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameW(&dialog))
        return;
    const std::string failure = saveTo(name);
    if (!failure.empty()) {
        MessageWindow::show("Wire Log",
                            "The wire log could not be saved to " + narrow(name) + ": " + failure,
                            m_hwnd);
    }
}

LRESULT CALLBACK WireLogWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* window =
            static_cast<WireLogWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    auto* window = reinterpret_cast<WireLogWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (window == nullptr || window->m_lines == nullptr)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    return window->handle(message, wParam, lParam);
}

LRESULT WireLogWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            layOut();
            return 0;
        case WM_SHOWWINDOW:
            if (wParam) {
                SetTimer(m_hwnd, kFollowTimer, kFollowMs, nullptr);
            } else {
                KillTimer(m_hwnd, kFollowTimer);
            }
            break;
        case WM_TIMER:
            if (wParam == kFollowTimer) {
                follow();
                return 0;
            }
            break;
        case WM_CLOSE:
            ShowWindow(m_hwnd, SW_HIDE);
            return 0;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case kSaveId:
                    save();
                    return 0;
                case kCloseId:
                case IDCANCEL:
                    ShowWindow(m_hwnd, SW_HIDE);
                    return 0;
                case kCopyId:
                    copySelection();
                    return 0;
                default:
                    break;
            }
            break;
        case WM_CONTEXTMENU:
            if (reinterpret_cast<HWND>(wParam) == m_lines) {
                HMENU menu = CreatePopupMenu();
                AppendMenuW(menu, MF_STRING, kCopyId, L"Copy\tCtrl+C");
                POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
                TrackPopupMenu(menu, TPM_RIGHTBUTTON, at.x, at.y, 0, m_hwnd, nullptr);
                DestroyMenu(menu);
                return 0;
            }
            break;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->hwndFrom != m_lines)
                break;
            if (header->code == LVN_GETDISPINFOW) {
                auto* info = reinterpret_cast<NMLVDISPINFOW*>(lParam);
                if ((info->item.mask & LVIF_TEXT) == 0 || info->item.cchTextMax <= 0)
                    return 0;
                const app::WireLog& log = m_program.wireLog();
                // The log may have moved on since the last look: an event it has dropped shows
                // blank.
                const std::uint64_t event =
                    m_dropped + static_cast<std::uint64_t>(info->item.iItem);
                m_shown =
                    m_recording == log.recording() && event >= log.dropped() && event < log.total()
                        ? widen(log.line(event))
                        : std::wstring();
                const std::size_t room = static_cast<std::size_t>(info->item.cchTextMax) - 1;
                const std::size_t length = std::min(room, m_shown.size());
                std::copy(m_shown.begin(), m_shown.begin() + static_cast<std::ptrdiff_t>(length),
                          info->item.pszText);
                info->item.pszText[length] = L'\0';
                return 0;
            }
            if (header->code == LVN_KEYDOWN) {
                const auto* key = reinterpret_cast<const NMLVKEYDOWN*>(lParam);
                if (key->wVKey == 'C' && (GetKeyState(VK_CONTROL) & 0x8000))
                    copySelection();
                return 0;
            }
            break;
        }
        default:
            break;
    }
    return DefWindowProcW(m_hwnd, message, wParam, lParam);
}

}  // namespace win32gui
