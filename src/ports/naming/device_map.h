// Which device path stands behind each port name the screens open (COM1, COM2, LPT1, LPT2).
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

namespace ports {

// A serial port (COM) or a parallel one (LPT): the backends take different devices for each.
enum class PortKind { Serial, Parallel };

// What a device path leads to: a serial line (a pseudo-terminal too), a parallel port's device
// (a printer port or a FIFO), a USB printer, which serves either kind of port, or nothing a port
// can use (nothing at all, a file, a disk, ...).
enum class PathKind { Serial, Parallel, UsbPrinter, Other };

// Where a port's device comes from: the platform's standard name, the user's saved choice, a
// choice made for this run only (it could not be saved), or the port's environment variable,
// which wins over a choice.
enum class PathSource { Standard, Saved, ThisRun, Environment };

class DeviceMap {
public:
    // Looks up a variable of the process environment; null when it is not set.
    using Lookup = std::function<const char*(const char*)>;
    // The device the user chose for a port ("COM1", ...) and saved; empty when none.
    using Saved = std::function<std::string(const std::string&)>;

    struct Entry {
        std::string portName;  // "COM1", "COM2", "LPT1", "LPT2"
        std::string path;
        PortKind kind = PortKind::Serial;
        PathSource source = PathSource::Standard;
    };

    // The standard paths, each replaced by the saved choice, if any, and by DRAWERTEST_COM1,
    // DRAWERTEST_COM2, DRAWERTEST_LPT1 or DRAWERTEST_LPT2 when that variable is set and not
    // empty. main passes std::getenv and the saved settings.
    static DeviceMap fromEnvironment(const Lookup& lookup, const Saved& saved = {});
    // The platform's own device for a port; empty for a name that is no port of this program.
    static std::string standardPath(std::string_view portName);

    // The port behind a name as the screens store it ("COM1" and "\\.\COM1" are the same
    // port); null for a name that is no port of this program.
    const Entry* find(std::string_view portName) const;

    // The same map with one port pointed at another device, as its variable would point it.
    DeviceMap withPath(std::string_view portName, std::string path) const;
    // The same map with a device chosen for one port for this run only (PathSource::ThisRun),
    // the standard device when `path` is empty; a port its variable sets keeps that device.
    DeviceMap withChoice(std::string_view portName, const std::string& path) const;

    // The four ports in the order COM1, COM2, LPT1, LPT2, with their paths.
    const std::array<Entry, 4>& entries() const { return m_entries; }

private:
    explicit DeviceMap(std::array<Entry, 4> entries) : m_entries(std::move(entries)) {}

    std::array<Entry, 4> m_entries;
};

}  // namespace ports
