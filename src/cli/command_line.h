// drawertest with arguments: one test run without a window and without a display (no part of
// Qt is started), its result printed, and an exit code a script can test.
#pragma once

#include <string>
#include <vector>

#include "ports/naming/device_map.h"

namespace cli {

// `arguments` are those after the program's name; `devices` the ports as main mapped them.
// systemRoot is where find looks for the machine's devices (ports::findDevices): empty but in
// tests.
int runCommandLine(const std::vector<std::string>& arguments, const ports::DeviceMap& devices,
                   const std::string& systemRoot = {});

}  // namespace cli
