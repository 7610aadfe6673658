// A network printer on its raw printing port: a TCP connection, made within kConnectWaitLimit,
// each open a connection of its own. It has no line: as a serial port it keeps the settings the
// screens set and has no modem lines; as a parallel port its line calls fail with kNoLine.
// Written against the socket calls alone (socket_calls.h), so that it is the same on every
// platform. Its close ends the stream and waits, in the background, until the printer has
// acknowledged every byte and answered the end without a reset: only then did it take them.
#pragma once

#include <memory>
#include <optional>

#include "ports/media/socket_calls.h"
#include "ports/medium.h"
#include "ports/stall_budget.h"

namespace ports {

class NetworkConnection final : public Medium {
public:
    // A connection to `address` for a serial port (`keptLine`) or a parallel one; null with
    // `code` telling why it could not be made.
    static std::unique_ptr<NetworkConnection> open(const NetworkAddress& address, bool keptLine,
                                                   ErrorCode& code);
    ~NetworkConnection() override;
    NetworkConnection(const NetworkConnection&) = delete;
    NetworkConnection& operator=(const NetworkConnection&) = delete;

    ErrorCode getState(CommDcb& dcb) override;
    ErrorCode setState(const CommDcb& dcb) override;
    ErrorCode escape(EscapeFunction function) override;
    ErrorCode modemStatus(std::uint32_t& status) override;
    ErrorCode flush() override { return kSuccess; }
    ErrorCode purge(std::uint32_t flags) override;
    ErrorCode queues(std::uint32_t& errors, CommStat& stat) override;
    ErrorCode write(std::span<const std::uint8_t> bytes, std::uint32_t& written) override;
    ErrorCode read(std::uint8_t& byte) override;
    std::optional<std::chrono::nanoseconds> stillSending() override;
    ErrorCode finishSending(const std::atomic<bool>& stop) override;
    ErrorCode close() override;

private:
    NetworkConnection(net::Socket socket, bool keptLine);

    net::Socket m_socket;
    std::optional<CommDcb> m_keptLine;
    StallBudget m_stallBudget;
};

}  // namespace ports
