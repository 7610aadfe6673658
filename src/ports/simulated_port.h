// A port whose far end is a simulated device on a line (devices::Line): what a real port does
// on such a line, its waits bounded as the backends bound theirs, in time its owner passes. A
// write takes what fits and waits for room, a flush waits for the queue to drain, a close lets
// the queue go on draining behind its caller for as long as a backend's close gives it (then
// drops the rest), a read takes what has come; a device that takes nothing holds a call at
// most kCallWaitLimit and the port at most its stall budget. With no device on the line,
// written bytes are gone at once.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "devices/line.h"
#include "ports/records.h"
#include "ports/stall_budget.h"
#include "ports/wait_bounds.h"

namespace ports {

// The time a simulated port waits in: a virtual clock that moves on, or the machine's, which
// sleeps.
class WaitClock {
public:
    virtual ~WaitClock() = default;
    virtual devices::Time now() const = 0;
    virtual void waitUntil(devices::Time t) = 0;
};

class SimulatedPort {
public:
    explicit SimulatedPort(devices::Line line) : m_line(std::move(line)) {}

    devices::Line& line() { return m_line; }
    bool hasDevice() const { return m_line.device() != nullptr; }

    // A new open waits for the close before it to end, and starts with the whole stall budget.
    void open(WaitClock& clock);
    // Moves the line on to `now`, dropping what a closed port could not send within its bound.
    void advance(devices::Time now);
    // The settings of a serial line; a parallel link keeps its rate.
    void setLine(const CommDcb& dcb, devices::Time now);

    // Each fails with kTimedOut when its bound runs out.
    ErrorCode write(std::span<const std::uint8_t> bytes, std::uint32_t& written, WaitClock& clock);
    ErrorCode drain(WaitClock& clock);
    void close(devices::Time now);
    // A byte that has come, without waiting; kTimedOut when none has.
    ErrorCode read(std::uint8_t& byte, devices::Time now);
    // kPurgeTxClear, kPurgeRxClear.
    void purge(std::uint32_t flags, devices::Time now);
    CommStat queues(devices::Time now);
    // CTS 0x10, DSR 0x20, RI 0x40, CD 0x80, as the device drives them.
    std::uint32_t modemStatus(devices::Time now);

private:
    // The end of a wait that the far end may spend taking nothing: the call's end, or sooner
    // when less of the stall budget is left.
    devices::Time waitLimit(devices::Time now, devices::Time callEnd) const;

    devices::Line m_line;
    StallBudget m_stallBudget;
    // While a closed port's queue still drains: when the rest is dropped.
    std::optional<devices::Time> m_closingEnd;
};

}  // namespace ports
