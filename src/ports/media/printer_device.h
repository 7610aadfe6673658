// A printer device on Linux: a parallel port's printer (/dev/lpN), a USB printer
// (/dev/usb/lpN), or a FIFO that a program reads as a printer would. Each takes a write whole or
// as far as it has room, keeps no queue of its own to wait for, and has no line: as a parallel
// port its line calls are the driver's to answer; as a serial port (a USB printer behind a serial
// printer screen) it is a line without settings, which keeps what is set and has no modem lines.
// A FIFO is opened for writing alone, so that one nobody reads is refused (ENXIO) rather than
// taking a page that goes nowhere.
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>

#include "ports/medium.h"
#include "ports/stall_budget.h"

namespace ports {

// The device ID in what a USB printer's driver answers for it: two bytes of length (big end
// first, themselves included), then the text; empty when the length does not fit.
std::string deviceIdOf(std::span<const std::uint8_t> answer);

// Where a printer's device ID is read: a USB printer's driver, or the file in which the kernel
// keeps what its probe of a parallel port read; neither for a FIFO.
struct PrinterIdSource {
    bool usbPrinter = false;
    std::string probeFile;
};

class PrinterDevice final : public Medium {
public:
    // Opens the node at `path` for a parallel port, or for a serial one (`keptLine`); `code`
    // tells why it cannot be.
    static int openNode(const std::string& path, bool isFifo, ErrorCode& code);
    PrinterDevice(int fd, bool isFifo, bool keptLine, std::string deviceKey,
                  PrinterIdSource idSource = {});

    ErrorCode getState(CommDcb& dcb) override;
    ErrorCode setState(const CommDcb& dcb) override;
    ErrorCode escape(EscapeFunction function) override;
    ErrorCode modemStatus(std::uint32_t& status) override;
    ErrorCode deviceId(std::string& id) override;
    ErrorCode flush() override { return kSuccess; }
    ErrorCode purge(std::uint32_t flags) override;
    ErrorCode queues(std::uint32_t& errors, CommStat& stat) override;
    ErrorCode write(std::span<const std::uint8_t> bytes, std::uint32_t& written) override;
    ErrorCode read(std::uint8_t& byte) override;
    ErrorCode close() override;
    std::string deviceKey() const override { return m_deviceKey; }

private:
    int m_fd;
    bool m_isFifo;
    // The settings of a serial port's line without settings; none on a parallel port.
    std::optional<CommDcb> m_keptLine;
    std::string m_deviceKey;
    PrinterIdSource m_idSource;
    StallBudget m_stallBudget;
};

}  // namespace ports
