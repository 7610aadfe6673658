// The Epson printer screens: ESC p drawer pulses, the page cut, and on the serial screen the
// drawer state from the printer's real-time status byte.
#pragma once

#include "screens/printers/printer_screen.h"

namespace screens {

class EPSONSerialform final : public PrinterScreen {
public:
    EPSONSerialform(toolkit::Application& app, Context& context);
    static const PrinterModel& model();
};

class EPSONParallelform final : public PrinterScreen {
public:
    EPSONParallelform(toolkit::Application& app, Context& context);
    static const PrinterModel& model();
};

}  // namespace screens
