// The opening character as one write puts it on the wire: the serial interfaces take its 16-bit
// value, low byte first (the character, then 0x00); the Maple interface on a parallel port
// takes the low byte alone.
#pragma once

#include <array>
#include <cstdint>

namespace screens {

// What a failed write of the opening character shows; the error code and ")" follow.
inline constexpr const char* kOpeningWriteFailure = "Error writing to port. (";

inline std::uint8_t parallelOpeningWrite(std::int16_t openChar) {
    return static_cast<std::uint8_t>(openChar & 0xFF);
}

inline std::array<std::uint8_t, 2> serialOpeningWrite(std::int16_t openChar) {
    return {parallelOpeningWrite(openChar), 0x00};
}

}  // namespace screens
