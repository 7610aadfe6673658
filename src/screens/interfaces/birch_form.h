// The Birchform screen.
#pragma once

#include "screens/common/serial_interface_screen.h"

namespace screens {

class Birchform final : public SerialInterfaceScreen {
public:
    Birchform(toolkit::Application& app, Context& context);
};

}  // namespace screens
