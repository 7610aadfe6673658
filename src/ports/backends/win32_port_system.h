// The port seam on Windows: each port a kernel32 communications handle (media/win32_comm_port.h)
// behind the program's small handle numbers, with every wait on a device bounded, or a network
// printer ("host:port") through Winsock, as on Linux (media/network_connection.h). Error codes
// are GetLastError values, and Winsock's (WSAGetLastError) for a network printer.
#pragma once

#include <string>

#include "ports/backends/port_system_base.h"
#include "ports/naming/device_map.h"

namespace ports {

class Win32PortSystem final : public PortSystemBase {
public:
    explicit Win32PortSystem(DeviceMap devices);
    ~Win32PortSystem() override;

    // The devices the ports lead to from now on; a port already open keeps its device.
    void setDevices(DeviceMap devices) { m_devices = std::move(devices); }

    // The access, share and creation arguments go to CreateFileA as given; the overlapped flag
    // does not (Win32CommPort). An open of a device whose earlier close still sends waits for
    // it. Besides the ports' names, a device the search for drawers names itself in the device
    // namespace ("\\.\COM3", "\\.\LPT3") opens that device.
    Handle createFile(const std::string& device, std::uint32_t access, std::uint32_t shareMode,
                      std::uint32_t creation, std::uint32_t flags) override;
    ErrorCode buildCommDcb(const std::string& settings, CommDcb& dcb) override;

private:
    DeviceMap m_devices;
};

}  // namespace ports
