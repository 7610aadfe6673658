// Runs a model's timers on a virtual clock: seconds of timer activity take no wall time.
#pragma once

#include "toolkit/application.h"
#include "toolkit/clock.h"

namespace support {

// Moves the clock forward by d, delivering every tick that falls due on the way, each at its
// due time.
void runFor(toolkit::Application& app, toolkit::VirtualClock& clock, toolkit::Millis d);

}  // namespace support
