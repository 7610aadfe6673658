// Resource numbers shared by the resource script and the code.
#pragma once

// The logo, drawn at build time from the same code that paints it on Linux, at every size.
#define DRAWERTEST_LOGO_ICON 1
