#include "support/virtual_time.h"

namespace support {

void runFor(toolkit::Application& app, toolkit::VirtualClock& clock, toolkit::Millis d) {
    const toolkit::Millis end = clock.now() + d;
    while (!app.ended()) {
        auto due = app.nextTimerDue();
        if (!due || *due > end)
            break;
        clock.setNow(*due);
        app.deliverDueTimers();
    }
    clock.setNow(end);
}

}  // namespace support
