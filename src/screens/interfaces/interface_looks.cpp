#include "screens/interfaces/interface_looks.h"

namespace screens {

using namespace toolkit;

void setUpCaption(Control& control, const char* caption, Rect geometry) {
    control.setCaption(caption);
    control.setForeColor(colors::kWhite);
    control.setFont(kCaptionFont);
    control.setGeometry(geometry);
}

void setUpSetting(Label& caption, Control& box, const char* text, Rect captionGeometry,
                  Rect boxGeometry) {
    setUpCaption(caption, text, captionGeometry);
    box.setAccessibleName(text);
    box.setFont(kCaptionFont);
    box.setGeometry(boxGeometry);
}

void setUpOpeningCharacter(Label& caption, TextBox& box, Rect captionGeometry, Rect boxGeometry) {
    setUpSetting(caption, box, "Opening Character", captionGeometry, boxGeometry);
    box.setToolTip("Decimal Value of opening character.");
    box.setAlignment(Align::Center);
}

void setUpTrigger(CommandButton& trigger, Rect geometry) {
    trigger.setCaption("Trigger Drawer");
    trigger.setToolTip("Click to send opening character to the drawer.");
    trigger.setFont(kCaptionFont);
    trigger.setGeometry(geometry);
}

void setUpPowerWarning(Label& label, Rect geometry) {
    label.setCaption("Remove C/D power before changing switches");
    label.setForeColor(colors::kRed);
    label.setBackColor(colors::kLightYellow);
    label.setFont(Font{"Arial", 8.25, true, false});
    label.setAlignment(Align::Center);
    label.setGeometry(geometry);
}

}  // namespace screens
