// How long a port call may wait on a device: no call may freeze the window, so every wait has
// an end; a device that takes no data spends the port's stall budget besides
// (ports/stall_budget.h). The backends and the simulated ports keep the same bounds.
#pragma once

#include <chrono>

namespace ports {

// Any one write or flush.
inline constexpr std::chrono::milliseconds kCallWaitLimit{1000};
// Reaching a network printer: its name looked up and the connection made, so that a host that
// does not answer is told within a second.
inline constexpr std::chrono::milliseconds kConnectWaitLimit{800};
// An event nothing will signal.
inline constexpr std::chrono::milliseconds kEventWaitLimit{1000};
// A port that closes lets its queued output go first, for the time those bytes take on the
// line and this much more for a device that takes nothing; then the rest is dropped.
inline constexpr std::chrono::milliseconds kCloseStallLimit{1000};

}  // namespace ports
