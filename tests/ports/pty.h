// A pseudo-terminal for the POSIX tests: the test holds the master side, the program under test
// opens the slave as a serial port.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "port_calls.h"

namespace porttest {

// What the device at `fd` received: waits (bounded) until `count` bytes came or nothing more
// does.
inline Bytes receiveFrom(int fd, std::size_t count) {
    Bytes bytes;
    std::uint8_t buffer[4096];
    pollfd entry{fd, POLLIN, 0};
    for (ssize_t n = 0; bytes.size() < count && ::poll(&entry, 1, 2000) > 0;) {
        if ((n = ::read(fd, buffer, sizeof buffer)) <= 0)
            break;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return bytes;
}

// The master side of a pty; the backend opens the slave.
class Pty {
public:
    Pty() : m_master(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK)) {
        if (m_master >= 0 && ::grantpt(m_master) == 0 && ::unlockpt(m_master) == 0)
            m_slave = ::ptsname(m_master);
    }
    ~Pty() { hangUp(); }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    const std::string& slave() const { return m_slave; }
    int master() const { return m_master; }
    void hangUp() {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }
    Bytes receive(std::size_t count) { return receiveFrom(m_master, count); }

private:
    int m_master;
    std::string m_slave;
};

}  // namespace porttest
