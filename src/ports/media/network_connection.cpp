// The network connection.
#include "ports/media/network_connection.h"

#include <thread>
#include <utility>

#include "ports/device_wait.h"
#include "ports/wait_bounds.h"

namespace ports {

namespace {

StallBudget::Duration steadyNow() {
    return std::chrono::steady_clock::now().time_since_epoch();
}

}  // namespace

std::unique_ptr<NetworkConnection> NetworkConnection::open(const NetworkAddress& address,
                                                           bool keptLine, ErrorCode& code) {
    const net::Socket socket = net::connectTo(address, kConnectWaitLimit, code);
    if (socket == net::kNoSocket)
        return nullptr;
    return std::unique_ptr<NetworkConnection>(new NetworkConnection(socket, keptLine));
}

NetworkConnection::NetworkConnection(net::Socket socket, bool keptLine) : m_socket(socket) {
    if (keptLine)
        m_keptLine.emplace();
}

NetworkConnection::~NetworkConnection() {
    if (m_socket != net::kNoSocket)
        net::closeSocket(m_socket);
}

ErrorCode NetworkConnection::getState(CommDcb& dcb) {
    if (!m_keptLine)
        return net::kNoLine;
    dcb = *m_keptLine;
    return kSuccess;
}

ErrorCode NetworkConnection::setState(const CommDcb& dcb) {
    if (!m_keptLine)
        return net::kNoLine;
    *m_keptLine = dcb;
    return kSuccess;
}

ErrorCode NetworkConnection::escape(EscapeFunction function) {
    if (function != EscapeFunction::SetRts && function != EscapeFunction::SetDtr)
        return EINVAL;
    return m_keptLine ? kSuccess : net::kNoLine;
}

ErrorCode NetworkConnection::modemStatus(std::uint32_t& /*status*/) {
    // A printer on the network has no modem lines: the interface screens need a real line.
    return net::kNoLine;
}

ErrorCode NetworkConnection::purge(std::uint32_t flags) {
    if (m_keptLine && (flags & kPurgeRxClear) != 0) {
        // What came and was not read: a late reply must not pass for the next one.
        std::uint8_t byte = 0;
        auto input = net::Input::Byte;
        for (int i = 0; i < 64 * 256 && input == net::Input::Byte; ++i) {
            if (net::receiveOne(m_socket, byte, input) != kSuccess)
                break;
        }
    }
    return kSuccess;
}

ErrorCode NetworkConnection::queues(std::uint32_t& errors, CommStat& stat) {
    errors = 0;
    stat = {static_cast<std::uint32_t>(net::bytesWaiting(m_socket)),
            static_cast<std::uint32_t>(net::bytesUnacknowledged(m_socket))};
    return kSuccess;
}

ErrorCode NetworkConnection::write(std::span<const std::uint8_t> bytes, std::uint32_t& written) {
    std::size_t done = 0;
    // The network has no line rate: every wait for room is a stall.
    const ErrorCode code = waitOnDevice(
        m_stallBudget, StallBudget::Duration::zero(), steadyNow,
        [&](std::size_t& taken) {
            const ErrorCode sent = net::sendSome(m_socket, bytes.subspan(done), taken);
            done += taken;
            return sent;
        },
        [&] { return done == bytes.size(); },
        [&](StallBudget::Duration limit) { net::awaitRoom(m_socket, limit); });
    written = static_cast<std::uint32_t>(done);
    return code;
}

ErrorCode NetworkConnection::read(std::uint8_t& byte) {
    auto input = net::Input::Nothing;
    const ErrorCode code = net::receiveOne(m_socket, byte, input);
    if (code != kSuccess)
        return net::endedCode(code);
    // A connection that the printer closed reads as its end.
    return input == net::Input::Byte  ? kSuccess
           : input == net::Input::End ? net::kEnded
                                      : kTimedOut;
}

std::optional<std::chrono::nanoseconds> NetworkConnection::stillSending() {
    // Whatever was sent, the printer has the last word: the close waits for it.
    return std::chrono::nanoseconds::zero();
}

// The bytes acknowledged, then the end sent and the printer's answer to it: its own end (it
// read everything) or a reset (it dropped what it had), within kCloseStallLimit in all.
ErrorCode NetworkConnection::finishSending(const std::atomic<bool>& stop) {
    using namespace std::chrono_literals;
    const auto end = steadyNow() + kCloseStallLimit;
    const auto running = [&] { return !stop && steadyNow() < end; };
    // A reset may come before the acknowledgement: the bytes are dropped, and never will be.
    for (;;) {
        if (const ErrorCode reset = net::pendingError(m_socket); reset != kSuccess)
            return reset;
        if (net::bytesUnacknowledged(m_socket) == 0)
            break;
        if (!running())
            return kTimedOut;
        std::this_thread::sleep_for(5ms);
    }
    net::endSending(m_socket);
    while (running()) {
        std::uint8_t byte = 0;
        auto input = net::Input::Nothing;
        if (const ErrorCode code = net::receiveOne(m_socket, byte, input); code != kSuccess)
            return net::endedCode(code);
        if (input == net::Input::End)
            return kSuccess;
        if (input == net::Input::Nothing)
            net::awaitInput(m_socket, std::min<StallBudget::Duration>(end - steadyNow(), 10ms));
    }
    // A printer that keeps the connection open has acknowledged every byte all the same.
    return kSuccess;
}

ErrorCode NetworkConnection::close() {
    net::closeSocket(std::exchange(m_socket, net::kNoSocket));
    return kSuccess;
}

}  // namespace ports
