#include "screens/interfaces/alder_form.h"

namespace screens {

Alderform::Alderform(toolkit::Application& app, Context& context)
    : SerialInterfaceScreen(app, context, "Alderform", kAlder) {
    setCaption("Alder Interface Test");
}

}  // namespace screens
