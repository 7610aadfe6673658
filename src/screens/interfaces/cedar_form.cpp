#include "screens/interfaces/cedar_form.h"

namespace screens {

Cedarform::Cedarform(toolkit::Application& app, Context& context)
    : SerialInterfaceScreen(app, context, "Cedarform", kCedar) {
    setCaption("Cedar Interface Test");
}

}  // namespace screens
