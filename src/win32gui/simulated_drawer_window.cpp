// The demo's drawer window.
#include "win32gui/simulated_drawer_window.h"

#include <commctrl.h>

#include <chrono>

#include "win32gui/painting.h"
#include "win32gui/wide_text.h"

namespace win32gui {

namespace {

constexpr wchar_t kClass[] = L"DrawertestSimulatedDrawer";
// Time passes on the lines between the screens' calls too: drawers close by themselves.
constexpr UINT kRefreshMs = 100;
constexpr UINT_PTR kRefreshTimer = 1;
// The log keeps this many characters, its newest.
constexpr int kLogChars = 60'000;
constexpr int kFirstDrawerId = 10;
constexpr int kMargin = 9;

const toolkit::Font kText{"Arial", 9, false, false};

std::wstring windowText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

void setText(HWND hwnd, const std::wstring& text) {
    if (windowText(hwnd) != text)
        SetWindowTextW(hwnd, text.c_str());
}

}  // namespace

SimulatedDrawerWindow::SimulatedDrawerWindow(sim::DemoPortSystem& ports) : m_ports(ports) {
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
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    m_hwnd = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kClass, L"Simulated drawer",
                             WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, work.left, work.top, 340, 360,
                             nullptr, nullptr, instance, this);
    auto child = [&](const wchar_t* windowClass, const std::wstring& text, DWORD style, int id) {
        HWND hwnd = CreateWindowExW(
            0, windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, m_hwnd,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(kText)), TRUE);
        // The keys 1 and 2 reach the window wherever it is clicked.
        SetWindowSubclass(hwnd, childProc, 0, reinterpret_cast<DWORD_PTR>(this));
        return hwnd;
    };
    m_device = child(WC_STATICW, L"", SS_LEFT | SS_NOPREFIX, 0);
    for (std::size_t i = 0; i < m_drawers.size(); ++i)
        m_drawers[i] = child(WC_BUTTONW, L"", BS_PUSHBUTTON, kFirstDrawerId + static_cast<int>(i));
    const auto closesAfter =
        std::chrono::duration_cast<std::chrono::seconds>(sim::DemoPortSystem::kDrawerClosesAfter);
    m_hint = child(WC_STATICW,
                   L"Click a drawer or press its number to open or close it by hand. An open "
                   L"drawer closes by itself after " +
                       std::to_wstring(closesAfter.count()) + L" s.",
                   SS_LEFT | SS_NOPREFIX, 0);
    m_log = child(WC_EDITW, L"", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL, 0);
    SendMessageW(m_log, EM_SETLIMITTEXT, kLogChars * 2, 0);
    layOut();

    m_ports.setListener(
        [this](const std::string& port, const sim::Notice& notice) { record(port, notice); });
    SetTimer(m_hwnd, kRefreshTimer, kRefreshMs, nullptr);
    refresh();
    // Beside the program's forms, which keep the keyboard when they come up.
    ShowWindow(m_hwnd, SW_SHOWNOACTIVATE);
}

SimulatedDrawerWindow::~SimulatedDrawerWindow() {
    m_ports.setListener(nullptr);
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
    DestroyWindow(m_hwnd);
}

void SimulatedDrawerWindow::layOut() {
    RECT client{};
    GetClientRect(m_hwnd, &client);
    const int width = client.right - 2 * kMargin;
    int top = kMargin;
    MoveWindow(m_device, kMargin, top, width, 34, TRUE);
    top += 40;
    for (HWND drawer : m_drawers) {
        MoveWindow(drawer, kMargin, top, width, 28, TRUE);
        top += 34;
    }
    MoveWindow(m_hint, kMargin, top, width, 44, TRUE);
    top += 50;
    MoveWindow(m_log, kMargin, top, width, std::max<int>(client.bottom - kMargin - top, 0), TRUE);
}

void SimulatedDrawerWindow::toggle(int drawer) {
    sim::Device* device = m_ports.device(m_ports.openPort());
    if (device == nullptr || drawer > device->drawerCount())
        return;
    device->setDrawer(drawer, !device->drawer(drawer).isOpen(), m_ports.now());
    refresh();
}

void SimulatedDrawerWindow::record(const std::string& port, const sim::Notice& notice) {
    const std::string line =
        port + (notice.kind == sim::Notice::Kind::Paper ? " | " : ": ") + notice.text;
    std::wstring text;
    for (wchar_t c : widen(line)) {
        if (c == L'\n')
            text += L'\r';
        text += c;
    }
    text += L"\r\n";
    // The oldest lines go once the log is full.
    const int length = GetWindowTextLengthW(m_log);
    if (length + static_cast<int>(text.size()) > kLogChars) {
        const std::wstring all = windowText(m_log);
        std::size_t cut = all.size() - std::min<std::size_t>(all.size(), kLogChars / 2);
        cut = all.find(L'\n', cut);
        SetWindowTextW(m_log, cut == std::wstring::npos ? L"" : all.substr(cut + 1).c_str());
    }
    const int end = GetWindowTextLengthW(m_log);
    SendMessageW(m_log, EM_SETSEL, static_cast<WPARAM>(end), end);
    SendMessageW(m_log, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    if (notice.kind == sim::Notice::Kind::Drawer) {
        // Closed by the person, the window comes back when a drawer moves.
        ShowWindow(m_hwnd, SW_SHOWNOACTIVATE);
        refresh();
    }
}

void SimulatedDrawerWindow::refresh() {
    const std::string port = m_ports.openPort();
    const sim::Device* device = m_ports.device(port);
    setText(m_device, device != nullptr ? widen(port + ": " + device->description())
                                        : L"No port is open: pick a test.");
    for (std::size_t i = 0; i < m_drawers.size(); ++i) {
        const int drawer = static_cast<int>(i) + 1;
        const bool shown = device != nullptr && drawer <= device->drawerCount();
        ShowWindow(m_drawers[i], shown ? SW_SHOWNA : SW_HIDE);
        if (!shown)
            continue;
        const std::wstring name =
            device->drawerCount() == 1 ? L"Drawer" : L"Drawer " + std::to_wstring(drawer);
        setText(m_drawers[i],
                name + L": " + (device->drawer(drawer).isOpen() ? L"Open" : L"Closed"));
    }
}

LRESULT CALLBACK SimulatedDrawerWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam,
                                                   LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* window = static_cast<SimulatedDrawerWindow*>(
            reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    auto* window = reinterpret_cast<SimulatedDrawerWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (window == nullptr || window->m_log == nullptr)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    return window->handle(message, wParam, lParam);
}

LRESULT CALLBACK SimulatedDrawerWindow::childProc(HWND hwnd, UINT message, WPARAM wParam,
                                                  LPARAM lParam, UINT_PTR /*id*/, DWORD_PTR data) {
    if (message == WM_CHAR && (wParam == L'1' || wParam == L'2')) {
        reinterpret_cast<SimulatedDrawerWindow*>(data)->toggle(static_cast<int>(wParam - L'0'));
        return 0;
    }
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(hwnd, childProc, 0);
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT SimulatedDrawerWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            layOut();
            return 0;
        case WM_TIMER:
            if (wParam == kRefreshTimer) {
                m_ports.advance();
                refresh();
                return 0;
            }
            break;
        case WM_CHAR:
            if (wParam == L'1' || wParam == L'2') {
                toggle(static_cast<int>(wParam - L'0'));
                return 0;
            }
            break;
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (id >= kFirstDrawerId && id < kFirstDrawerId + 2) {
                toggle(id - kFirstDrawerId + 1);
                return 0;
            }
            break;
        }
        case WM_CLOSE:
            ShowWindow(m_hwnd, SW_HIDE);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(m_hwnd, message, wParam, lParam);
}

}  // namespace win32gui
