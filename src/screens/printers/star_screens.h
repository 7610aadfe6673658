// The Star Micronics printer screens: single drawer characters (a primary and an alternate one
// for drawer 1), and on the serial screen the drawer state from the reply to ENQ.
#pragma once

#include "screens/printers/printer_screen.h"

namespace screens {

class StarSerialform final : public PrinterScreen {
public:
    StarSerialform(toolkit::Application& app, Context& context);
    static const PrinterModel& model();
};

class StarParallelform final : public PrinterScreen {
public:
    StarParallelform(toolkit::Application& app, Context& context);
    static const PrinterModel& model();
};

}  // namespace screens
