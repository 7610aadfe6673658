#include "screens/interfaces/interface_looks.h"

namespace screens {

using namespace toolkit;

void setUpCaption(Control& control, const char* caption, Rect geometry) {
    control.setCaption(caption);
    control.setForeColor(colors::kWhite);
    control.setFont(kCaptionFont);
    control.setGeometry(geometry);
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
