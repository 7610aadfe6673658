// The looks the Alder, Alder alternate and Maple screens share: white bold captions on the
// light-blue background, and the power warning that stands under the switch row.
#pragma once

#include "toolkit/control.h"
#include "toolkit/controls.h"

namespace screens {

inline const toolkit::Font kCaptionFont{"Arial", 9.75, true, false};

// A caption in white bold type: labels, frames, option buttons and check boxes.
void setUpCaption(toolkit::Control& control, const char* caption, toolkit::Rect geometry);

// "Remove C/D power before changing switches" in small red type on light yellow.
void setUpPowerWarning(toolkit::Label& label, toolkit::Rect geometry);

}  // namespace screens
