// The Cedarform screen.
#pragma once

#include "screens/common/serial_interface_screen.h"

namespace screens {

class Cedarform final : public SerialInterfaceScreen {
public:
    Cedarform(toolkit::Application& app, Context& context);
};

}  // namespace screens
