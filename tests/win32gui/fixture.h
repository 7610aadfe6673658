// The fixture that shows the renderer tests' form in its window, and the messages a person's
// mouse and keyboard send to a window.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/sample_form.h"
#include "toolkit/application.h"
#include "win32gui/form_window.h"
#include "win32gui/win32_window_system.h"

namespace win32test {

using support::Log;
using support::SampleForm;

// A left click as the mouse sends it, at a point of the window (its middle if none is given).
void click(HWND hwnd, POINT at = {-1, -1});
// A key as the keyboard sends it: down, then up; the character it makes comes of the loop's
// translation.
void key(HWND hwnd, UINT virtualKey);
std::wstring windowText(HWND hwnd);
// With DRAWERTEST_SHOTS set to a folder, writes the window there as NAME.bmp as it is on the
// screen, frame and title bar included, for a person to look at.
void shoot(HWND hwnd, const std::string& name);

// Shows a SampleForm in its window on a real clock.
struct RendererTest : ::testing::Test {
    toolkit::RealClock clock;
    toolkit::Application app{clock};
    win32gui::Win32WindowSystem windows{app};
    SampleForm& form = app.open<SampleForm>();
    win32gui::FormWindow* window = win32gui::FormWindow::of(form);

    HWND control(const char* name) const { return window->windowOf(*form.find(name)); }
    // Handles what the actions sent, as the message loop does.
    void pump() { windows.processPending(); }
    // The actions, each handled to its end before the next, as a person's are.
    void click(HWND hwnd, POINT at = {-1, -1}) {
        win32test::click(hwnd, at);
        pump();
    }
    void key(HWND hwnd, UINT virtualKey) {
        win32test::key(hwnd, virtualKey);
        pump();
    }
    void type(HWND hwnd, const std::string& text) {
        for (char c : text)
            key(hwnd, static_cast<UINT>(LOBYTE(VkKeyScanW(static_cast<wchar_t>(c)))));
    }
};

}  // namespace win32test
