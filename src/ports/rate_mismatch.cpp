#include "ports/rate_mismatch.h"

namespace ports {

std::vector<Received> receivedAt(std::uint8_t byte, std::uint32_t sentAt, std::uint32_t readAt) {
    // Times in units of 1 / (2 * sentAt * readAt) seconds, so that every sent bit boundary and
    // every sampling point is a whole number: a sent bit lasts 2 * readAt units, half a bit of
    // the receiver sentAt units.
    const std::uint64_t sentBit = 2ULL * readAt;
    const std::uint64_t halfRead = sentAt;
    // The frame: a start bit, the data from its lowest bit, a stop bit; then the idle line.
    const auto bit = [byte](std::uint64_t index) {
        return index == 0 ? 0 : index <= 8 ? (byte >> (index - 1)) & 1 : 1;
    };
    const auto level = [&](std::uint64_t t) { return bit(t / sentBit); };
    std::vector<Received> received;
    std::uint64_t from = 0;  // the receiver looks for a start bit from here on
    // A falling edge can only come at a sent bit boundary, and none after the stop bit.
    for (std::uint64_t k = 0; k <= 9; ++k) {
        const std::uint64_t edge = k * sentBit;
        if (edge < from || bit(k) != 0 || (k > 0 && bit(k - 1) == 0))
            continue;
        if (level(edge + halfRead) != 0)
            continue;  // a glitch, not a start bit
        std::uint8_t value = 0;
        for (unsigned i = 0; i < 8; ++i) {
            if (level(edge + (2 * i + 3) * halfRead) != 0)
                value = static_cast<std::uint8_t>(value | (1U << i));
        }
        const std::uint64_t stop = edge + 19 * halfRead;
        received.push_back({value, level(stop) == 0});
        from = stop;
    }
    return received;
}

}  // namespace ports
