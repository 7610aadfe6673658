// The benchmarks' pty far end.
#include "pty_peer.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <array>

namespace bench {

PtyPeer::PtyPeer(std::vector<std::uint8_t> request, std::uint8_t reply)
    : m_request(std::move(request)), m_reply(reply) {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
        return;
    const char* name = ::ptsname(m_master);
    if (name == nullptr || ::pipe2(m_stop, O_CLOEXEC) != 0)
        return;
    m_slaveFd = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slaveFd < 0)
        return;
    m_slave = name;
    m_thread = std::thread([this] { run(); });
}

PtyPeer::~PtyPeer() {
    if (m_thread.joinable()) {
        const char stop = 0;
        (void)::write(m_stop[1], &stop, 1);
        m_thread.join();
    }
    for (int fd : {m_master, m_slaveFd, m_stop[0], m_stop[1]}) {
        if (fd >= 0)
            ::close(fd);
    }
}

// The peer's own opening of the program's side sees the same input queue.
void PtyPeer::awaitReply() const {
    pollfd entry{m_slaveFd, POLLIN, 0};
    ::poll(&entry, 1, 1000);
}

// Blocks in poll until bytes come, so a request is answered as soon as it has arrived.
void PtyPeer::run() {
    std::vector<std::uint8_t> tail;
    std::array<std::uint8_t, 4096> buffer{};
    for (;;) {
        std::array<pollfd, 2> fds{{{m_master, POLLIN, 0}, {m_stop[0], POLLIN, 0}}};
        if (::poll(fds.data(), fds.size(), -1) < 0)
            continue;
        if (fds[1].revents != 0)
            return;
        const ssize_t n = ::read(m_master, buffer.data(), buffer.size());
        if (n <= 0)
            continue;
        m_received += static_cast<std::uint64_t>(n);
        if (m_request.empty())
            continue;
        for (ssize_t i = 0; i < n; ++i) {
            tail.push_back(buffer[static_cast<std::size_t>(i)]);
            if (tail.size() > m_request.size())
                tail.erase(tail.begin());
            if (tail == m_request) {
                (void)::write(m_master, &m_reply, 1);
                ++m_answered;
                tail.clear();
            }
        }
    }
}

}  // namespace bench
