// Turns a control of the toolkit model into its Windows control and copies the control's
// properties onto it. Nothing here reports anything back to the model; the form window does.
//
// Command buttons are owner-drawn (a push button takes a colour no other way); labels, frames,
// lamps and the picture are windows of the program's own class, painted here; option buttons
// and check boxes are the non-automatic buttons, which never turn by themselves, so that the
// model alone decides what they show.
#pragma once

#include <windows.h>

#include <string>

#include "toolkit/control.h"

namespace win32gui {

// The class of the windows painted by the program (labels, frames, lamps, the picture); the
// form window registers it with its window procedure.
inline constexpr wchar_t kPaintedClass[] = L"DrawertestPainted";

// The window of a control, not yet styled; none for timers and menu items. `id` is its command
// number, `data` what the window's GWLP_USERDATA holds.
HWND createControlWindow(const toolkit::Control& control, HWND parent, int id, void* data);
// Paints a control of the painted class.
void paintControl(HDC dc, const RECT& rect, const toolkit::Control& control);

// Copies one property of control onto its window. The tooltip and the focus are the form
// window's business.
void mirrorProperty(HWND hwnd, const toolkit::Control& control, toolkit::Property property);
void mirrorAllProperties(HWND hwnd, const toolkit::Control& control);

// A caption as Windows' buttons show it: '&' marks no shortcut here.
std::wstring literalCaption(const std::string& caption);

}  // namespace win32gui
