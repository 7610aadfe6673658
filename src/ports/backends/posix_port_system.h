// The port seam on Linux: each port opens the medium its device needs (media/): a termios serial
// line, a printer device or FIFO, or a network printer ("host:port"), which a serial port may
// lead to as well, as a line without settings. Only a port is a port: a device of the wrong kind
// is refused before a byte is written (PosixDeviceRules), and a device is taken for this program
// alone. Error codes are errno values.
#pragma once

#include <optional>
#include <string>

#include "ports/backends/port_system_base.h"
#include "ports/naming/device_map.h"
#include "ports/naming/posix_device_rules.h"

namespace ports {

class PosixPortSystem final : public PortSystemBase {
public:
    // systemRoot is where /sys and /proc are found, which tell the devices apart: empty but in
    // tests, which point it at a tree of their own.
    explicit PosixPortSystem(DeviceMap devices, std::string systemRoot = {});
    ~PosixPortSystem() override;

    // The devices the ports lead to from now on; a port already open keeps its device.
    void setDevices(DeviceMap devices) { m_devices = std::move(devices); }

    // The access, share, creation and flag arguments are the screens' fixed ones and change
    // nothing: a port is always opened for reading and writing (a FIFO for writing alone),
    // exclusively, and only when it is a device of the port's kind. An open of a device whose
    // earlier close still sends waits for it, by whatever name it was opened. Besides the
    // ports' names, a device path or a network printer's address opens that device itself, as
    // a serial port where the rules take it for one (a USB printer is) and as a parallel one
    // otherwise: the search for drawers names the devices it looks at so.
    Handle createFile(const std::string& device, std::uint32_t access, std::uint32_t shareMode,
                      std::uint32_t creation, std::uint32_t flags) override;
    ErrorCode buildCommDcb(const std::string& settings, CommDcb& dcb) override;

private:
    // The port a name opens: one of the map's, or a device named by its path or address.
    std::optional<DeviceMap::Entry> entryFor(const std::string& name) const;
    // The medium of a device path, opened and claimed; null with `code` telling why not.
    std::unique_ptr<Medium> openDevice(const DeviceMap::Entry& entry, const std::string& device,
                                       ErrorCode& code);

    DeviceMap m_devices;
    std::string m_root;
    PosixDeviceRules m_rules;
};

}  // namespace ports
