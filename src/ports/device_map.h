// Which device path stands behind each port name the screens open (COM1, COM2, LPT1, LPT2).
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

namespace ports {

// A serial port (COM) or a parallel one (LPT): the backends take different devices for each.
enum class PortKind { Serial, Parallel };

class DeviceMap {
public:
    // Looks up a variable of the process environment; null when it is not set.
    using Lookup = std::function<const char*(const char*)>;

    struct Entry {
        std::string portName;  // "COM1", "COM2", "LPT1", "LPT2"
        std::string path;
        PortKind kind = PortKind::Serial;
    };

    // The standard paths, each replaced by DRAWERTEST_COM1, DRAWERTEST_COM2, DRAWERTEST_LPT1 or
    // DRAWERTEST_LPT2 when that variable is set and not empty. main passes std::getenv.
    static DeviceMap fromEnvironment(const Lookup& lookup);

    // The port behind a name as the screens store it ("COM1" and "\\.\COM1" are the same
    // port); null for a name that is no port of this program.
    const Entry* find(std::string_view portName) const;

    // The same map with one port pointed at another device, as its variable would point it.
    DeviceMap withPath(std::string_view portName, std::string path) const;

    // The four ports in the order COM1, COM2, LPT1, LPT2, with their paths.
    const std::array<Entry, 4>& entries() const { return m_entries; }

private:
    explicit DeviceMap(std::array<Entry, 4> entries) : m_entries(std::move(entries)) {}

    std::array<Entry, 4> m_entries;
};

}  // namespace ports
