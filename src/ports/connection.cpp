// The line-settings text of a serial port.
#include "ports/connection.h"

namespace ports {

std::string settingsText(const std::string& deviceName, int baudRate) {
    const bool port2 = deviceName == "\\\\.\\COM2" || deviceName == "COM2";
    return std::string(port2 ? "COM2:" : "COM1:") + std::to_string(baudRate) + ",n,8,1";
}

}  // namespace ports
