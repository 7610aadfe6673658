// What a UART set to one rate makes of a byte sent at another, as on a real line: the receiver
// takes the first falling edge for a start bit and samples the line in the middle of each of its
// own bit times, so a byte sent faster than it reads shrinks into one byte, and one sent slower
// is read as several (mostly zero bits and framing errors). Each byte is taken as if the line
// were idle around it; bytes that follow closely garble differently, but no less. The simulated
// printers hear a line at another rate so, and the search for drawers keeps to the requests
// that no device at another rate can read as a drawer kick.
#pragma once

#include <cstdint>
#include <vector>

namespace ports {

struct Received {
    std::uint8_t byte;
    bool framingError;  // its stop bit was read low
};

// 8N1 at both ends. The same rate gives the byte back as it was sent.
std::vector<Received> receivedAt(std::uint8_t byte, std::uint32_t sentAt, std::uint32_t readAt);

}  // namespace ports
