// Opens the screens of the maker's drawer interfaces.
#pragma once

#include "screens/common/context.h"
#include "toolkit/application.h"

namespace screens {

bool isInterfaceScreen(ScreenId screen);
void openInterfaceScreen(toolkit::Application& app, Context& context, ScreenId screen);

}  // namespace screens
