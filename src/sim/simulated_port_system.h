// A port seam inside the program: COM1 and COM2 are serial lines and LPT1 and LPT2 parallel
// links, each a SimulatedPort with whatever device is attached to its far end; nothing reaches
// a real device. A port keeps the time a real port keeps on such a line, in the time of its
// WaitClock: bytes leave at the rate set, replies come after their wire time, and the waits are
// bounded as the backends bound theirs. It answers as the platform's backend does, on the base
// they share: a port opens once at a time, both spellings of a name ("COM1", "\\.\COM1") are one
// port, handles and events are 1 or more and never reused, calls on a closed handle fail, a rate
// of 0 is refused, reads and writes end before they return, signalling their event, and an open
// waits, telling its listener, while the port's last close still sends; the codes are the
// platform's.
#pragma once

#include <cerrno>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ports/backends/port_system_base.h"
#include "ports/naming/device_map.h"
#include "sim/device.h"
#include "sim/simulated_port.h"

namespace sim {

class SimulatedPortSystem : public ports::PortSystemBase {
public:
    // The codes the platform's own backend gives for the same faults.
#ifdef _WIN32
    static constexpr ports::ErrorCode kNoSuchPort = 2;   // ERROR_FILE_NOT_FOUND
    static constexpr ports::ErrorCode kPortInUse = 5;    // ERROR_ACCESS_DENIED
    static constexpr ports::ErrorCode kBadHandle = 6;    // ERROR_INVALID_HANDLE
    static constexpr ports::ErrorCode kBadSetting = 87;  // ERROR_INVALID_PARAMETER
#else
    static constexpr ports::ErrorCode kNoSuchPort = ENOENT;
    static constexpr ports::ErrorCode kPortInUse = EBUSY;
    static constexpr ports::ErrorCode kBadHandle = EBADF;
    static constexpr ports::ErrorCode kBadSetting = EINVAL;
#endif

    // Every port free, at 9600 baud 8N1, with nothing on its line.
    explicit SimulatedPortSystem(WaitClock& clock);
    ~SimulatedPortSystem() override;

    Time now() const {
        return m_clock.now();
    }
    // The port a name means ("COM1" for "\\.\COM1"), or empty for a name that is no port.
    std::string portNamed(const std::string& device) const;
    // Puts a device on the far end of a port's line; null takes it away. The device hears its
    // bytes as the calls move the line on.
    void attach(const std::string& port, std::shared_ptr<Device> device);
    // A port's line, moved on to now.
    Line& line(const std::string& port);
    // Moves every line on to now: bytes arrive, replies come, devices change by themselves.
    void advance();
    // The port open under a handle, or empty.
    std::string portOf(ports::Handle handle) const;
    // Every handle open now, oldest first.
    std::vector<ports::Handle> openHandles() const;

    ports::Handle createFile(const std::string& device, std::uint32_t access,
                             std::uint32_t shareMode, std::uint32_t creation,
                             std::uint32_t flags) override;
    ports::ErrorCode buildCommDcb(const std::string& settings, ports::CommDcb& dcb) override;

    // A closed port's line drains on in the simulated time; these tell of it and cut it short.
    std::vector<ports::ClosingPort> closingPorts() const override;
    void stopClosing() override;

protected:
    void sleepFor(std::chrono::milliseconds duration) override;

private:
    // A port and what it keeps from one open to the next.
    struct Port {
        SimulatedPort simulated;
        ports::Handle handle = ports::kInvalidHandle;
        // As the screen that opened it last named it.
        std::string openedAs;
        ports::CommDcb dcb;
        ports::CommTimeoutsRec timeouts;
    };
    class OpenPort;

    WaitClock& m_clock;
    // The standard map: the ports' names and kinds (its paths are not used).
    ports::DeviceMap m_portNames;
    // Mutable: the closing lines move on to now as they are looked at.
    mutable std::map<std::string, Port> m_ports;
};

}  // namespace sim
