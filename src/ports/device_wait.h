// One call's wait on a device, as a write that waits for room or a flush that waits for the
// queue to go keeps it: within kCallWaitLimit, and within the port's stall budget wherever
// the device does not take data at its line's rate.
#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>

#include "ports/port_types.h"
#include "ports/stall_budget.h"
#include "ports/wait_bounds.h"

namespace ports {

// `step` moves the call on: kSuccess with the bytes the device took since the last step (0:
// none yet), or a failure that ends the call. `finished` tells when nothing is left to wait
// for. `wait` lets up to the limit it is given pass, or less when the device moves sooner.
// `now` is the time the budget counts in; `byteTime` what a byte takes on the line (zero for a
// device without a line rate). Answers kSuccess, the step's failure or kTimedOut.
template <class Now, class Step, class Finished, class Wait>
ErrorCode waitOnDevice(StallBudget& budget, StallBudget::Duration byteTime, Now now, Step step,
                       Finished finished, Wait wait) {
    using Duration = StallBudget::Duration;
    const Duration callEnd = now() + kCallWaitLimit;
    // Since when the device has taken nothing.
    std::optional<Duration> waitStart;
    const auto endWait = [&](bool tookAny, std::size_t taken) {
        if (waitStart)
            budget.waited(*waitStart, now(), tookAny, byteTime * static_cast<long>(taken));
        else if (tookAny)
            budget.took();
        waitStart.reset();
    };
    for (;;) {
        std::size_t taken = 0;
        if (const ErrorCode code = step(taken); code != kSuccess) {
            endWait(taken > 0, taken);
            return code;
        }
        if (taken > 0)
            endWait(true, taken);
        if (finished())
            return kSuccess;
        const Duration t = now();
        if (!waitStart)
            waitStart = t;
        const Duration limit = std::min(callEnd - t, budget.left(*waitStart) - (t - *waitStart));
        if (limit <= Duration::zero()) {
            endWait(false, 0);
            return kTimedOut;
        }
        wait(limit);
    }
}

}  // namespace ports
