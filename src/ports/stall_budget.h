// How long a port may still keep the window waiting on a device that takes no data: 1 s in all,
// however many calls and ticks that takes. Whenever the device takes data again the budget is
// whole again; while it is spent, writes to the device fail at once.
#pragma once

#include <algorithm>
#include <chrono>

namespace ports {

class StallBudget {
public:
    using Duration = std::chrono::nanoseconds;
    static constexpr Duration kWhole = std::chrono::seconds(1);

    Duration left() const { return m_left; }
    bool spent() const { return m_left <= Duration::zero(); }
    void spend(Duration waited) { m_left -= std::min(m_left, waited); }
    void refill() { m_left = kWhole; }

private:
    Duration m_left = kWhole;
};

}  // namespace ports
