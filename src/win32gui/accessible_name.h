// What accessibility tools (screen readers) learn of a control: Windows' own description of its
// window, with the name the model gives it ("Switch 3 up" for a label that shows "^", the
// caption beside a box) and, for the windows painted here, what kind of thing it is.
#pragma once

#include <windows.h>

#include "toolkit/control.h"

namespace win32gui {

// The answer to WM_GETOBJECT for the control's window; 0 to leave it to Windows.
LRESULT accessibleObject(HWND hwnd, WPARAM wParam, LPARAM lParam, const toolkit::Control& control);

}  // namespace win32gui
