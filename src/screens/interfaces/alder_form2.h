// The Alderform2 screen.
#pragma once

#include "screens/common/serial_interface_screen.h"

namespace screens {

class Alderform2 final : public SerialInterfaceScreen {
public:
    Alderform2(toolkit::Application& app, Context& context);
};

}  // namespace screens
