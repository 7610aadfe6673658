#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "ports/port_types.h"

namespace ports {

// The events of a backend whose reads and writes end before they return: a call signals the
// event of its overlapped record as it ends, so a wait either finds the event signalled or
// nothing will signal it any more.
class EventTable {
public:
    enum class Found { Signalled, NotSignalled, NoSuchEvent };

    EventHandle create(bool manualReset, bool initialState) {
        const EventHandle event = m_next++;
        m_events.emplace(event, Event{manualReset, initialState});
        return event;
    }

    // False for an event that is not open.
    bool close(EventHandle event) { return m_events.erase(event) != 0; }

    // What a wait finds now; an auto-reset event it finds signalled is reset.
    Found take(EventHandle event) {
        const auto it = m_events.find(event);
        if (it == m_events.end())
            return Found::NoSuchEvent;
        if (!it->second.signalled)
            return Found::NotSignalled;
        if (!it->second.manualReset)
            it->second.signalled = false;
        return Found::Signalled;
    }

    // Fills the overlapped record of a call that has ended and signals its event if the call
    // succeeded.
    void end(WriteOverlapped* overlapped, ErrorCode code, std::uint32_t count) {
        if (overlapped == nullptr)
            return;
        overlapped->internal = code;
        overlapped->internalHigh = count;
        const auto it = m_events.find(overlapped->event);
        if (code == kSuccess && it != m_events.end())
            it->second.signalled = true;
    }

    // Every open event, oldest first.
    std::vector<EventHandle> open() const {
        std::vector<EventHandle> events;
        for (const auto& [event, state] : m_events)
            events.push_back(event);
        return events;
    }

private:
    struct Event {
        bool manualReset = true;
        bool signalled = false;
    };

    std::map<EventHandle, Event> m_events;
    // Never reused, so an event kept after its close can never reach a later one.
    EventHandle m_next = 1;
};

}  // namespace ports
