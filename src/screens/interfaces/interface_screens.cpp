#include "screens/interfaces/interface_screens.h"

#include "screens/interfaces/alder_form.h"
#include "screens/interfaces/alder_form2.h"
#include "screens/interfaces/birch_form.h"
#include "screens/interfaces/cedar_form.h"
#include "screens/interfaces/maple_form.h"

namespace screens {

bool isInterfaceScreen(ScreenId screen) {
    switch (screen) {
        case ScreenId::Alderform:
        case ScreenId::Alderform2:
        case ScreenId::Birchform:
        case ScreenId::Cedarform:
        case ScreenId::Mapleform:
            return true;
        default:
            return false;
    }
}

void openInterfaceScreen(toolkit::Application& app, Context& context, ScreenId screen) {
    switch (screen) {
        case ScreenId::Alderform:
            app.open<Alderform>(context);
            break;
        case ScreenId::Alderform2:
            app.open<Alderform2>(context);
            break;
        case ScreenId::Birchform:
            app.open<Birchform>(context);
            break;
        case ScreenId::Cedarform:
            app.open<Cedarform>(context);
            break;
        case ScreenId::Mapleform:
            app.open<Mapleform>(context);
            break;
        default:
            break;
    }
}

}  // namespace screens
