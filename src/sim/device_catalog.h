// The simulated devices by name, as drawer_sim and the demo know them: a receipt printer (by
// its command set's name) or one of Dunmere's interfaces ("alder", "alder-char",
// "alder-level", "birch", "cedar", "maple"), set up as the screens expect them when they open, or
// a loopback plug ("loopback").
#pragma once

#include <memory>
#include <string_view>

#include "sim/device.h"

namespace sim {

// Null for a name that is no device.
std::shared_ptr<Device> makeDevice(std::string_view name);

}  // namespace sim
