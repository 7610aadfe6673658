#include "screens/interfaces/birch_form.h"

namespace screens {

Birchform::Birchform(toolkit::Application& app, Context& context)
    : SerialInterfaceScreen(app, context, "Birchform", kMaker) {
    setCaption("Birch Interface Test");
}

}  // namespace screens
