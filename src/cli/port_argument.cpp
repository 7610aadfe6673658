#include "cli/port_argument.h"

#include <algorithm>
#include <cctype>

#include "ports/naming/device_survey.h"
#include "ports/naming/network_address.h"

namespace cli {

std::string PortArgument::deviceName(bool makerInterface) const {
    return makerInterface && kind == PortKind::Serial ? "\\\\.\\" + port : port;
}

std::string PortArgument::shownName(bool makerInterface) const {
    return isPath ? given : deviceName(makerInterface);
}

ports::DeviceMap PortArgument::deviceMap(const ports::DeviceMap& devices) const {
    return isPath ? devices.withPath(port, path) : devices;
}

PortArgument PortArgument::asSerial() const {
    PortArgument serial = *this;
    serial.kind = PortKind::Serial;
    serial.port = "COM1";
    return serial;
}

std::optional<PortArgument> parsePort(std::string_view text) {
    std::string name(text);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (name == "COM1" || name == "COM2")
        return PortArgument{name, name, false, PortKind::Serial, {}};
    if (name == "LPT1" || name == "LPT2")
        return PortArgument{name, name, false, PortKind::Parallel, {}};
    const std::string given(text);
    if (const std::optional<std::string> path = ports::devicePath(text)) {
        const ports::PathKind kind = ports::pathKind(*path);
        const bool parallel =
            kind == ports::PathKind::Parallel || kind == ports::PathKind::UsbPrinter;
        return PortArgument{given, parallel ? "LPT1" : "COM1",
                            true,  parallel ? PortKind::Parallel : PortKind::Serial,
                            *path, kind == ports::PathKind::UsbPrinter};
    }
    // A network printer stands behind COM1, as on a serial printer screen.
    if (ports::parseNetworkAddress(text))
        return PortArgument{given, "COM1", true, PortKind::Serial, given};
    return std::nullopt;
}

}  // namespace cli
