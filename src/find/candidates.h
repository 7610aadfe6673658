// What a search for drawers looks at: every device the program's ports lead to, the devices
// found on the machine and the addresses named for it, each once however many names lead to it.
#pragma once

#include <string>
#include <vector>

#include "ports/naming/device_map.h"
#include "ports/naming/device_survey.h"

namespace find {

struct Candidate {
    std::string device;              // the name it is opened by: a path, host:port, a port name
    std::string path;                // the device as a person reads it; empty for a simulated one
    std::vector<std::string> ports;  // the program's ports that lead to it ("COM1"), if any
    ports::Reach reach = ports::Reach::SerialLine;

    // "COM1 /dev/ttyS0", "COM1, COM2 /dev/pts/3", "/dev/ttyUSB0".
    std::string where() const;
};

// The ports' devices (their saved choices and variables included) in the order COM1 to LPT2,
// then the devices `found` and the `addresses` (device paths, host:port) in their order; a port's
// name among the addresses adds nothing. Devices are told apart as ports::deviceIdentity does;
// root is where the devices are looked at (ports::reachOf).
std::vector<Candidate> candidatesOf(const ports::DeviceMap& devices,
                                    const std::vector<ports::FoundDevice>& found,
                                    const std::vector<std::string>& addresses,
                                    const std::string& root = {});

}  // namespace find
