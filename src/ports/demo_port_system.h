// The port seam of the demo: COM1 and COM2 are serial lines and LPT1 and LPT2 parallel links,
// each with a simulated device on its far end, inside the program; nothing reaches a real
// device. Every port is a SimulatedPort, so a demo port keeps the time a real port keeps on such
// a line: bytes leave at the rate the screen set, replies come after their wire time, and the
// waits are bounded as the backends bound theirs. Which device sits on a port is asked of the
// program each time a screen opens the port or sets it up, so that it is always the one the
// screen expects.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "devices/device.h"
#include "ports/device_map.h"
#include "ports/event_table.h"
#include "ports/port_system.h"
#include "ports/simulated_port.h"

namespace ports {

// The machine's time, from its construction on; a wait sleeps.
class MachineClock final : public WaitClock {
public:
    devices::Time now() const override { return std::chrono::steady_clock::now() - m_start; }
    void waitUntil(devices::Time t) override;

private:
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

class DemoPortSystem final : public PortSystem {
public:
    // The name of the device that belongs on a port now ("COM1", ...): a name makeDevice knows,
    // or empty for none.
    using Cast = std::function<std::string(const std::string& port)>;
    // What a port's device tells.
    using Listener = std::function<void(const std::string& port, const devices::Notice& notice)>;

    // A device's drawers close by themselves this long after they opened.
    static constexpr devices::Time kDrawerClosesAfter = std::chrono::seconds(5);

    DemoPortSystem(WaitClock& clock, Cast cast);
    DemoPortSystem(const DemoPortSystem&) = delete;
    DemoPortSystem& operator=(const DemoPortSystem&) = delete;

    void setListener(Listener listener) { m_listener = std::move(listener); }
    devices::Time now() const { return m_clock.now(); }
    // Moves every line on to now: bytes arrive, replies come, drawers close by themselves.
    void advance();
    // The port a screen holds open, "COM1" to "LPT2"; empty when none is.
    std::string openPort() const;
    // The device on a port, or null.
    devices::Device* device(const std::string& port);

    Handle createFile(const std::string& device, std::uint32_t access, std::uint32_t shareMode,
                      std::uint32_t creation, std::uint32_t flags) override;
    ErrorCode lastError() const override { return m_lastError; }

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

private:
    struct Port {
        std::string name;  // "COM1", ...
        SimulatedPort simulated;
        std::string deviceName;  // of the device on its line
        Handle handle = kInvalidHandle;
        CommDcb dcb;
        CommTimeoutsRec timeouts;
    };
    // The open port of a handle, or null.
    Port* find(Handle handle);
    // Puts the device the cast names on the port's line, unless it is there already.
    void castDevice(Port& port);
    ErrorCode fail(ErrorCode code);
    // Ends a read or write: fills the overlapped record and signals its event on success.
    ErrorCode complete(WriteOverlapped* overlapped, ErrorCode code, std::uint32_t count);

    WaitClock& m_clock;
    Cast m_cast;
    // The standard map: the ports' names and kinds (its paths are not used).
    DeviceMap m_portNames;
    Listener m_listener;
    std::map<std::string, Port> m_ports;
    EventTable m_events;
    // Never reused, so a handle kept after its close can never reach a later open.
    Handle m_nextHandle = 1;
    ErrorCode m_lastError = kSuccess;
};

}  // namespace ports
