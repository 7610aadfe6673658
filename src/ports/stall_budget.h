// How long a port may keep the window waiting on a device that does not take its data as its
// line carries it: 1 s in all, however many calls a click or a tick makes. A device that takes
// data at half its line's rate or better is working, and the budget is whole again. One that
// takes nothing, or trickles (a printer whose buffer is full and takes a byte as it prints
// one; a device without a line rate counts every wait), spends it, and gets it back only with
// time away from the waits, so that no click waits on it much more than a second. While the
// device has taken nothing since its last wait, nothing comes back: writes to it fail at once.
#pragma once

#include <algorithm>
#include <chrono>

namespace ports {

class StallBudget {
public:
    // Times are durations since a start of the caller's: the machine's steady time, or a
    // virtual one.
    using Duration = std::chrono::nanoseconds;
    static constexpr Duration kWhole = std::chrono::seconds(1);

    // What a wait that starts at `now` may still spend.
    Duration left(Duration now) const {
        if (m_stuck)
            return m_left;
        return std::min(kWhole, m_left + std::max(Duration::zero(), now - m_lastWait));
    }
    // A wait from `start` to `end`, after which the device had taken bytes that its line
    // carries in `carried` (zero for a device without a line rate), or with `tookAny` false
    // nothing at all.
    void waited(Duration start, Duration end, bool tookAny, Duration carried = Duration::zero()) {
        const Duration wait = end - start;
        // A look that waited for nothing tells nothing of the device.
        if (wait <= Duration::zero() && !tookAny)
            return;
        if (tookAny && carried * 2 >= wait) {
            m_left = kWhole;
        } else {
            m_left = std::max(Duration::zero(), left(start) - wait);
        }
        m_stuck = !tookAny;
        m_lastWait = end;
    }
    // The device took bytes without keeping anyone waiting.
    void took() { m_stuck = false; }

private:
    Duration m_left = kWhole;
    Duration m_lastWait{};
    bool m_stuck = false;
};

}  // namespace ports
