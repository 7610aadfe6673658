// The note a handler that waits on something outside the program (a port still sending) shows
// over the window: the wait as it stands now, and a button that asks it to stop ("Stop now");
// closing the note by its title bar or with Escape asks the same. While it is up, the program's
// other windows take no input.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace win32gui {

class WaitNote {
public:
    static constexpr wchar_t kClass[] = L"DrawertestWaitNote";
    static constexpr int kTextId = 100;
    static void registerClass();

    // Shows the note titled `title` over the middle of `over` (none: of the screen).
    WaitNote(const std::string& title, const std::string& stopCaption, HWND over);
    ~WaitNote();
    WaitNote(const WaitNote&) = delete;
    WaitNote& operator=(const WaitNote&) = delete;

    void setText(const std::string& note);
    bool stopAsked() const { return m_stopAsked; }
    HWND hwnd() const { return m_hwnd; }

private:
    static LRESULT CALLBACK noteProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hwnd = nullptr;
    std::wstring m_text;
    std::vector<HWND> m_disabled;  // the windows that take no input while the note is up
    bool m_stopAsked = false;
};

}  // namespace win32gui
