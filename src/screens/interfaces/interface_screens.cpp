#include "screens/interfaces/interface_screens.h"

#include "screens/interfaces/alder_form.h"
#include "screens/interfaces/alder_form2.h"
#include "screens/interfaces/birch_form.h"
#include "screens/interfaces/cedar_form.h"
#include "screens/interfaces/maple_form.h"

namespace screens {

namespace {

template <class Screen>
ScreenEntry entry(const char* formName, PortFamily family, const char* device) {
    return {formName, family, device, nullptr,
            [](toolkit::Application& app, Context& context) { app.open<Screen>(context); }};
}

}  // namespace

std::vector<ScreenEntry> interfaceScreens() {
    return {entry<Alderform>("Alderform", PortFamily::MakerSerial, "alder"),
            // The demo switches the interface to the mode the screen shows.
            entry<Alderform2>("Alderform2", PortFamily::MakerSerial, "alder-char"),
            entry<Birchform>("Birchform", PortFamily::MakerSerial, "birch"),
            entry<Cedarform>("Cedarform", PortFamily::MakerSerial, "cedar"),
            entry<Mapleform>("Mapleform", PortFamily::MakerParallel, "maple")};
}

}  // namespace screens
