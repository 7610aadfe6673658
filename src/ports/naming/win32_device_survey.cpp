// The ports Windows lists in its device map and the USB printers its spooler knows, read from the
// registry, and their states.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <cctype>

#include "ports/naming/device_survey.h"
#include "ports/naming/network_address.h"

namespace ports {

namespace {

// The string values of a key, e.g. "\Device\Serial0" = "COM3"; none when the key is missing.
std::vector<std::string> stringValues(HKEY base, const std::string& key) {
    std::vector<std::string> values;
    HKEY handle = nullptr;
    if (::RegOpenKeyExA(base, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return values;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameSize = sizeof name;
        BYTE data[256];
        DWORD dataSize = sizeof data - 1;
        DWORD type = 0;
        if (::RegEnumValueA(handle, i, name, &nameSize, nullptr, &type, data, &dataSize) !=
            ERROR_SUCCESS)
            break;
        if (type == REG_SZ) {
            data[dataSize] = 0;
            values.emplace_back(reinterpret_cast<const char*>(data));
        }
    }
    ::RegCloseKey(handle);
    return values;
}

// The names of a key's subkeys; none when the key is missing.
std::vector<std::string> subkeys(HKEY base, const std::string& key) {
    std::vector<std::string> names;
    HKEY handle = nullptr;
    if (::RegOpenKeyExA(base, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return names;
    char name[256];
    for (DWORD i = 0; ::RegEnumKeyA(handle, i, name, sizeof name) == ERROR_SUCCESS; ++i)
        names.emplace_back(name);
    ::RegCloseKey(handle);
    return names;
}

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// The print queues of printers on a USB port ("USB001", or a pool "USB001,USB002") that no COM
// port leads to: the spooler's registry lists each queue with its port.
std::vector<FoundDevice> usbPrintQueues(HKEY base, const std::string& prefix) {
    const std::string printers = prefix + "SYSTEM\\CurrentControlSet\\Control\\Print\\Printers";
    std::vector<FoundDevice> queues;
    for (const std::string& queue : subkeys(base, printers)) {
        char port[256] = {};
        DWORD size = sizeof port - 1;
        if (::RegGetValueA(base, (printers + "\\" + queue).c_str(), "Port", RRF_RT_REG_SZ, nullptr,
                           port, &size) != ERROR_SUCCESS ||
            !upper(port).starts_with("USB"))
            continue;
        queues.push_back({queue, PortKind::Parallel, false,
                          std::string("print queue on ") + port + ", no COM port", true});
    }
    std::sort(queues.begin(), queues.end(),
              [](const FoundDevice& a, const FoundDevice& b) { return a.path < b.path; });
    return queues;
}

// COM3 before COM10: by the number after the name's three letters.
void sortByNumber(std::vector<std::string>& names) {
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return std::make_pair(a.size(), a) < std::make_pair(b.size(), b);
    });
}

std::string portName(std::string_view path) {
    if (path.starts_with("\\\\.\\"))
        path.remove_prefix(4);
    return std::string(path);
}

}  // namespace

std::vector<FoundDevice> findDevices(const std::string& root) {
    HKEY base = HKEY_LOCAL_MACHINE;
    std::string prefix;
    if (root.starts_with("HKCU\\")) {
        base = HKEY_CURRENT_USER;
        prefix = root.substr(5) + "\\";
    }
    std::vector<std::string> serial =
        stringValues(base, prefix + "HARDWARE\\DEVICEMAP\\SERIALCOMM");
    sortByNumber(serial);
    // Parallel ports are listed as DOS device names: "\DosDevices\LPT1".
    std::vector<std::string> parallel;
    for (const std::string& value :
         stringValues(base, prefix + "HARDWARE\\DEVICEMAP\\PARALLEL PORTS")) {
        const auto slash = value.rfind('\\');
        parallel.push_back(slash == std::string::npos ? value : value.substr(slash + 1));
    }
    sortByNumber(parallel);
    std::vector<FoundDevice> found;
    for (const std::string& name : serial)
        found.push_back({"\\\\.\\" + name, PortKind::Serial, false, "serial port"});
    for (const std::string& name : parallel)
        found.push_back({name, PortKind::Parallel, false, "printer port"});
    const std::vector<FoundDevice> queues = usbPrintQueues(base, prefix);
    found.insert(found.end(), queues.begin(), queues.end());
    return found;
}

std::optional<std::string> devicePath(std::string_view text, const std::string& /*root*/) {
    if (text.find_first_of("/\\") == std::string_view::npos)
        return std::nullopt;
    return std::string(text);
}

std::string deviceIdentity(const std::string& path) {
    return upper(portName(path));
}

PathKind pathKind(const std::string& path, const std::string& /*root*/) {
    const std::string name = deviceIdentity(path);
    if (name.starts_with("LPT"))
        return PathKind::Parallel;
    return name.starts_with("COM") ? PathKind::Serial : PathKind::Other;
}

std::string searchName(const std::string& path) {
    return parseNetworkAddress(path) ? path : "\\\\.\\" + portName(path);
}

// The ports a Windows machine lists by name: LPTn is a parallel port, anything else a line.
Reach reachOf(const std::string& path, const std::string& root) {
    if (parseNetworkAddress(path))
        return Reach::Network;
    return pathKind(path, root) == PathKind::Parallel ? Reach::ParallelPort : Reach::SerialLine;
}

DeviceState deviceState(const std::string& path, PortKind /*kind*/, const std::string& /*root*/) {
    if (parseNetworkAddress(path))
        return DeviceState::Network;
    // Whether the name leads to a device, asked without opening it. Which program holds a
    // port only an open would tell.
    char target[512];
    if (::QueryDosDeviceA(portName(path).c_str(), target, sizeof target) == 0)
        return DeviceState::Missing;
    return DeviceState::Ready;
}

}  // namespace ports
