// The line model.
#include "sim/line.h"

#include <algorithm>

namespace sim {

namespace {

constexpr Time kNever = Time::max();

}  // namespace

Line Line::parallel() {
    Line line(LineSettings{.baud = 0});
    line.m_parallel = true;
    return line;
}

Time Line::byteTime() const {
    return m_parallel ? kParallelByteTime : m_settings.byteTime();
}

Time Line::pace() const {
    return m_farEnd == FarEnd::Trickles ? std::max(byteTime(), kTrickleByteTime) : byteTime();
}

void Line::attach(std::shared_ptr<Device> device, Time now) {
    advance(now);
    m_device = std::move(device);
    if (m_device)
        m_device->setLineSettings(m_settings);
}

void Line::setFarEnd(FarEnd farEnd, Time now) {
    advance(now);
    m_farEnd = farEnd;
    // A device that stops taking bytes holds back even the one that was going out.
    schedule(m_now);
}

void Line::setSettings(const LineSettings& settings, Time now) {
    advance(now);
    m_settings = settings;
    if (m_device)
        m_device->setLineSettings(m_settings);
    schedule(m_now);
}

void Line::schedule(Time from) {
    Time t = from;
    for (std::size_t i = 0; i < m_output.size(); ++i) {
        Byte& b = m_output[i];
        if (m_farEnd == FarEnd::TakesNothing) {
            b.arrives = kNever;
        } else if (i == 0 && b.arrives != kNever) {
            // On the wire already: it ends as it began.
            t = std::max(t, b.arrives);
        } else {
            t += pace();
            b.arrives = t;
        }
    }
    m_wireFree = t;
}

std::optional<Time> Line::nextArrival() const {
    std::optional<Time> next;
    if (!m_output.empty() && m_output.front().arrives != kNever)
        next = m_output.front().arrives;
    if (!m_returning.empty() && (!next || m_returning.front().arrives < *next))
        next = m_returning.front().arrives;
    return next;
}

void Line::advance(Time now) {
    now = std::max(now, m_now);
    if (m_device)
        sendOutbox();
    for (auto t = nextArrival(); t && *t <= now; t = nextArrival()) {
        if (!m_output.empty() && m_output.front().arrives == *t) {
            const std::uint8_t byte = m_output.front().value;
            m_output.pop_front();
            if (!m_device || m_farEnd == FarEnd::SwitchedOff)
                continue;
            for (const std::uint8_t reply : m_device->receive(byte, *t)) {
                if (m_parallel)
                    continue;
                m_returnFree = std::max(*t + m_replyDelay, m_returnFree) + byteTime();
                m_returning.push_back({reply, m_returnFree});
            }
        } else {
            // A full input queue loses what comes next, as a UART overruns.
            if (m_input.size() < kInputQueueSize)
                m_input.push_back(m_returning.front().value);
            m_returning.pop_front();
        }
    }
    m_now = now;
    if (m_device) {
        m_device->advance(now);
        sendOutbox();
    }
}

void Line::sendOutbox() {
    // What the device sent by itself since the line last moved leaves from then on, behind
    // any reply still going back.
    for (const std::uint8_t byte : m_device->takeOutbox()) {
        if (m_parallel || m_farEnd == FarEnd::SwitchedOff)
            continue;
        m_returnFree = std::max(m_now, m_returnFree) + byteTime();
        m_returning.push_back({byte, m_returnFree});
    }
}

std::size_t Line::write(std::span<const std::uint8_t> bytes, Time now) {
    advance(now);
    const std::size_t n = std::min(bytes.size(), kOutputQueueSize - m_output.size());
    for (std::size_t i = 0; i < n; ++i) {
        Time arrives = kNever;
        if (m_farEnd != FarEnd::TakesNothing) {
            m_wireFree = std::max(m_now, m_wireFree) + pace();
            arrives = m_wireFree;
        }
        m_output.push_back({bytes[i], arrives});
    }
    return n;
}

std::size_t Line::outputQueued(Time now) {
    advance(now);
    return m_output.size();
}

std::size_t Line::inputQueued(Time now) {
    advance(now);
    return m_input.size();
}

std::optional<std::uint8_t> Line::read(Time now) {
    advance(now);
    if (m_input.empty())
        return std::nullopt;
    const std::uint8_t byte = m_input.front();
    m_input.pop_front();
    return byte;
}

void Line::purgeOutput(Time now) {
    advance(now);
    m_output.clear();
    m_wireFree = m_now;
}

void Line::purgeInput(Time now) {
    advance(now);
    m_input.clear();
}

ModemLines Line::modemLines(Time now) {
    advance(now);
    if (m_parallel || !m_device || m_farEnd == FarEnd::SwitchedOff)
        return {};
    return m_device->modemLines();
}

std::optional<Time> Line::roomAt(std::size_t count, Time now) {
    advance(now);
    if (m_output.size() + count <= kOutputQueueSize)
        return m_now;
    if (m_farEnd == FarEnd::TakesNothing || count > kOutputQueueSize)
        return std::nullopt;
    return m_output[m_output.size() + count - kOutputQueueSize - 1].arrives;
}

std::optional<Time> Line::drainedAt(Time now) {
    advance(now);
    if (m_output.empty())
        return m_now;
    if (m_farEnd == FarEnd::TakesNothing)
        return std::nullopt;
    return m_output.back().arrives;
}

std::optional<Time> Line::nextEvent() const {
    auto next = nextArrival();
    const auto change = m_device ? m_device->nextChange() : std::nullopt;
    if (change && (!next || *change < *next))
        next = change;
    return next;
}

}  // namespace sim
