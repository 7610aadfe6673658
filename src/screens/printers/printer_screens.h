// Opens the receipt-printer screens, and tells what each one sends.
#pragma once

#include "screens/common/context.h"
#include "screens/printers/printer_screen.h"
#include "toolkit/application.h"

namespace screens {

void openPrinterScreen(toolkit::Application& app, Context& context, ScreenId screen);
// The model of a printer screen; null for a screen that is none.
const PrinterModel* printerModel(ScreenId screen);

}  // namespace screens
