// How long a port may still keep the window waiting on a device that takes no data: 1 s in all,
// however many calls and ticks that takes. Whenever the device takes data again the budget is
// whole again; while it is spent, writes to the device fail at once.
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
    Duration left(Duration /*now*/) const { return m_left; }
    // A wait from `start` to `end`, after which the device had taken bytes that its line
    // carries in `carried` (zero for a device without a line rate), or with `tookAny` false
    // nothing at all.
    void waited(Duration start, Duration end, bool tookAny,
                Duration /*carried*/ = Duration::zero()) {
        m_left = tookAny ? kWhole : std::max(Duration::zero(), m_left - (end - start));
    }
    // The device took bytes without keeping anyone waiting.
    void took() { m_left = kWhole; }

private:
    Duration m_left = kWhole;
};

}  // namespace ports
