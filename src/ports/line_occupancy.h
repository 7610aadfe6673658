// When what has been written to a serial line will have left it: each byte takes its wire time
// at the line's rate, behind the bytes before it. A port that tells nothing of its output queue
// (a pseudo-terminal, an adapter that buffers) is judged by this count.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>

#include "ports/port_types.h"

namespace ports {

class LineOccupancy {
public:
    explicit LineOccupancy(std::uint32_t baud) : m_baud(baud) {}

    // Bytes written from now on go at this rate.
    void setBaud(std::uint32_t baud) { m_baud = baud; }
    std::uint32_t baud() const { return m_baud; }
    // `bytes` went out at `now`.
    void wrote(std::size_t bytes, std::chrono::microseconds now) {
        m_freeAt = std::max(m_freeAt, now) + wireTime(bytes, m_baud);
    }
    // When the last byte written leaves the line; a time past once the line is idle.
    std::chrono::microseconds freeAt() const { return m_freeAt; }

private:
    std::uint32_t m_baud;
    std::chrono::microseconds m_freeAt{0};
};

}  // namespace ports
