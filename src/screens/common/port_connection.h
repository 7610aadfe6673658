// A screen's port connection record and the rule for its line-settings text.
#pragma once

#include <cstdint>
#include <string>

#include "ports/port_types.h"

namespace screens {

// One per screen. The serial fields (settings text, baud rate) stay unused on the parallel
// screens.
struct PortConnection {
    ports::Handle handle = 0;  // not yet opened
    std::string deviceName;
    std::string settings;
    ports::ErrorCode lastError = 0;
    std::int16_t baudRate = 0;
};

// "COM2:" when the device is port 2 ("\\.\COM2" or "COM2"), otherwise "COM1:"; then the rate
// in decimal and ",n,8,1". COM2 at 4800 baud gives "COM2:4800,n,8,1".
std::string settingsText(const std::string& deviceName, int baudRate);

}  // namespace screens
