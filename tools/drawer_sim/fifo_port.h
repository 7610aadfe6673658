// The simulator's end of a parallel line: a FIFO it creates, which drawertest opens as its LPT
// port in place of a printer device. Bytes go one way only, as on a printer port without its
// status lines.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <span>
#include <string>

namespace drawersim {

class FifoPort {
public:
    FifoPort() = default;
    ~FifoPort();
    FifoPort(const FifoPort&) = delete;
    FifoPort& operator=(const FifoPort&) = delete;

    // Creates the FIFO in a fresh directory of its own; false with `error` set when that fails.
    bool open(std::string& error);

    // The path the program opens.
    const std::string& path() const { return m_path; }
    // Where the program's bytes arrive, for poll().
    int fd() const { return m_fd; }

    std::size_t read(std::span<std::uint8_t> buffer);
    // Whether the program holds the port: it locks the device while it has it open.
    bool heldByProgram() const;

private:
    int m_fd = -1;
    std::string m_directory;
    std::string m_path;
    dev_t m_device = 0;
    ino_t m_inode = 0;
};

}  // namespace drawersim
