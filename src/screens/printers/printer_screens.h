// Opens the receipt-printer screens.
#pragma once

#include "screens/common/context.h"
#include "toolkit/application.h"

namespace screens {

void openPrinterScreen(toolkit::Application& app, Context& context, ScreenId screen);

}  // namespace screens
