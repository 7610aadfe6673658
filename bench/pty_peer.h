// The far end of a pseudo-terminal for the benchmarks: a thread that reads everything the
// program sends and, like a printer, answers each status request with one byte. It keeps the
// pty's other side open itself, so the line never reads as hung up between the program's opens.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace bench {

class PtyPeer {
public:
    // request: the bytes that end a status request; empty for a device that never answers.
    explicit PtyPeer(std::vector<std::uint8_t> request = {}, std::uint8_t reply = 0);
    ~PtyPeer();
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    bool ok() const { return !m_slave.empty(); }
    // The path the program opens.
    const std::string& slave() const { return m_slave; }
    std::uint64_t received() const { return m_received; }
    std::uint64_t answered() const { return m_answered; }
    // Returns once the program's side of the line holds a reply to read (at most 1 s).
    void awaitReply() const;

private:
    void run();

    std::vector<std::uint8_t> m_request;
    std::uint8_t m_reply;
    int m_master = -1;
    int m_slaveFd = -1;
    int m_stop[2] = {-1, -1};
    std::string m_slave;
    std::thread m_thread;
    std::atomic<std::uint64_t> m_received{0};
    std::atomic<std::uint64_t> m_answered{0};
};

}  // namespace bench
