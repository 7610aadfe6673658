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

#include "devices/device.h"
#include "ports/device_map.h"
#include "ports/event_table.h"
#include "ports/port_system.h"
#include "ports/simulated_port.h"

namespace ports {

class SimulatedPortSystem : public PortSystem {
public:
    // The codes the platform's own backend gives for the same faults.
#ifdef _WIN32
    static constexpr ErrorCode kNoSuchPort = 2;   // ERROR_FILE_NOT_FOUND
    static constexpr ErrorCode kPortInUse = 5;    // ERROR_ACCESS_DENIED
    static constexpr ErrorCode kBadHandle = 6;    // ERROR_INVALID_HANDLE
    static constexpr ErrorCode kBadSetting = 87;  // ERROR_INVALID_PARAMETER
#else
    static constexpr ErrorCode kNoSuchPort = ENOENT;
    static constexpr ErrorCode kPortInUse = EBUSY;
    static constexpr ErrorCode kBadHandle = EBADF;
    static constexpr ErrorCode kBadSetting = EINVAL;
#endif

    // Every port free, at 9600 baud 8N1, with nothing on its line.
    explicit SimulatedPortSystem(WaitClock& clock);
    SimulatedPortSystem(const SimulatedPortSystem&) = delete;
    SimulatedPortSystem& operator=(const SimulatedPortSystem&) = delete;

    devices::Time now() const {
        return m_clock.now();
    }
    // The port a name means ("COM1" for "\\.\COM1"), or empty for a name that is no port.
    std::string portNamed(const std::string& device) const;
    // Puts a device on the far end of a port's line; null takes it away. The device hears its
    // bytes as the calls move the line on.
    void attach(const std::string& port, std::shared_ptr<devices::Device> device);
    // A port's line, moved on to now.
    devices::Line& line(const std::string& port);
    // Moves every line on to now: bytes arrive, replies come, devices change by themselves.
    void advance();
    // The port open under a handle, or empty.
    std::string portOf(Handle handle) const;
    // Every handle and every event open now, oldest first.
    std::vector<Handle> openHandles() const;
    std::vector<EventHandle> openEvents() const {
        return m_events.open();
    }

    Handle createFile(const std::string& device, std::uint32_t access, std::uint32_t shareMode,
                      std::uint32_t creation, std::uint32_t flags) override;
    ErrorCode lastError() const override {
        return m_lastError;
    }

    ErrorCode getCommState(Handle handle, CommDcb& dcb) override;
    ErrorCode buildCommDcb(const std::string& settings, CommDcb& dcb) override;
    ErrorCode setCommState(Handle handle, const CommDcb& dcb) override;
    ErrorCode escapeCommFunction(Handle handle, EscapeFunction function) override;

    ErrorCode flushFileBuffers(Handle handle) override;
    ErrorCode purgeComm(Handle handle, std::uint32_t flags) override;
    ErrorCode clearCommError(Handle handle, std::uint32_t& errors, CommStat& stat) override;
    ErrorCode setupComm(Handle handle, std::uint32_t inQueue, std::uint32_t outQueue) override;
    ErrorCode getCommTimeouts(Handle handle, CommTimeoutsRec& timeouts) override;
    ErrorCode setCommTimeouts(Handle handle, const CommTimeoutsRec& timeouts) override;

    EventHandle createEvent(bool manualReset, bool initialState, const char* name) override;
    ErrorCode closeEvent(EventHandle event) override;
    ErrorCode waitForSingleObject(EventHandle event, std::uint32_t timeoutMs) override;

    ErrorCode writeFile(Handle handle, std::span<const std::uint8_t> bytes, std::uint32_t& written,
                        WriteOverlapped* overlapped) override;
    ErrorCode readFile(Handle handle, std::uint8_t& byte, std::uint32_t& read,
                       WriteOverlapped* overlapped) override;
    ErrorCode getOverlappedResult(Handle handle, WriteOverlapped& overlapped,
                                  std::uint32_t& transferred, bool wait) override;

    ErrorCode getCommModemStatus(Handle handle, std::uint32_t& status) override;

    ErrorCode closeHandle(Handle handle) override;

protected:
    // Keeps the code for lastError and returns it.
    ErrorCode fail(ErrorCode code);

private:
    struct Port {
        SimulatedPort simulated;
        Handle handle = kInvalidHandle;
        CommDcb dcb;
        CommTimeoutsRec timeouts;
    };
    // The open port of a handle, or null.
    Port* find(Handle handle);
    // Ends a read or write: fills the overlapped record and signals its event on success.
    ErrorCode complete(WriteOverlapped* overlapped, ErrorCode code, std::uint32_t count);

    WaitClock& m_clock;
    // The standard map: the ports' names and kinds (its paths are not used).
    DeviceMap m_portNames;
    std::map<std::string, Port> m_ports;
    EventTable m_events;
    // Never reused, so a handle kept after its close can never reach a later open.
    Handle m_nextHandle = 1;
    ErrorCode m_lastError = kSuccess;
};

}  // namespace ports
