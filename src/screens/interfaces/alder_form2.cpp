#include "screens/interfaces/alder_form2.h"

namespace screens {

Alderform2::Alderform2(toolkit::Application& app, Context& context)
    : SerialInterfaceScreen(app, context, "Alderform2", kMaker) {
    setCaption("Alder Alternate Operation");
}

}  // namespace screens
