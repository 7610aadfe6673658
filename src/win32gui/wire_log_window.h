// The wire log's window: what the test screen that is open (or was last) did on its port, one
// line per call as the log writes it, following live; lines copied with Ctrl+C, the whole log
// saved to a text file as shown. A tool window beside the forms, outside the toolkit's
// one-window rule, as the About box is. F12 or a right-click opens it on every test screen; on
// the selector, "Tools", "Wire Log" (F12).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "app/program.h"
#include "win32gui/win32_window_system.h"

namespace win32gui {

class WireLogWindow {
public:
    // Becomes the program's wire-log viewer and gives the windows that offer the log its key.
    // Declare it after the program and the window system, so that it goes before them.
    WireLogWindow(app::Program& program, Win32WindowSystem& windows);
    ~WireLogWindow();
    WireLogWindow(const WireLogWindow&) = delete;
    WireLogWindow& operator=(const WireLogWindow&) = delete;

    // Shows the window with what the log holds now, or brings it to the front.
    void open();
    // Writes the log as shown to `path`, and says so under it; empty on success, else what
    // went wrong.
    std::string saveTo(const std::wstring& path);
    // Puts the selected lines on the clipboard, one per line.
    void copySelection();

    HWND hwnd() const { return m_hwnd; }
    HWND lines() const { return m_lines; }
    HWND heading() const { return m_heading; }
    HWND saved() const { return m_saved; }

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    // Takes in what the log has recorded since the last look.
    void follow();
    void save();
    void layOut();

    app::Program& m_program;
    Win32WindowSystem& m_windows;
    HWND m_hwnd = nullptr;
    HWND m_heading = nullptr;
    // The lines are drawn from the log as they come into view: the window keeps no copy.
    HWND m_lines = nullptr;
    HWND m_saved = nullptr;
    HWND m_save = nullptr;
    HWND m_close = nullptr;
    std::uint64_t m_recording = 0;
    std::uint64_t m_dropped = 0;  // events before the first row
    std::uint64_t m_total = 0;    // events up to the last row
    std::wstring m_shown;         // the text of the row Windows asked for last
};

}  // namespace win32gui
