// A message box that asks nothing back, shown without a loop of its own: the handler that asks
// for it runs on to its end, and timers go on ticking. While it is up, the window it stands
// over takes no input. Enter, Escape, its button or its title bar close it.
#pragma once

#include <windows.h>

#include <string>

namespace win32gui {

class MessageWindow {
public:
    static constexpr wchar_t kClass[] = L"DrawertestMessage";
    static void registerClass();
    // Shows a box over `over` (none: the middle of the screen); it destroys itself once closed.
    static HWND show(const std::string& caption, const std::string& text, HWND over);
};

// A dialog-framed window of class `windowClass` with a client area of the size given, in the
// middle of `over` (none: of the screen), owned by `owner`; the message box's and the wait note's.
HWND createDialogFrame(const wchar_t* windowClass, const std::string& title, SIZE client, HWND over,
                       HWND owner);

}  // namespace win32gui
