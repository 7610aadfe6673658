// Bytes as they go over the wire, and as people read them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace protocol {

using Bytes = std::vector<std::uint8_t>;

// Two hex digits, upper case; a list of them separated by blanks.
std::string hex(std::uint8_t byte);
std::string hex(const Bytes& bytes);

}  // namespace protocol
