// The simulator's end of a network printer: a TCP port on the loopback address, which
// drawertest reaches as "127.0.0.1:PORT". One connection at a time, as a printer's raw port.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "sim/device.h"

namespace drawersim {

class TcpPort {
public:
    TcpPort() = default;
    ~TcpPort();
    TcpPort(const TcpPort&) = delete;
    TcpPort& operator=(const TcpPort&) = delete;

    // The port to listen on before open(); 0 takes any free one.
    void listenOn(int port) { m_port = port; }
    bool open(std::string& error);

    // The address the program connects to.
    const std::string& path() const { return m_path; }
    // The connection, or while there is none the listening socket, for poll().
    int fd() const { return m_connection >= 0 ? m_connection : m_listener; }

    // Takes a waiting connection, or up to `buffer.size()` bytes from the one there is.
    std::size_t read(std::span<std::uint8_t> buffer);
    bool write(std::uint8_t byte);

    // A network printer's bytes are not timed by a line: the serial screens' 9600 baud.
    sim::LineSettings settings() const { return {}; }
    bool heldByProgram() const { return m_connection >= 0; }

private:
    int m_port = 9100;
    int m_listener = -1;
    int m_connection = -1;
    std::string m_path;
};

}  // namespace drawersim
