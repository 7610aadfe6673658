// drawertest ports: the device behind each port, where it comes from and its state, and the
// devices found on this computer, as the Ports dialog shows them.
#include <iostream>

#include "cli/commands.h"
#include "ports/naming/device_survey.h"

namespace cli {

int listPorts(const ports::DeviceMap& devices) {
    const char* const sources[] = {"standard", "saved choice", "environment variable"};
    for (const ports::DeviceMap::Entry& entry : devices.entries()) {
        const ports::DeviceState state = ports::deviceState(entry.path, entry.kind);
        std::cout << entry.portName << "  " << entry.path << "  ("
                  << sources[static_cast<int>(entry.source)]
                  << "): " << ports::describe(state, entry.kind, entry.path) << "\n";
    }
    const std::vector<ports::FoundDevice> found = ports::findDevices();
    std::cout << "\ndevices found:" << (found.empty() ? " none\n" : "\n");
    for (const ports::FoundDevice& device : found)
        std::cout << "  " << device.path << "  (" << device.note << ")\n";
    return kDone;
}

}  // namespace cli
