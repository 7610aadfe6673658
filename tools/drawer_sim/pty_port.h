// The simulator's end of the line: a pseudo-terminal whose other end, /dev/pts/N, drawertest
// opens as its port.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "sim/device.h"

namespace drawersim {

class PtyPort {
public:
    PtyPort() = default;
    ~PtyPort();
    PtyPort(const PtyPort&) = delete;
    PtyPort& operator=(const PtyPort&) = delete;

    // Creates the pair; false with `error` set when that fails.
    bool open(std::string& error);

    // The path the program opens.
    const std::string& path() const { return m_path; }
    // Where the program's bytes arrive, for poll().
    int fd() const { return m_master; }

    // Up to `buffer.size()` bytes the program wrote; 0 when there are none just now.
    std::size_t read(std::span<std::uint8_t> buffer);
    bool write(std::uint8_t byte);

    // The line settings the program set; baud 0 for a rate it does not know.
    sim::LineSettings settings() const;
    // Whether the program holds the port (it takes it exclusively while open).
    bool heldByProgram() const;

private:
    int m_master = -1;
    // Kept open so that the line and its settings outlive each open and close by the program.
    int m_slave = -1;
    std::string m_path;
};

}  // namespace drawersim
