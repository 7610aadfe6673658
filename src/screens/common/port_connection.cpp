// The line-settings text of a serial port.
#include "screens/common/port_connection.h"

namespace screens {

std::string settingsText(const std::string& deviceName, int baudRate) {
    const bool port2 = deviceName == "\\\\.\\COM2" || deviceName == "COM2";
    return std::string(port2 ? "COM2:" : "COM1:") + std::to_string(baudRate) + ",n,8,1";
}

}  // namespace screens
