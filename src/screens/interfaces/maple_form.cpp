#include "screens/interfaces/maple_form.h"

namespace screens {

Mapleform::Mapleform(toolkit::Application& app, Context& context)
    : TestScreen(app, context, "Mapleform", PortFamily::MakerParallel) {
    setCaption("Maple Test");
}

}  // namespace screens
