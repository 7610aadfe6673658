// What the brands' command sets are built from: the control characters by name, the details
// that complete a command's meaning from its parameters, and the commands that printers kicking
// a drawer on a single character share.
#pragma once

#include <cstdint>
#include <vector>

#include "protocol/command_set.h"

namespace protocol {

inline constexpr std::uint8_t kStx = 0x02;
inline constexpr std::uint8_t kEot = 0x04;
inline constexpr std::uint8_t kEnq = 0x05;
inline constexpr std::uint8_t kBel = 0x07;
inline constexpr std::uint8_t kLf = 0x0A;
inline constexpr std::uint8_t kFf = 0x0C;
inline constexpr std::uint8_t kCr = 0x0D;
inline constexpr std::uint8_t kDle = 0x10;
inline constexpr std::uint8_t kCan = 0x18;
inline constexpr std::uint8_t kSub = 0x1A;
inline constexpr std::uint8_t kEsc = 0x1B;
inline constexpr std::uint8_t kFs = 0x1C;
inline constexpr std::uint8_t kGs = 0x1D;

// "feed 8 lines": the count is the last parameter.
void lineCount(Command& c);
// An even last parameter cuts fully, an odd one partly.
void cutByParity(Command& c);

// Line feed, carriage return, initialise, feed, cut, and the drawer characters BEL (drawer 1),
// FS (drawer 1's alternate character) and SUB (drawer 2).
std::vector<CommandEntry> characterKickCommands();

}  // namespace protocol
