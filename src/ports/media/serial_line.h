// A serial line on Linux: a termios tty (a UART, a USB adapter, a pseudo-terminal in tests), in
// raw 8N1 without flow control from its open on, taken for this program alone, and left as it
// was found when it closes. What was written leaves at the line's rate: a flush waits for it,
// and a close lets it go in the background, for its wire time and kCloseStallLimit more.
#pragma once

#include <termios.h>

#include <memory>
#include <string>

#include "ports/line_occupancy.h"
#include "ports/medium.h"
#include "ports/stall_budget.h"

namespace ports {

// The modem-status word (kCtsOn, kDsrOn, kRingOn, kCarrierOn) of the kernel's TIOCM_ lines.
std::uint32_t modemStatusWord(int lines);
// The modem-status word of the line behind `fd`.
ErrorCode readModemLines(int fd, std::uint32_t& status);
// The TIOCM_ line an escape function raises (RTS, DTR); 0 for any other function.
int raisedLine(EscapeFunction function);

class SerialLine final : public Medium {
public:
    // Readies the tty open on `fd` (already locked against other programs) and takes it over;
    // `code` tells why it cannot be. Nothing has been written when this refuses a line.
    static std::unique_ptr<SerialLine> take(int fd, std::string deviceKey, ErrorCode& code);

    ErrorCode getState(CommDcb& dcb) override;
    ErrorCode setState(const CommDcb& dcb) override;
    ErrorCode escape(EscapeFunction function) override;
    ErrorCode modemStatus(std::uint32_t& status) override;
    ErrorCode flush() override;
    ErrorCode purge(std::uint32_t flags) override;
    ErrorCode queues(std::uint32_t& errors, CommStat& stat) override;
    ErrorCode write(std::span<const std::uint8_t> bytes, std::uint32_t& written) override;
    ErrorCode read(std::uint8_t& byte) override;
    std::optional<std::chrono::nanoseconds> stillSending() override;
    ErrorCode finishSending(const std::atomic<bool>& stop) override;
    ErrorCode close() override;
    std::string deviceKey() const override { return m_deviceKey; }

private:
    SerialLine(int fd, const termios& foundLine, std::string deviceKey);
    int outputQueued() const;

    int m_fd;
    // The settings as they were found, put back when the port closes.
    termios m_foundLine;
    std::string m_deviceKey;
    StallBudget m_stallBudget;
    // When what was written will have left the line (a pseudo-terminal, or an adapter that
    // buffers, tells nothing of its far end).
    LineOccupancy m_line{9600};
};

}  // namespace ports
