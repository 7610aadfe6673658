// The Windows backend of the port seam.
#include "ports/backends/win32_port_system.h"

#include <optional>

#include "ports/media/network_connection.h"
#include "ports/media/win32_comm_port.h"
#include "ports/naming/device_survey.h"
#include "ports/naming/network_address.h"

namespace ports {

namespace {

// GetLastError values.
constexpr ErrorCode kFileNotFound = 2;    // ERROR_FILE_NOT_FOUND
constexpr ErrorCode kBadHandle = 6;       // ERROR_INVALID_HANDLE
constexpr ErrorCode kWaitTimedOut = 258;  // WAIT_TIMEOUT

}  // namespace

Win32PortSystem::Win32PortSystem(DeviceMap devices)
    : PortSystemBase({kBadHandle, kWaitTimedOut}), m_devices(std::move(devices)) {}

Win32PortSystem::~Win32PortSystem() {
    // What the ports still send goes out, each on its own line at once.
    closeAll();
}

Handle Win32PortSystem::createFile(const std::string& device, std::uint32_t access,
                                   std::uint32_t shareMode, std::uint32_t creation,
                                   std::uint32_t flags) {
    std::optional<DeviceMap::Entry> entry;
    if (const DeviceMap::Entry* port = m_devices.find(device)) {
        entry = *port;
    } else if (device.starts_with("\\\\.\\")) {
        // A device a search names itself, in the device namespace ("\\.\COM3", "\\.\LPT3").
        const bool parallel = pathKind(device) == PathKind::Parallel;
        entry = DeviceMap::Entry{device, device, parallel ? PortKind::Parallel : PortKind::Serial};
    } else if (parseNetworkAddress(device)) {
        // A network printer a search names itself, as a serial port leading to it does.
        entry = DeviceMap::Entry{device, device, PortKind::Serial};
    }
    if (!entry) {
        fail(kFileNotFound);
        return kInvalidHandle;
    }
    ErrorCode code = kSuccess;
    std::unique_ptr<Medium> port;
    if (const auto address = parseNetworkAddress(entry->path)) {
        // A network printer, each open a connection of its own.
        port = NetworkConnection::open(*address, entry->kind == PortKind::Serial, code);
    } else {
        // The device may still be sending what it was given before its last close here.
        awaitClosing(Win32CommPort::keyOf(entry->path), device);
        port =
            Win32CommPort::open(entry->path, entry->kind, access, shareMode, creation, flags, code);
    }
    if (!port) {
        fail(code);
        return kInvalidHandle;
    }
    return adopt(std::move(port), device);
}

ErrorCode Win32PortSystem::buildCommDcb(const std::string& settings, CommDcb& dcb) {
    const ErrorCode code = Win32CommPort::buildDcb(settings, dcb);
    return code == kSuccess ? kSuccess : fail(code);
}

}  // namespace ports
