// The printer device or FIFO.
#include "ports/media/printer_device.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <fstream>
#include <iterator>

#include "ports/media/posix_io.h"
#include "ports/media/serial_line.h"

namespace ports {

using posix::errnoCode;

int PrinterDevice::openNode(const std::string& path, bool isFifo, ErrorCode& code) {
    // Non-blocking, so that every wait is one this program bounds; a FIFO for writing alone,
    // which fails with ENXIO while nobody reads it.
    const int access = isFifo ? O_WRONLY : O_RDWR;
    const int fd = ::open(path.c_str(), access | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    code = fd < 0 ? errnoCode() : kSuccess;
    return fd;
}

std::string deviceIdOf(std::span<const std::uint8_t> answer) {
    if (answer.size() < 2)
        return {};
    const std::size_t length = (std::size_t{answer[0]} << 8) | answer[1];
    if (length < 2 || length > answer.size())
        return {};
    return std::string(answer.begin() + 2, answer.begin() + static_cast<long>(length));
}

PrinterDevice::PrinterDevice(int fd, bool isFifo, bool keptLine, std::string deviceKey,
                             PrinterIdSource idSource)
    : m_fd(fd),
      m_isFifo(isFifo),
      m_deviceKey(std::move(deviceKey)),
      m_idSource(std::move(idSource)) {
    if (keptLine)
        m_keptLine.emplace();
}

ErrorCode PrinterDevice::deviceId(std::string& id) {
    if (m_idSource.usbPrinter) {
        // LPIOC_GET_DEVICE_ID(len): the ID the usblp driver read from the printer.
        constexpr std::size_t kLength = 1024;
        std::array<std::uint8_t, kLength> answer{};
        if (::ioctl(m_fd, _IOC(_IOC_READ, 'P', 1, kLength), answer.data()) != 0)
            return errnoCode();
        std::string text = deviceIdOf(answer);
        if (text.empty())
            return ENODATA;
        id = std::move(text);
        return kSuccess;
    }
    if (m_idSource.probeFile.empty())
        return kNoDeviceId;
    std::ifstream probe(m_idSource.probeFile);
    std::string text((std::istreambuf_iterator<char>(probe)), std::istreambuf_iterator<char>());
    if (text.empty())
        return ENODATA;
    id = std::move(text);
    return kSuccess;
}

ErrorCode PrinterDevice::getState(CommDcb& dcb) {
    if (m_keptLine) {
        dcb = *m_keptLine;
        return kSuccess;
    }
    // The driver answers for a line it does not have.
    termios line{};
    return ::tcgetattr(m_fd, &line) != 0 ? errnoCode() : ENOTTY;
}

ErrorCode PrinterDevice::setState(const CommDcb& dcb) {
    if (m_keptLine) {
        *m_keptLine = dcb;
        return kSuccess;
    }
    termios line{};
    return ::tcgetattr(m_fd, &line) != 0 ? errnoCode() : ENOTTY;
}

ErrorCode PrinterDevice::escape(EscapeFunction function) {
    int lines = raisedLine(function);
    if (lines == 0)
        return EINVAL;
    if (m_keptLine)
        return kSuccess;
    return ::ioctl(m_fd, TIOCMBIS, &lines) == 0 ? kSuccess : errnoCode();
}

ErrorCode PrinterDevice::modemStatus(std::uint32_t& status) {
    // A printer has no modem lines: the interface screens need a real line.
    if (m_keptLine)
        return ENOTTY;
    return readModemLines(m_fd, status);
}

ErrorCode PrinterDevice::purge(std::uint32_t flags) {
    if (m_keptLine && (flags & kPurgeRxClear) != 0) {
        // What came and was not read: a late reply must not pass for the next one.
        std::array<std::uint8_t, 256> unread{};
        for (int i = 0; i < 64 && ::read(m_fd, unread.data(), unread.size()) > 0; ++i) {
        }
    }
    return kSuccess;
}

ErrorCode PrinterDevice::queues(std::uint32_t& errors, CommStat& stat) {
    errors = 0;
    stat = {};
    if (!m_keptLine)
        return kSuccess;
    // What has come, as far as the device tells; a device gone reads as something come, so
    // that the read finds the end.
    pollfd entry{m_fd, POLLIN, {}};
    int in = 0;
    if (::poll(&entry, 1, 0) > 0 && (entry.revents & (POLLIN | POLLHUP | POLLERR)) != 0 &&
        (::ioctl(m_fd, FIONREAD, &in) != 0 || in <= 0))
        in = 1;
    stat.inQueue = static_cast<std::uint32_t>(in);
    return kSuccess;
}

ErrorCode PrinterDevice::write(std::span<const std::uint8_t> bytes, std::uint32_t& written) {
    return posix::writeWithin(m_fd, bytes, written, m_stallBudget, StallBudget::Duration::zero(),
                              false);
}

ErrorCode PrinterDevice::read(std::uint8_t& byte) {
    // Nothing comes back through a FIFO.
    return m_isFifo ? kTimedOut : posix::readOne(m_fd, byte);
}

ErrorCode PrinterDevice::close() {
    return ::close(m_fd) == 0 ? kSuccess : errnoCode();
}

}  // namespace ports
