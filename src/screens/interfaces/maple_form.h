// The Mapleform screen.
#pragma once

#include "screens/common/test_screen.h"

namespace screens {

class Mapleform final : public TestScreen {
public:
    Mapleform(toolkit::Application& app, Context& context);
};

}  // namespace screens
