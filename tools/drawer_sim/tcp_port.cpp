#include "tcp_port.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace drawersim {

TcpPort::~TcpPort() {
    for (const int fd : {m_connection, m_listener}) {
        if (fd >= 0)
            ::close(fd);
    }
}

bool TcpPort::open(std::string& error) {
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int on = 1;
    ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(m_port));
    socklen_t size = sizeof address;
    if (m_listener < 0 ||
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listener, 1) != 0 ||
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        error =
            "cannot listen on 127.0.0.1:" + std::to_string(m_port) + ": " + std::strerror(errno);
        return false;
    }
    m_path = "127.0.0.1:" + std::to_string(ntohs(address.sin_port));
    return true;
}

std::size_t TcpPort::read(std::span<std::uint8_t> buffer) {
    if (m_connection < 0) {
        m_connection = ::accept4(m_listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        return 0;
    }
    const ssize_t n = ::recv(m_connection, buffer.data(), buffer.size(), 0);
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
        // The program closed its port: the next connection is the next open.
        ::close(m_connection);
        m_connection = -1;
    }
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

bool TcpPort::write(std::uint8_t byte) {
    return m_connection >= 0 && ::send(m_connection, &byte, 1, MSG_NOSIGNAL) == 1;
}

}  // namespace drawersim
