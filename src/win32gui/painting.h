// Drawing what the Windows controls do not draw as the forms want it: labels, frames, lamps,
// coloured command buttons; and the fonts and brushes of the model's fonts and colours, made
// once and kept for the program's life.
#pragma once

#include <windows.h>

#include "toolkit/control.h"

namespace win32gui {

inline COLORREF colorRef(toolkit::Color color) {
    return RGB(color.r, color.g, color.b);
}
HFONT fontFor(const toolkit::Font& font);
HBRUSH brushFor(toolkit::Color color);

// The colour disabled text is drawn in.
inline constexpr toolkit::Color kDisabledText = toolkit::Color::fromRgb(0xBEBEBE);

// Enabled itself and in every container: drawn in its own colours, not greyed.
bool enabledThroughout(const toolkit::Control& control);
// What a control shows behind itself: its own background, or its container's if transparent.
toolkit::Color backgroundOf(const toolkit::Control& control);

void paintLabel(HDC dc, const RECT& rect, const toolkit::Control& label);
void paintFrame(HDC dc, const RECT& rect, const toolkit::Control& frame);
// A round lamp filled with `fill`, smoothed against `background`.
void paintLamp(HDC dc, const RECT& rect, toolkit::Color fill, toolkit::Color background);
// A command button in its own colours: raised, or pushed in while pressed; with a focus mark.
void paintButton(HDC dc, const RECT& rect, const toolkit::Control& button, bool pressed,
                 bool focused);

}  // namespace win32gui
