// The device states in words, the same on every platform.
#include "ports/naming/device_survey.h"

#include "ports/naming/network_address.h"

namespace ports {

std::string describe(DeviceState state, PortKind kind, const std::string& path) {
    switch (state) {
        case DeviceState::Ready:
            return "Ready";
        case DeviceState::Held:
            return "Held by another program";
        case DeviceState::Missing:
            return "Missing";
        case DeviceState::NotPermitted: {
            // Printers, USB ones on a serial screen too, belong to the lp group.
            const bool printer =
                kind == PortKind::Parallel || path.find("/lp") != std::string::npos;
            return std::string("Not permitted: add yourself to the ") +
                   (printer ? "lp" : "dialout") + " group, then log in again";
        }
        case DeviceState::Unsuitable:
            return kind == PortKind::Serial ? "Not a serial line or a printer"
                                            : "Not a printer port";
        case DeviceState::Network:
            return "Network printer at " + parseNetworkAddress(path)->text() +
                   ": reached when a test screen opens it";
    }
    return {};
}

}  // namespace ports
