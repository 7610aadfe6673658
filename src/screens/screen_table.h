// Every test screen the program has, by its form name: the ports it tests, the device the demo
// plays on its far end, how it opens and, on a printer screen, its printer model.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "screens/common/context.h"
#include "screens/common/test_screen.h"
#include "screens/printers/printer_screen.h"
#include "toolkit/application.h"

namespace screens {

struct ScreenEntry {
    std::string formName;
    PortFamily family;
    // The simulated device that is what the screen tests: "alder", a command set's name, ...
    std::string device;
    const PrinterModel* printer = nullptr;
    // Creates the screen, runs its load and shows it.
    std::function<void(toolkit::Application&, Context&)> open;
};

// The interface screens first, then each printer brand's serial and parallel screen.
const std::vector<ScreenEntry>& screenTable();
// Null for a name that is no screen's.
const ScreenEntry* screenNamed(std::string_view formName);

}  // namespace screens
