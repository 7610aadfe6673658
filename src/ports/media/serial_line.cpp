// The termios serial line.
#include "ports/media/serial_line.h"

#include <linux/serial.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>

#include "ports/device_wait.h"
#include "ports/media/posix_io.h"
#include "ports/wait_bounds.h"

namespace ports {

namespace {

using posix::errnoCode;
using posix::steadyNow;

struct LineSpeed {
    std::uint32_t rate;
    speed_t speed;
};
constexpr std::array<LineSpeed, 11> kLineSpeeds{{
    {110, B110},
    {300, B300},
    {600, B600},
    {1200, B1200},
    {2400, B2400},
    {4800, B4800},
    {9600, B9600},
    {19200, B19200},
    {38400, B38400},
    {57600, B57600},
    {115200, B115200},
}};

std::uint32_t rateOf(const termios& line) {
    const speed_t speed = ::cfgetospeed(&line);
    const auto known = std::find_if(kLineSpeeds.begin(), kLineSpeeds.end(),
                                    [speed](const LineSpeed& s) { return s.speed == speed; });
    return known == kLineSpeeds.end() ? 0 : known->rate;
}

// Raw 8N1 without flow control at the line's current speed: bytes go out as written, nothing
// is echoed, and a missing carrier neither blocks nor hangs up the line.
void makeRaw(termios& line) {
    ::cfmakeraw(&line);
    line.c_cflag &= ~(CSTOPB | CRTSCTS);
    line.c_cflag |= CLOCAL | CREAD;
    line.c_iflag &= ~(IXON | IXOFF | IXANY);
}

std::chrono::microseconds steadyMicros() {
    return std::chrono::duration_cast<std::chrono::microseconds>(steadyNow());
}

}  // namespace

std::uint32_t modemStatusWord(int lines) {
    return ((lines & TIOCM_CTS) != 0 ? kCtsOn : 0) | ((lines & TIOCM_DSR) != 0 ? kDsrOn : 0) |
           ((lines & TIOCM_RI) != 0 ? kRingOn : 0) | ((lines & TIOCM_CD) != 0 ? kCarrierOn : 0);
}

ErrorCode readModemLines(int fd, std::uint32_t& status) {
    int lines = 0;
    if (::ioctl(fd, TIOCMGET, &lines) != 0)
        return errnoCode();
    status = modemStatusWord(lines);
    return kSuccess;
}

int raisedLine(EscapeFunction function) {
    switch (function) {
        case EscapeFunction::SetRts:
            return TIOCM_RTS;
        case EscapeFunction::SetDtr:
            return TIOCM_DTR;
        default:
            return 0;
    }
}

SerialLine::SerialLine(int fd, const termios& foundLine, std::string deviceKey)
    : m_fd(fd), m_foundLine(foundLine), m_deviceKey(std::move(deviceKey)) {
    if (const std::uint32_t rate = rateOf(foundLine); rate != 0)
        m_line.setBaud(rate);
}

std::unique_ptr<SerialLine> SerialLine::take(int fd, std::string deviceKey, ErrorCode& code) {
    termios found{};
    if (::tcgetattr(fd, &found) != 0) {
        code = errnoCode();
        return nullptr;
    }
    // Root opens a tty that another program holds exclusively; that program still holds it.
    int exclusive = 0;
    if (::ioctl(fd, TIOCGEXCL, &exclusive) != 0) {
        code = errnoCode();
        return nullptr;
    }
    if (exclusive != 0) {
        code = EBUSY;
        return nullptr;
    }
    // A serial node without a UART behind it opens fine and then fails every call with EIO;
    // refuse it here. USB adapters report an unknown type too, but they answer for their lines.
    serial_struct serial{};
    int lines = 0;
    if (::ioctl(fd, TIOCGSERIAL, &serial) == 0 && serial.type == PORT_UNKNOWN &&
        ::ioctl(fd, TIOCMGET, &lines) != 0 && errno == EIO) {
        code = ENODEV;
        return nullptr;
    }
    termios line = found;
    makeRaw(line);
    if (::tcsetattr(fd, TCSANOW, &line) != 0) {
        code = errnoCode();
        return nullptr;
    }
    // Last, so that nothing fails once the tty is marked exclusive.
    if (::ioctl(fd, TIOCEXCL) != 0) {
        code = errnoCode();
        ::tcsetattr(fd, TCSANOW, &found);
        return nullptr;
    }
    code = kSuccess;
    return std::unique_ptr<SerialLine>(new SerialLine(fd, found, std::move(deviceKey)));
}

ErrorCode SerialLine::getState(CommDcb& dcb) {
    termios line{};
    if (::tcgetattr(m_fd, &line) != 0)
        return errnoCode();

    dcb.baudRate = rateOf(line);
    switch (line.c_cflag & CSIZE) {
        case CS5:
            dcb.byteSize = 5;
            break;
        case CS6:
            dcb.byteSize = 6;
            break;
        case CS7:
            dcb.byteSize = 7;
            break;
        default:
            dcb.byteSize = 8;
            break;
    }
    const bool odd = (line.c_cflag & PARODD) != 0;
    if ((line.c_cflag & PARENB) == 0) {
        dcb.parity = Parity::None;
    } else if ((line.c_cflag & CMSPAR) != 0) {
        dcb.parity = odd ? Parity::Mark : Parity::Space;
    } else {
        dcb.parity = odd ? Parity::Odd : Parity::Even;
    }
    dcb.stopBits = (line.c_cflag & CSTOPB) != 0 ? StopBits::Two : StopBits::One;
    dcb.outxCtsFlow = (line.c_cflag & CRTSCTS) != 0;
    dcb.outxDsrFlow = false;
    dcb.outX = (line.c_iflag & IXON) != 0;
    dcb.inX = (line.c_iflag & IXOFF) != 0;
    return kSuccess;
}

ErrorCode SerialLine::setState(const CommDcb& dcb) {
    termios line{};
    if (::tcgetattr(m_fd, &line) != 0)
        return errnoCode();

    // A rate that is no line speed fails rather than becoming B0, which would drop DTR and
    // hang up the line.
    const auto known = std::find_if(kLineSpeeds.begin(), kLineSpeeds.end(),
                                    [&dcb](const LineSpeed& s) { return s.rate == dcb.baudRate; });
    if (known == kLineSpeeds.end())
        return EINVAL;
    tcflag_t size = CS8;
    switch (dcb.byteSize) {
        case 5:
            size = CS5;
            break;
        case 6:
            size = CS6;
            break;
        case 7:
            size = CS7;
            break;
        case 8:
            size = CS8;
            break;
        default:
            return EINVAL;
    }
    tcflag_t parity = 0;
    switch (dcb.parity) {
        case Parity::None:
            break;
        case Parity::Odd:
            parity = PARENB | PARODD;
            break;
        case Parity::Even:
            parity = PARENB;
            break;
        case Parity::Mark:
            parity = PARENB | CMSPAR | PARODD;
            break;
        case Parity::Space:
            parity = PARENB | CMSPAR;
            break;
    }
    // termios knows neither one and a half stop bits nor DSR flow control.
    if (dcb.stopBits == StopBits::OneAndHalf || dcb.outxDsrFlow)
        return EINVAL;

    makeRaw(line);
    line.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR);
    line.c_cflag |= size | parity;
    if (dcb.stopBits == StopBits::Two)
        line.c_cflag |= CSTOPB;
    if (dcb.outxCtsFlow)
        line.c_cflag |= CRTSCTS;
    if (dcb.outX)
        line.c_iflag |= IXON;
    if (dcb.inX)
        line.c_iflag |= IXOFF;
    ::cfsetispeed(&line, known->speed);
    ::cfsetospeed(&line, known->speed);
    if (::tcsetattr(m_fd, TCSANOW, &line) != 0)
        return errnoCode();
    m_line.setBaud(known->rate);
    return kSuccess;
}

ErrorCode SerialLine::escape(EscapeFunction function) {
    int lines = raisedLine(function);
    if (lines == 0)
        return EINVAL;
    return ::ioctl(m_fd, TIOCMBIS, &lines) == 0 ? kSuccess : errnoCode();
}

ErrorCode SerialLine::modemStatus(std::uint32_t& status) {
    return readModemLines(m_fd, status);
}

// tcdrain without its unbounded wait: watches the output queue shrink.
ErrorCode SerialLine::flush() {
    int queued = 0;
    if (::ioctl(m_fd, TIOCOUTQ, &queued) != 0)
        return errnoCode();
    return waitOnDevice(
        m_stallBudget, wireTime(1, m_line.baud()), steadyNow,
        [&](std::size_t& taken) {
            const int before = queued;
            if (::ioctl(m_fd, TIOCOUTQ, &queued) != 0)
                return errnoCode();
            taken = static_cast<std::size_t>(std::max(0, before - queued));
            return kSuccess;
        },
        [&] { return queued <= 0; }, posix::nap);
}

ErrorCode SerialLine::purge(std::uint32_t flags) {
    if ((flags & kPurgeTxClear) != 0 && ::tcflush(m_fd, TCOFLUSH) != 0)
        return errnoCode();
    if ((flags & kPurgeRxClear) != 0 && ::tcflush(m_fd, TCIFLUSH) != 0)
        return errnoCode();
    return kSuccess;
}

ErrorCode SerialLine::queues(std::uint32_t& errors, CommStat& stat) {
    // The kernel keeps no line errors to clear: the raw line passes bad bytes on as they came.
    errors = 0;
    stat = {};
    int in = 0;
    int out = 0;
    if (::ioctl(m_fd, TIOCINQ, &in) != 0 || ::ioctl(m_fd, TIOCOUTQ, &out) != 0)
        return errnoCode();
    stat = {static_cast<std::uint32_t>(in), static_cast<std::uint32_t>(out)};
    return kSuccess;
}

ErrorCode SerialLine::write(std::span<const std::uint8_t> bytes, std::uint32_t& written) {
    const ErrorCode code =
        posix::writeWithin(m_fd, bytes, written, m_stallBudget, wireTime(1, m_line.baud()), true);
    m_line.wrote(written, steadyMicros());
    return code;
}

ErrorCode SerialLine::read(std::uint8_t& byte) {
    return posix::readOne(m_fd, byte);
}

int SerialLine::outputQueued() const {
    int queued = 0;
    return ::ioctl(m_fd, TIOCOUTQ, &queued) == 0 ? queued : 0;
}

std::optional<std::chrono::nanoseconds> SerialLine::stillSending() {
    const auto now = steadyMicros();
    const int queued = outputQueued();
    if (queued <= 0 && now >= m_line.freeAt())
        return std::nullopt;
    return std::max<std::chrono::nanoseconds>(
        wireTime(static_cast<std::size_t>(queued), m_line.baud()), m_line.freeAt() - now);
}

// Lets the output go out, for the time it takes on the line and kCloseStallLimit more for a
// device that takes nothing; what is left then is dropped. (Closing a tty would otherwise wait
// up to the driver's closing wait, 30 s on a serial port.)
ErrorCode SerialLine::finishSending(const std::atomic<bool>& stop) {
    const auto end =
        steadyNow() + stillSending().value_or(std::chrono::nanoseconds(0)) + kCloseStallLimit;
    while (!stop && stillSending() && steadyNow() < end)
        posix::nap(end - steadyNow());
    const bool sent = !stillSending();
    ::tcflush(m_fd, TCOFLUSH);
    return sent ? kSuccess : kTimedOut;
}

ErrorCode SerialLine::close() {
    // The line is left as it was found, settings and all.
    ::tcsetattr(m_fd, TCSANOW, &m_foundLine);
    // This program set the exclusive mark (it refuses a tty that had one), and the mark would
    // outlive this open on a tty that stays open elsewhere.
    ::ioctl(m_fd, TIOCNXCL);
    return ::close(m_fd) == 0 ? kSuccess : errnoCode();
}

}  // namespace ports
