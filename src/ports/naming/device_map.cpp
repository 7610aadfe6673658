// The port-name map and its environment overrides.
#include "ports/naming/device_map.h"

#include "ports/naming/device_survey.h"

namespace ports {

namespace {

std::array<DeviceMap::Entry, 4> standardEntries() {
#ifdef _WIN32
    // The ports by their Windows names, the serial ones in the device namespace: the spelling
    // that opens COM10 and up as well, should an override name one.
    return {{
        {"COM1", "\\\\.\\COM1", PortKind::Serial},
        {"COM2", "\\\\.\\COM2", PortKind::Serial},
        {"LPT1", "LPT1", PortKind::Parallel},
        {"LPT2", "LPT2", PortKind::Parallel},
    }};
#else
    return {{
        {"COM1", "/dev/ttyS0", PortKind::Serial},
        {"COM2", "/dev/ttyS1", PortKind::Serial},
        {"LPT1", "/dev/lp0", PortKind::Parallel},
        {"LPT2", "/dev/lp1", PortKind::Parallel},
    }};
#endif
}

}  // namespace

DeviceMap DeviceMap::fromEnvironment(const Lookup& lookup, const Saved& saved) {
    std::array<Entry, 4> entries = standardEntries();
    for (Entry& entry : entries) {
        if (std::string choice = saved ? saved(entry.portName) : std::string(); !choice.empty()) {
            entry.path = std::move(choice);
            entry.source = PathSource::Saved;
        }
        const std::string variable = "DRAWERTEST_" + entry.portName;
        const char* value = lookup(variable.c_str());
        if (value != nullptr && *value != '\0') {
            entry.path = value;
            entry.source = PathSource::Environment;
        }
        // "ttyUSB0" is the device of that name, not a network printer's.
        entry.path = devicePath(entry.path).value_or(entry.path);
    }
    return DeviceMap(std::move(entries));
}

std::string DeviceMap::standardPath(std::string_view portName) {
    for (const Entry& entry : standardEntries()) {
        if (entry.portName == portName)
            return entry.path;
    }
    return {};
}

DeviceMap DeviceMap::withPath(std::string_view portName, std::string path) const {
    DeviceMap changed = *this;
    for (Entry& entry : changed.m_entries) {
        if (entry.portName == portName)
            entry.path = std::move(path);
    }
    return changed;
}

DeviceMap DeviceMap::withChoice(std::string_view portName, const std::string& path) const {
    DeviceMap changed = *this;
    for (Entry& entry : changed.m_entries) {
        if (entry.portName != portName || entry.source == PathSource::Environment)
            continue;
        entry.path = path.empty() ? standardPath(portName) : devicePath(path).value_or(path);
        entry.source = PathSource::ThisRun;
    }
    return changed;
}

const DeviceMap::Entry* DeviceMap::find(std::string_view portName) const {
    // Win32 names a device both plainly and in its device namespace.
    constexpr std::string_view kDeviceNamespace = "\\\\.\\";
    if (portName.starts_with(kDeviceNamespace))
        portName.remove_prefix(kDeviceNamespace.size());
    for (const Entry& entry : m_entries) {
        if (entry.portName == portName)
            return &entry;
    }
    return nullptr;
}

}  // namespace ports
