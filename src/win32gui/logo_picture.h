// The logo: the program's icon resource, its largest picture scaled down smoothly to the size
// asked for and laid over a background, as the splash's picture shows it.
#pragma once

#include <windows.h>

#include "toolkit/color.h"

namespace win32gui {

void paintLogo(HDC dc, const RECT& rect, toolkit::Color background);
// The icon of the windows' title bars at the system's size for `big` or small icons.
HICON logoIcon(bool big);

}  // namespace win32gui
