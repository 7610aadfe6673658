// What every simulated device shares: its drawers, the quiet-line rule, its notices.
#include "sim/device.h"

#include <algorithm>

namespace sim {

Time LineSettings::byteTime() const {
    if (baud == 0)
        return Time::zero();
    return std::chrono::duration_cast<Time>(std::chrono::seconds(bitsPerByte())) / baud;
}

std::string LineSettings::text() const {
    return std::to_string(baud) + " baud, " + std::to_string(dataBits) + parity +
           std::to_string(stopBits);
}

std::optional<Time> Drawer::closesAt() const {
    if (!m_open || !m_closesAfter)
        return std::nullopt;
    return m_openedAt + *m_closesAfter;
}

bool Drawer::open(Time now) {
    // A kick on an open drawer changes nothing: it is already out of the latch.
    if (m_open)
        return false;
    m_open = true;
    m_openedAt = now;
    return true;
}

bool Drawer::close() {
    const bool was = m_open;
    m_open = false;
    return was;
}

bool Drawer::closeIfDue(Time now) {
    const auto due = closesAt();
    return due && *due <= now && close();
}

Device::Device(int drawers) : m_drawers(static_cast<std::size_t>(drawers)) {}

Bytes Device::receive(std::uint8_t byte, Time at) {
    advance(at);
    return onByte(byte, at);
}

void Device::advance(Time now) {
    // What falls due goes in the order it falls due, so the notices tell it as it happened.
    for (auto due = nextChange(); due && *due <= now; due = nextChange()) {
        if (m_quietFrom && *m_quietFrom + kQuietAfter == *due) {
            m_quietFrom.reset();
            quiet();
            continue;
        }
        for (int n = 1; n <= drawerCount(); ++n) {
            if (m_drawers[n - 1].closesAt() == due && m_drawers[n - 1].closeIfDue(*due))
                notify(Notice::Kind::Drawer, drawerName(n) + ": closes by itself");
        }
    }
}

std::optional<Time> Device::nextChange() const {
    std::optional<Time> next;
    const auto consider = [&next](std::optional<Time> t) {
        if (t && (!next || *t < *next))
            next = t;
    };
    if (m_quietFrom)
        consider(*m_quietFrom + kQuietAfter);
    for (const Drawer& d : m_drawers)
        consider(d.closesAt());
    return next;
}

void Device::setDrawer(int number, bool open, Time now) {
    advance(now);
    Drawer& d = m_drawers.at(number - 1);
    if (open ? d.open(now) : d.close())
        notify(Notice::Kind::Drawer,
               drawerName(number) + (open ? ": opened" : ": closed") + " by hand");
}

void Device::setClosesAfter(std::optional<Time> after) {
    for (Drawer& d : m_drawers)
        d.setClosesAfter(after);
}

void Device::notify(Notice::Kind kind, std::string text) {
    if (m_listener)
        m_listener(Notice{kind, std::move(text)});
}

void Device::kick(int number, Time at) {
    if (number >= 1 && number <= drawerCount() && m_drawers[number - 1].open(at))
        notify(Notice::Kind::Drawer, drawerName(number) + ": opens");
}

std::string Device::drawerName(int number) const {
    return drawerCount() == 1 ? "drawer" : "drawer " + std::to_string(number);
}

}  // namespace sim
