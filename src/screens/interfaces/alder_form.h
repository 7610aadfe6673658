// The Alderform screen.
#pragma once

#include "screens/common/serial_interface_screen.h"

namespace screens {

class Alderform final : public SerialInterfaceScreen {
public:
    Alderform(toolkit::Application& app, Context& context);
};

}  // namespace screens
