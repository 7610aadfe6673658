#include "screens/printers/printer_screens.h"

namespace screens {

bool isPrinterScreen(ScreenId) { return false; }

void openPrinterScreen(toolkit::Application&, Context&, ScreenId) {}

}  // namespace screens
