// The Windows side of the program: puts each toolkit form on the screen as a window, runs the
// model's timers on the thread's message queue, shows message boxes and ends the message loop
// with the program.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/application.h"
#include "win32gui/form_window.h"
#include "win32gui/wait_note.h"

namespace win32gui {

// Registers itself with the application on construction; declare it after the Application so
// that it goes first (it detaches from forms that are still open).
class Win32WindowSystem final : public toolkit::WindowSystem {
public:
    explicit Win32WindowSystem(toolkit::Application& app);
    ~Win32WindowSystem() override;
    Win32WindowSystem(const Win32WindowSystem&) = delete;
    Win32WindowSystem& operator=(const Win32WindowSystem&) = delete;

    // Runs the message loop until the program ends; returns at once if it has already ended.
    int run();
    // One message as the loop handles it: keys pass their form window first, and the dialog
    // keys (Tab, the arrows) move between controls.
    void handle(MSG& message);
    // Handles every message waiting now (tests drive the windows with it).
    void processPending();

    // Follows each form's caption in its window's title bar from now on (" - Demo").
    void setTitleSuffix(std::string suffix) { m_titleSuffix = std::move(suffix); }
    const std::string& titleSuffix() const { return m_titleSuffix; }
    // What each form's window gets beside the form's own controls, as it is made (the wire
    // log's key and context-menu entry).
    using WindowExtras = std::function<void(const toolkit::Form&, FormWindow&)>;
    void setWindowExtras(WindowExtras extras) { m_extras = std::move(extras); }
    // A window beside the forms whose controls take the dialog keys too (the wire log's).
    void addToolWindow(HWND hwnd) { m_toolWindows.push_back(hwnd); }
    void removeToolWindow(HWND hwnd) { std::erase(m_toolWindows, hwnd); }

    void formShown(toolkit::Form& form) override;
    void formDestroyed(toolkit::Form& form) override;
    void timersChanged() override;
    void showMessage(const std::string& caption, const std::string& text) override;
    void programEnded() override;
    void paintWhileBusy() override;
    // The note is a small window over the form's (WaitNote, titled "Still sending"), the one
    // window that takes input while it is up.
    bool paintWhileWaiting(const std::string& note, const std::string& stopCaption) override;
    void busyEnded() override;

private:
    static LRESULT CALLBACK queueProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    toolkit::Application& m_app;
    // A message-only window: the model's timer and the windows that wait to be destroyed.
    HWND m_queue = nullptr;
    std::string m_titleSuffix;
    std::vector<std::unique_ptr<FormWindow>> m_windows;
    std::vector<HWND> m_toolWindows;
    WindowExtras m_extras;
    std::unique_ptr<WaitNote> m_waitNote;
    bool m_ended = false;
    bool m_busy = false;
};

}  // namespace win32gui
