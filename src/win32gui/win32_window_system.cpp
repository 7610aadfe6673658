// Windows, timers on the message queue, message boxes and the end of the message loop.
#include "win32gui/win32_window_system.h"

#include <commctrl.h>

#include <algorithm>

#include "win32gui/message_window.h"

namespace win32gui {

namespace {

constexpr wchar_t kQueueClass[] = L"DrawertestQueue";
constexpr UINT_PTR kModelTimer = 1;
// A form window that has been detached, in lParam, is to be destroyed.
constexpr UINT kDestroyWindow = WM_APP + 1;

bool isDialogTarget(HWND root) {
    wchar_t name[32] = {};
    GetClassNameW(root, name, 32);
    return std::wstring(name) == MessageWindow::kClass;
}

}  // namespace

Win32WindowSystem::Win32WindowSystem(toolkit::Application& app) : m_app(app) {
    static const bool registered = [] {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        FormWindow::registerClasses();
        MessageWindow::registerClass();
        WaitNote::registerClass();
        WNDCLASSEXW queue{};
        queue.cbSize = sizeof(queue);
        queue.lpfnWndProc = queueProc;
        queue.hInstance = GetModuleHandleW(nullptr);
        queue.lpszClassName = kQueueClass;
        RegisterClassExW(&queue);
        return true;
    }();
    (void)registered;
    m_queue = CreateWindowExW(0, kQueueClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(m_queue, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_app.setWindowSystem(this);
}

Win32WindowSystem::~Win32WindowSystem() {
    m_app.setWindowSystem(nullptr);
    m_windows.clear();
    SetWindowLongPtrW(m_queue, GWLP_USERDATA, 0);
    DestroyWindow(m_queue);
    FormWindow::setBusy(false);
}

LRESULT CALLBACK Win32WindowSystem::queueProc(HWND hwnd, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    auto* self = reinterpret_cast<Win32WindowSystem*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_TIMER && wParam == kModelTimer) {
        KillTimer(hwnd, kModelTimer);
        self->m_app.deliverDueTimers();
        // Delivering ends with the next tick scheduled (timersChanged), unless it ended the
        // program; a round that ran nothing still has to look again.
        if (!self->m_app.ended())
            self->timersChanged();
        return 0;
    }
    if (message == kDestroyWindow) {
        auto* window = reinterpret_cast<FormWindow*>(lParam);
        std::erase_if(self->m_windows,
                      [window](const std::unique_ptr<FormWindow>& w) { return w.get() == window; });
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

int Win32WindowSystem::run() {
    MSG message;
    while (!m_ended && !m_app.ended()) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1)
            break;
        handle(message);
    }
    return 0;
}

void Win32WindowSystem::handle(MSG& message) {
    if (message.message == WM_QUIT)
        return;
    HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (FormWindow* window = FormWindow::owning(message.hwnd)) {
        if (window->preTranslate(message))
            return;
        if (IsWindow(root) && IsDialogMessageW(root, &message))
            return;
    } else if (root != nullptr &&
               (isDialogTarget(root) || std::find(m_toolWindows.begin(), m_toolWindows.end(),
                                                  root) != m_toolWindows.end())) {
        if (IsDialogMessageW(root, &message))
            return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void Win32WindowSystem::processPending() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        handle(message);
}

void Win32WindowSystem::formShown(toolkit::Form& form) {
    auto window = std::make_unique<FormWindow>(form, m_titleSuffix);
    if (m_extras)
        m_extras(form, *window);
    HWND hwnd = window->hwnd();
    m_windows.push_back(std::move(window));
    // The program has one window at a time: the keyboard goes to the new one.
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    SetActiveWindow(hwnd);
}

void Win32WindowSystem::formDestroyed(toolkit::Form& form) {
    FormWindow* window = FormWindow::of(form);
    if (window == nullptr)
        return;
    window->detach();
    ShowWindow(window->hwnd(), SW_HIDE);
    // Windows may still be inside a message of one of its controls (the click that closed the
    // form).
    PostMessageW(m_queue, kDestroyWindow, 0, reinterpret_cast<LPARAM>(window));
}

void Win32WindowSystem::timersChanged() {
    const std::optional<toolkit::Millis> due = m_app.nextTimerDue();
    if (!due) {
        KillTimer(m_queue, kModelTimer);
        return;
    }
    const auto wait = std::max<toolkit::Millis::rep>((*due - m_app.clock().now()).count(), 0);
    SetTimer(m_queue, kModelTimer,
             static_cast<UINT>(std::max<toolkit::Millis::rep>(wait, USER_TIMER_MINIMUM)), nullptr);
}

void Win32WindowSystem::showMessage(const std::string& caption, const std::string& text) {
    toolkit::Form* form = m_app.activeForm();
    FormWindow* over = form != nullptr ? FormWindow::of(*form) : nullptr;
    MessageWindow::show(caption + m_titleSuffix, text, over != nullptr ? over->hwnd() : nullptr);
}

void Win32WindowSystem::programEnded() {
    KillTimer(m_queue, kModelTimer);
    m_ended = true;
    PostQuitMessage(0);
}

// User input waits in the queue until the handler has ended; the model holds back ticks.
void Win32WindowSystem::paintWhileBusy() {
    if (!m_busy) {
        m_busy = true;
        FormWindow::setBusy(true);
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    }
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT))
        DispatchMessageW(&message);
}

bool Win32WindowSystem::paintWhileWaiting(const std::string& note, const std::string& stopCaption) {
    if (!m_waitNote) {
        toolkit::Form* form = m_app.activeForm();
        FormWindow* over = form != nullptr ? FormWindow::of(*form) : nullptr;
        m_waitNote = std::make_unique<WaitNote>("Still sending" + m_titleSuffix, stopCaption,
                                                over != nullptr ? over->hwnd() : nullptr);
    }
    m_waitNote->setText(note);
    if (!m_busy) {
        m_busy = true;
        FormWindow::setBusy(true);
    }
    // The arrow with the busy sign: the program is busy, and the note's button can be pressed.
    SetCursor(LoadCursorW(nullptr, IDC_APPSTARTING));
    // The other windows are disabled: what reaches them is refused, and the model holds back
    // ticks.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (!IsDialogMessageW(m_waitNote->hwnd(), &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return m_waitNote->stopAsked();
}

void Win32WindowSystem::busyEnded() {
    m_waitNote.reset();
    if (m_busy) {
        m_busy = false;
        FormWindow::setBusy(false);
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    }
}

}  // namespace win32gui
