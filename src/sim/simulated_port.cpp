// A port on a simulated line.
#include "sim/simulated_port.h"

#include <algorithm>

#include "ports/device_wait.h"

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

ports::ErrorCode SimulatedPort::write(std::span<const std::uint8_t> bytes, std::uint32_t& written,
                                      WaitClock& clock) {
    if (!hasDevice()) {
        // Nothing on the line: the bytes are gone at once, unless the far end takes nothing.
        written = 0;
        if (m_line.farEnd() != Line::FarEnd::TakesNothing) {
            m_stallBudget.took();
            written = static_cast<std::uint32_t>(bytes.size());
            return ports::kSuccess;
        }
        const Time start = clock.now();
        clock.waitUntil(start + m_stallBudget.left(start));
        m_stallBudget.waited(start, clock.now(), false);
        return ports::kTimedOut;
    }
    std::size_t done = 0;
    const ports::ErrorCode code = ports::waitOnDevice(
        m_stallBudget, m_line.byteTime(), [&clock] { return clock.now(); },
        [&](std::size_t& taken) {
            taken = m_line.write(bytes.subspan(done), clock.now());
            done += taken;
            return ports::kSuccess;
        },
        [&] { return done == bytes.size(); },
        [&](Time limit) {
            // Room comes as bytes leave; a device that takes nothing makes none.
            const Time now = clock.now();
            const auto room = m_line.roomAt(1, now);
            clock.waitUntil(room && *room < now + limit ? *room : now + limit);
        });
    written = static_cast<std::uint32_t>(done);
    return code;
}

ports::ErrorCode SimulatedPort::drain(WaitClock& clock) {
    const Time now = clock.now();
    const auto drained = m_line.drainedAt(now);
    if (drained == now)
        return ports::kSuccess;
    // A queue that leaves at the line's rate is waited for as long as a call may wait; one that
    // does not leave, or trickles, spends the stall budget.
    const std::size_t queued = m_line.outputQueued(now);
    const Time byteTime = m_line.byteTime();
    const bool atLineRate = drained && *drained - now <= byteTime * static_cast<long>(2 * queued);
    Time end = now + ports::kCallWaitLimit;
    if (drained)
        end = std::min(end, *drained);
    if (!atLineRate)
        end = std::min(end, now + m_stallBudget.left(now));
    clock.waitUntil(end);
    const std::size_t taken = queued - m_line.outputQueued(clock.now());
    m_stallBudget.waited(now, clock.now(), taken > 0, byteTime * static_cast<long>(taken));
    return drained && end == *drained ? ports::kSuccess : ports::kTimedOut;
}

void SimulatedPort::open(WaitClock& clock) {
    if (m_closingEnd) {
        const auto drained = m_line.drainedAt(clock.now());
        clock.waitUntil(drained ? std::min(*drained, *m_closingEnd) : *m_closingEnd);
    }
    advance(clock.now());
    m_closingEnd.reset();
    m_stallBudget = ports::StallBudget();
}

std::optional<Time> SimulatedPort::closingLeft(Time now) {
    advance(now);
    if (!m_closingEnd || m_line.outputQueued(now) == 0)
        return std::nullopt;
    const auto drained = m_line.drainedAt(now);
    return (drained ? std::min(*drained, *m_closingEnd) : *m_closingEnd) - now;
}

void SimulatedPort::stopClosing(Time now) {
    advance(now);
    m_line.purgeOutput(now);
    m_closingEnd.reset();
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
