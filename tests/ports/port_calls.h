// The seam as the port tests call it: the screens' open arguments, a write of a byte list, a
// serial set-up from a settings text, and the ports mapped to the test's own devices.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "ports/naming/device_map.h"
#include "ports/port_system.h"

namespace porttest {

using Bytes = std::vector<std::uint8_t>;

// An errno or GetLastError value as the seam returns it.
template <class Value>
constexpr ports::ErrorCode code(Value value) {
    return static_cast<ports::ErrorCode>(value);
}

inline ports::Handle open(ports::PortSystem& system, const std::string& name) {
    return system.createFile(name, ports::kGenericReadWrite, ports::kShareReadWrite,
                             ports::kOpenExisting, ports::kPlainFile);
}

inline ports::ErrorCode write(ports::PortSystem& system, ports::Handle handle, const Bytes& bytes,
                              std::uint32_t* written = nullptr) {
    std::uint32_t count = 0;
    const ports::ErrorCode result = system.writeFile(handle, bytes, count, nullptr);
    if (written != nullptr)
        *written = count;
    return result;
}

// What a screen's SetupPort asks of the seam, failing at the first call that fails.
inline ports::ErrorCode setUp(ports::PortSystem& system, ports::Handle handle,
                              const std::string& settings) {
    ports::CommDcb dcb;
    ports::ErrorCode result = system.getCommState(handle, dcb);
    if (result == ports::kSuccess)
        result = system.buildCommDcb(settings, dcb);
    return result == ports::kSuccess ? system.setCommState(handle, dcb) : result;
}

// Ports mapped to the given devices; the others to `nowhere`, a device no machine here has.
inline ports::DeviceMap mapTo(std::map<std::string, std::string> devices, std::string nowhere) {
    return ports::DeviceMap::fromEnvironment([&](const char* variable) -> const char* {
        const std::string port = std::string(variable).substr(std::string("DRAWERTEST_").size());
        return devices.try_emplace(port, nowhere).first->second.c_str();
    });
}

}  // namespace porttest
