// The screens of the maker's drawer interfaces, as rows of the screen table.
#pragma once

#include <vector>

#include "screens/screen_table.h"

namespace screens {

std::vector<ScreenEntry> interfaceScreens();

}  // namespace screens
