// What the POSIX media share: errno codes, the machine's steady time as the stall budget counts
// it, and the bounded write and the one-byte read on a non-blocking descriptor.
#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>

struct stat;

#include "ports/port_types.h"
#include "ports/stall_budget.h"

namespace ports::posix {

ErrorCode errnoCode();
// A device or connection that went away reads and writes as EIO, whatever ended it.
ErrorCode endedCode(ErrorCode code);
// The machine's steady time.
StallBudget::Duration steadyNow();
// Sleeps a short while, at most `limit`: how a device that cannot be polled is waited for.
void nap(StallBudget::Duration limit);
// The device a node is, whatever path led to it: a character device by its number, anything
// else by its file system and inode.
std::string deviceKey(const struct stat& node);

// Writes what the device takes within kCallWaitLimit and the stall budget; `byteTime` is what
// a byte takes on the device's line (zero without a line rate). Ttys and sockets wake the
// writer as soon as they take data (`pollable`); other devices cannot all be polled (the lp
// driver cannot), so they are tried again after a short nap.
ErrorCode writeWithin(int fd, std::span<const std::uint8_t> bytes, std::uint32_t& written,
                      StallBudget& budget, StallBudget::Duration byteTime, bool pollable);
// A byte that has come, without waiting: kTimedOut when none has, EIO when the far end hung up.
ErrorCode readOne(int fd, std::uint8_t& byte);

}  // namespace ports::posix
