#include "cli/port_argument.h"

#include <algorithm>
#include <cctype>

#include "ports/naming/network_address.h"

#ifndef _WIN32
#include <sys/stat.h>

#include "ports/naming/posix_device_rules.h"
#endif

namespace cli {

namespace {

std::string upper(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return result;
}

// Looked at without opening it: opening a serial line can change its modem lines.
PortKind kindOfPath(const std::string& path) {
#ifdef _WIN32
    std::string_view name = path;
    if (name.starts_with("\\\\.\\"))
        name.remove_prefix(4);
    return upper(name).starts_with("LPT") ? PortKind::Parallel : PortKind::Serial;
#else
    // What the backend takes for a parallel port (a printer device or a FIFO) is one.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return PortKind::Serial;
    return ports::PosixDeviceRules({}).judge(PortKind::Parallel, info) == ports::kSuccess
               ? PortKind::Parallel
               : PortKind::Serial;
#endif
}

}  // namespace

std::string PortArgument::deviceName(bool makerInterface) const {
    return makerInterface && kind == PortKind::Serial ? "\\\\.\\" + port : port;
}

std::string PortArgument::shownName(bool makerInterface) const {
    return isPath ? given : deviceName(makerInterface);
}

ports::DeviceMap PortArgument::deviceMap(const ports::DeviceMap& devices) const {
    return isPath ? devices.withPath(port, given) : devices;
}

std::optional<PortArgument> parsePort(std::string_view text) {
    const std::string name = upper(text);
    if (name == "COM1" || name == "COM2")
        return PortArgument{name, name, false, PortKind::Serial};
    if (name == "LPT1" || name == "LPT2")
        return PortArgument{name, name, false, PortKind::Parallel};
#ifdef _WIN32
    const bool path = text.find_first_of("/\\") != std::string_view::npos;
#else
    const bool path = text.find('/') != std::string_view::npos;
#endif
    // A network printer stands behind COM1, as on a serial printer screen.
    if (!path && ports::parseNetworkAddress(text))
        return PortArgument{std::string(text), "COM1", true, PortKind::Serial};
    if (!path)
        return std::nullopt;
    const PortKind kind = kindOfPath(std::string(text));
    return PortArgument{std::string(text), kind == PortKind::Serial ? "COM1" : "LPT1", true, kind};
}

}  // namespace cli
