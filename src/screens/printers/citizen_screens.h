// The Citizen printer screens: single drawer characters (a primary and an alternate one for
// drawer 1); no drawer status.
#pragma once

#include "screens/printers/printer_screen.h"

namespace screens {

class CITIZENSerialform final : public PrinterScreen {
public:
    CITIZENSerialform(toolkit::Application& app, Context& context);
    static const PrinterModel& model();
};

class CITIZENParallelform final : public PrinterScreen {
public:
    CITIZENParallelform(toolkit::Application& app, Context& context);
    static const PrinterModel& model();
};

}  // namespace screens
