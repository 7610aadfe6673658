// Driving drawertest.exe from outside, as a person would: waiting for the windows a person
// would see, finding controls by the text they show, and sending the messages a key or a click
// sends. For the end-to-end checks under Wine.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// Ends the check with what was not seen.
[[noreturn]] void fail(const std::string& what);
std::string narrow(const std::wstring& text);
// A path as Wine's Windows side sees the machine's files.
std::wstring windowsPath(const std::string& path);

// Waits up to 20 s for find() to find a window.
template <class Find>
HWND waitFor(const std::string& what, Find find) {
    for (int i = 0; i < 400; ++i) {
        if (HWND found = find())
            return found;
        Sleep(50);
    }
    fail("no " + what + " within 20 s");
}
// A form's visible window by its title.
HWND waitForWindow(const wchar_t* title);
// The control inside `parent` (at any depth) of a class that shows `text`.
HWND findControl(HWND parent, const wchar_t* windowClass, const wchar_t* text);
void click(HWND control);
void pressSpace(HWND window);

// Starts the program with all of its ports mapped: none may reach a port of this machine.
PROCESS_INFORMATION start(const std::wstring& program, const std::wstring& arguments);
// Waits for the program to end by itself, with 0.
void waitForEnd(const PROCESS_INFORMATION& process);

}  // namespace e2e
