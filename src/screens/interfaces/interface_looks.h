// The looks the maker's interface screens share: white bold captions on the light-blue
// background, the settings beside their captions, "Trigger Drawer", and the power warning that
// stands under the switch row.
#pragma once

#include "toolkit/control.h"
#include "toolkit/controls.h"

namespace screens {

inline const toolkit::Font kCaptionFont{"Arial", 9.75, true, false};

// A caption in white bold type: labels, frames, option buttons and check boxes.
void setUpCaption(toolkit::Control& control, const char* caption, toolkit::Rect geometry);

// A setting: its caption, and the box that holds the setting in the same type, named by the
// caption for accessibility tools.
void setUpSetting(toolkit::Label& caption, toolkit::Control& box, const char* text,
                  toolkit::Rect captionGeometry, toolkit::Rect boxGeometry);

// The "Opening Character" setting: a centred box for the character's decimal value.
void setUpOpeningCharacter(toolkit::Label& caption, toolkit::TextBox& box,
                           toolkit::Rect captionGeometry, toolkit::Rect boxGeometry);

// "Trigger Drawer", the button that sends the opening character.
void setUpTrigger(toolkit::CommandButton& trigger, toolkit::Rect geometry);

// "Remove C/D power before changing switches" in small red type on light yellow.
void setUpPowerWarning(toolkit::Label& label, toolkit::Rect geometry);

}  // namespace screens
