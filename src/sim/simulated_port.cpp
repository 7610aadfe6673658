// A port on a simulated line.
#include "sim/simulated_port.h"

#include <algorithm>

namespace sim {

void SimulatedPort::setLine(const ports::CommDcb& dcb, Time now) {
    if (m_line.isParallel())
        return;
    m_line.setSettings({.baud = dcb.baudRate,
                        .dataBits = dcb.byteSize,
                        .parity = "NOEMS"[static_cast<int>(dcb.parity)],
                        .stopBits = dcb.stopBits == ports::StopBits::One ? 1 : 2},
                       now);
}

Time SimulatedPort::waitLimit(Time now, Time callEnd) const {
    return std::min<Time>(callEnd, now + m_stallBudget.left());
}

ports::ErrorCode SimulatedPort::write(std::span<const std::uint8_t> bytes, std::uint32_t& written,
                                      WaitClock& clock) {
    if (!hasDevice()) {
        // Nothing on the line: the bytes are gone at once, unless the far end takes nothing.
        written = 0;
        if (m_line.farEnd() != Line::FarEnd::TakesNothing) {
            m_stallBudget.refill();
            written = static_cast<std::uint32_t>(bytes.size());
            return ports::kSuccess;
        }
        const Time limit = clock.now() + m_stallBudget.left();
        m_stallBudget.spend(m_stallBudget.left());
        clock.waitUntil(limit);
        return ports::kTimedOut;
    }
    const Time callEnd = clock.now() + ports::kCallWaitLimit;
    std::size_t done = 0;
    ports::ErrorCode code = ports::kSuccess;
    for (;;) {
        const std::size_t taken = m_line.write(bytes.subspan(done), clock.now());
        done += taken;
        if (taken > 0)
            m_stallBudget.refill();
        if (done == bytes.size())
            break;
        // Room comes as bytes leave; a device that takes nothing makes none.
        const Time now = clock.now();
        const Time limit = waitLimit(now, callEnd);
        const auto room = m_line.roomAt(1, now);
        if (!room || *room > limit) {
            m_stallBudget.spend(limit - now);
            clock.waitUntil(limit);
            code = ports::kTimedOut;
            break;
        }
        clock.waitUntil(*room);
    }
    written = static_cast<std::uint32_t>(done);
    return code;
}

ports::ErrorCode SimulatedPort::drain(WaitClock& clock) {
    const Time now = clock.now();
    const auto drained = m_line.drainedAt(now);
    if (drained == now)
        return ports::kSuccess;
    // A queue that does not shrink spends the budget; one that does keeps it whole.
    if (!drained) {
        const Time limit = waitLimit(now, now + ports::kCallWaitLimit);
        m_stallBudget.spend(limit - now);
        clock.waitUntil(limit);
        return ports::kTimedOut;
    }
    m_stallBudget.refill();
    const Time end = std::min(*drained, now + ports::kCallWaitLimit);
    clock.waitUntil(end);
    return end == *drained ? ports::kSuccess : ports::kTimedOut;
}

void SimulatedPort::open(WaitClock& clock) {
    if (m_closingEnd) {
        const auto drained = m_line.drainedAt(clock.now());
        clock.waitUntil(drained ? std::min(*drained, *m_closingEnd) : *m_closingEnd);
    }
    advance(clock.now());
    m_closingEnd.reset();
    m_stallBudget.refill();
}

void SimulatedPort::advance(Time now) {
    if (m_closingEnd && *m_closingEnd <= now) {
        m_line.advance(*m_closingEnd);
        m_line.purgeOutput(*m_closingEnd);
        m_closingEnd.reset();
    }
    m_line.advance(now);
}

void SimulatedPort::close(Time now) {
    const std::size_t queued = m_line.outputQueued(now);
    if (queued > 0)
        m_closingEnd = now + m_line.byteTime() * queued + ports::kCloseStallLimit;
}

ports::ErrorCode SimulatedPort::read(std::uint8_t& byte, Time now) {
    const auto next = m_line.read(now);
    if (!next)
        return ports::kTimedOut;
    byte = *next;
    return ports::kSuccess;
}

void SimulatedPort::purge(std::uint32_t flags, Time now) {
    if ((flags & ports::kPurgeTxClear) != 0)
        m_line.purgeOutput(now);
    if ((flags & ports::kPurgeRxClear) != 0)
        m_line.purgeInput(now);
}

ports::CommStat SimulatedPort::queues(Time now) {
    return {static_cast<std::uint32_t>(m_line.inputQueued(now)),
            static_cast<std::uint32_t>(m_line.outputQueued(now))};
}

std::uint32_t SimulatedPort::modemStatus(Time now) {
    const ModemLines lines = m_line.modemLines(now);
    return (lines.cts ? ports::kCtsOn : 0) | (lines.dsr ? ports::kDsrOn : 0) |
           (lines.ring ? ports::kRingOn : 0) | (lines.carrier ? ports::kCarrierOn : 0);
}

}  // namespace sim
