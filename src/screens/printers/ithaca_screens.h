// The Ithaca printer screens: ESC x drawer commands, and on the serial screen the drawer
// state from the reply to ENQ 1, also asked once after every test page.
#pragma once

#include "screens/printers/printer_screen.h"

namespace screens {

class ITHACASerialform final : public PrinterScreen {
public:
    ITHACASerialform(toolkit::Application& app, Context& context);
    static const PrinterModel& model();
};

class ITHACAParallelform final : public PrinterScreen {
public:
    ITHACAParallelform(toolkit::Application& app, Context& context);
    static const PrinterModel& model();
};

}  // namespace screens
