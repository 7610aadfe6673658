// The port-name map and its environment overrides.
#include "ports/device_map.h"

namespace ports {

DeviceMap DeviceMap::fromEnvironment(const Lookup& lookup) {
#ifdef _WIN32
    // The ports by their Windows names, the serial ones in the device namespace: the spelling
    // that opens COM10 and up as well, should an override name one.
    std::array<Entry, 4> entries{{
        {"COM1", "\\\\.\\COM1"},
        {"COM2", "\\\\.\\COM2"},
        {"LPT1", "LPT1"},
        {"LPT2", "LPT2"},
    }};
#else
    std::array<Entry, 4> entries{{
        {"COM1", "/dev/ttyS0"},
        {"COM2", "/dev/ttyS1"},
        {"LPT1", "/dev/lp0"},
        {"LPT2", "/dev/lp1"},
    }};
#endif
    for (Entry& entry : entries) {
        const std::string variable = "DRAWERTEST_" + entry.portName;
        const char* value = lookup(variable.c_str());
        if (value != nullptr && *value != '\0')
            entry.path = value;
    }
    return DeviceMap(std::move(entries));
}

DeviceMap DeviceMap::withPath(std::string_view portName, std::string path) const {
    DeviceMap changed = *this;
    for (Entry& entry : changed.m_entries) {
        if (entry.portName == portName)
            entry.path = std::move(path);
    }
    return changed;
}

std::string DeviceMap::pathOf(std::string_view portName) const {
    // Win32 names a device both plainly and in its device namespace.
    constexpr std::string_view kDeviceNamespace = "\\\\.\\";
    if (portName.starts_with(kDeviceNamespace))
        portName.remove_prefix(kDeviceNamespace.size());
    for (const Entry& entry : m_entries) {
        if (entry.portName == portName)
            return entry.path;
    }
    return {};
}

}  // namespace ports
