// A port seam inside the program: COM1 and COM2 are serial lines and LPT1 and LPT2 parallel
// links, each a SimulatedPort with whatever device is attached to its far end; nothing reaches
// a real device. A port keeps the time a real port keeps on such a line, in the time of its
// WaitClock: bytes leave at the rate set, replies come after their wire time, and the waits are
// bounded as the backends bound theirs. It answers as the platform's backend does: a port opens
// once at a time, both spellings of a name ("COM1", "\\.\COM1") are one port, handles and events
// are 1 or more and never reused, calls on a closed handle fail, a rate of 0 is refused, and
// reads and writes end before they return, signalling their event; the codes are the
// platform's.
#pragma once

#include <cerrno>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ports/backends/event_table.h"
#include "ports/naming/device_map.h"
#include "ports/port_system.h"
#include "sim/device.h"
#include "sim/simulated_port.h"

namespace sim {

class SimulatedPortSystem : public ports::PortSystem {
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
    SimulatedPortSystem(const SimulatedPortSystem&) = delete;
    SimulatedPortSystem& operator=(const SimulatedPortSystem&) = delete;

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
    // Every handle and every event open now, oldest first.
    std::vector<ports::Handle> openHandles() const;
    std::vector<ports::EventHandle> openEvents() const {
        return m_events.open();
    }

    ports::Handle createFile(const std::string& device, std::uint32_t access,
                             std::uint32_t shareMode, std::uint32_t creation,
                             std::uint32_t flags) override;
    ports::ErrorCode lastError() const override {
        return m_lastError;
    }

    ports::ErrorCode getCommState(ports::Handle handle, ports::CommDcb& dcb) override;
    ports::ErrorCode buildCommDcb(const std::string& settings, ports::CommDcb& dcb) override;
    ports::ErrorCode setCommState(ports::Handle handle, const ports::CommDcb& dcb) override;
    ports::ErrorCode escapeCommFunction(ports::Handle handle,
                                        ports::EscapeFunction function) override;

    ports::ErrorCode flushFileBuffers(ports::Handle handle) override;
    ports::ErrorCode purgeComm(ports::Handle handle, std::uint32_t flags) override;
    ports::ErrorCode clearCommError(ports::Handle handle, std::uint32_t& errors,
                                    ports::CommStat& stat) override;
    ports::ErrorCode setupComm(ports::Handle handle, std::uint32_t inQueue,
                               std::uint32_t outQueue) override;
    ports::ErrorCode getCommTimeouts(ports::Handle handle,
                                     ports::CommTimeoutsRec& timeouts) override;
    ports::ErrorCode setCommTimeouts(ports::Handle handle,
                                     const ports::CommTimeoutsRec& timeouts) override;

    ports::EventHandle createEvent(bool manualReset, bool initialState, const char* name) override;
    ports::ErrorCode closeEvent(ports::EventHandle event) override;
    ports::ErrorCode waitForSingleObject(ports::EventHandle event,
                                         std::uint32_t timeoutMs) override;

    ports::ErrorCode writeFile(ports::Handle handle, std::span<const std::uint8_t> bytes,
                               std::uint32_t& written, ports::WriteOverlapped* overlapped) override;
    ports::ErrorCode readFile(ports::Handle handle, std::uint8_t& byte, std::uint32_t& read,
                              ports::WriteOverlapped* overlapped) override;
    ports::ErrorCode getOverlappedResult(ports::Handle handle, ports::WriteOverlapped& overlapped,
                                         std::uint32_t& transferred, bool wait) override;

    ports::ErrorCode getCommModemStatus(ports::Handle handle, std::uint32_t& status) override;

    ports::ErrorCode closeHandle(ports::Handle handle) override;

protected:
    // Keeps the code for lastError and returns it.
    ports::ErrorCode fail(ports::ErrorCode code);

private:
    struct Port {
        SimulatedPort simulated;
        ports::Handle handle = ports::kInvalidHandle;
        ports::CommDcb dcb;
        ports::CommTimeoutsRec timeouts;
    };
    // The open port of a handle, or null.
    Port* find(ports::Handle handle);
    // Ends a read or write: fills the overlapped record and signals its event on success.
    ports::ErrorCode complete(ports::WriteOverlapped* overlapped, ports::ErrorCode code,
                              std::uint32_t count);

    WaitClock& m_clock;
    // The standard map: the ports' names and kinds (its paths are not used).
    ports::DeviceMap m_portNames;
    std::map<std::string, Port> m_ports;
    ports::EventTable m_events;
    // Never reused, so a handle kept after its close can never reach a later open.
    ports::Handle m_nextHandle = 1;
    ports::ErrorCode m_lastError = ports::kSuccess;
};

}  // namespace sim
