// A port whose far end is a simulated device on a line (Line): what a real port does
// on such a line, its waits bounded as the backends bound theirs, in time its owner passes. A
// write takes what fits and waits for room, a flush waits for the queue to drain, a close lets
// the queue go on draining behind its caller for as long as a backend's close gives it (then
// drops the rest), a read takes what has come; a device that does not take data at the line's
// rate holds a call at most kCallWaitLimit and the port at most its stall budget. With no
// device on the line, written bytes are gone at once.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "ports/port_types.h"
#include "ports/stall_budget.h"
#include "ports/wait_bounds.h"
#include "sim/line.h"

namespace sim {

// The time a simulated port waits in: a virtual clock that moves on, or the machine's, which
// sleeps.
class WaitClock {
public:
    virtual ~WaitClock() = default;
    virtual Time now() const = 0;
    virtual void waitUntil(Time t) = 0;
};

class SimulatedPort {
public:
    explicit SimulatedPort(Line line) : m_line(std::move(line)) {}

    Line& line() { return m_line; }
    bool hasDevice() const { return m_line.device() != nullptr; }

    // A new open waits for the close before it to end, and starts with the whole stall budget.
    void open(WaitClock& clock);
    // While a closed port's queue still drains: until it will have drained, as far as the line
    // tells (a far end that takes nothing: until the close gives up).
    std::optional<Time> closingLeft(Time now);
    // Drops what a closed port still sends.
    void stopClosing(Time now);
    // Moves the line on to `now`, dropping what a closed port could not send within its bound.
    void advance(Time now);
    // The settings of a serial line; a parallel link keeps its rate.
    void setLine(const ports::CommDcb& dcb, Time now);

    // Each fails with kTimedOut when its bound runs out.
    ports::ErrorCode write(std::span<const std::uint8_t> bytes, std::uint32_t& written,
                           WaitClock& clock);
    ports::ErrorCode drain(WaitClock& clock);
    void close(Time now);
    // A byte that has come, without waiting; kTimedOut when none has.
    ports::ErrorCode read(std::uint8_t& byte, Time now);
    // kPurgeTxClear, kPurgeRxClear.
    void purge(std::uint32_t flags, Time now);
    ports::CommStat queues(Time now);
    // CTS 0x10, DSR 0x20, RI 0x40, CD 0x80, as the device drives them.
    std::uint32_t modemStatus(Time now);

private:
    Line m_line;
    ports::StallBudget m_stallBudget;
    // While a closed port's queue still drains: when the rest is dropped.
    std::optional<Time> m_closingEnd;
};

}  // namespace sim
