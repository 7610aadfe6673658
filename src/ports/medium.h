// What a port leads to, once open: a serial line, a printer device or FIFO, a network
// connection, a simulated line. Each medium does the seam's calls on one open handle in its own
// way and answers the platform's codes; the backend keeps the handles, the events and the last
// error (backends/port_system_base.h) and opens the medium a port's device needs.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "ports/port_types.h"

namespace ports {

class Medium {
public:
    virtual ~Medium() = default;

    // Line settings. A medium without a line of its own keeps what the screens set.
    virtual ErrorCode getState(CommDcb& dcb) = 0;
    virtual ErrorCode setState(const CommDcb& dcb) = 0;
    virtual ErrorCode escape(EscapeFunction function) = 0;
    // CTS 0x10, DSR 0x20, RI 0x40, CD 0x80.
    virtual ErrorCode modemStatus(std::uint32_t& status) = 0;
    // The IEEE 1284 device ID of the printer behind it, where its driver has one to give.
    virtual ErrorCode deviceId(std::string& /*id*/) { return kNoDeviceId; }

    // Buffers and time-outs. The time-outs are recorded for the screens to read back: every
    // wait on a device keeps this program's own bounds (wait_bounds.h).
    virtual ErrorCode flush() = 0;
    virtual ErrorCode purge(std::uint32_t flags) = 0;
    virtual ErrorCode queues(std::uint32_t& errors, CommStat& stat) = 0;
    virtual ErrorCode setupQueues(std::uint32_t /*inQueue*/, std::uint32_t /*outQueue*/) {
        return kSuccess;
    }
    virtual ErrorCode getTimeouts(CommTimeoutsRec& timeouts) {
        timeouts = m_timeouts;
        return kSuccess;
    }
    virtual ErrorCode setTimeouts(const CommTimeoutsRec& timeouts) {
        m_timeouts = timeouts;
        return kSuccess;
    }

    // Each ends before it returns, within its bounds: the write with what the device took,
    // the read with a byte that had come or kTimedOut.
    virtual ErrorCode write(std::span<const std::uint8_t> bytes, std::uint32_t& written) = 0;
    virtual ErrorCode read(std::uint8_t& byte) = 0;

    // Closing. How long what was written may still take to leave, if anything is on its way;
    // the backend then lets it go in the background. finishSending waits for it until it is
    // due and kCloseStallLimit more, or until `stop` is set, and drops what is left: kSuccess
    // when the device took it all, else the code of what stopped it.
    virtual std::optional<std::chrono::nanoseconds> stillSending() { return std::nullopt; }
    virtual ErrorCode finishSending(const std::atomic<bool>& /*stop*/) { return kSuccess; }
    // Lets the device go, as it was found.
    virtual ErrorCode close() = 0;
    // The device itself, whatever name led to it: an open of the same device waits for this
    // one's close to end. Empty where no open needs to (each network connection is its own).
    virtual std::string deviceKey() const { return {}; }

protected:
    CommTimeoutsRec m_timeouts;
};

}  // namespace ports
