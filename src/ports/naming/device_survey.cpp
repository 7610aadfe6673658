// The device states in words, the same on every platform.
#include "ports/naming/device_survey.h"

#include "ports/naming/network_address.h"

namespace ports {

std::string describe(DeviceState state, PortKind kind, const std::string& path,
                     const std::string& root) {
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
        case DeviceState::Unsuitable: {
            const PathKind found = pathKind(devicePath(path, root).value_or(path), root);
            if (kind == PortKind::Serial)
                return found == PathKind::Parallel
                           ? "A parallel port's device: choose it for LPT1 or LPT2"
                           : "Not a serial line or a printer";
            return found == PathKind::Serial ? "A serial line: choose it for COM1 or COM2"
                                             : "Not a printer port";
        }
        case DeviceState::Network:
            return "Network printer at " + parseNetworkAddress(path)->text() +
                   ": reached when a test screen opens it";
    }
    return {};
}

}  // namespace ports
