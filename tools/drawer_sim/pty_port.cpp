#include "pty_port.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace drawersim {

namespace {

struct LineSpeed {
    speed_t speed;
    int rate;
};
constexpr std::array<LineSpeed, 13> kSpeeds{{{B0, 0},
                                             {B110, 110},
                                             {B300, 300},
                                             {B600, 600},
                                             {B1200, 1200},
                                             {B2400, 2400},
                                             {B4800, 4800},
                                             {B9600, 9600},
                                             {B19200, 19200},
                                             {B38400, 38400},
                                             {B57600, 57600},
                                             {B115200, 115200},
                                             {B230400, 230400}}};

}  // namespace

PtyPort::~PtyPort() {
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
}

bool PtyPort::open(std::string& error) {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    m_path = ::ptsname(m_master);
    m_slave = ::open(m_path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_slave < 0) {
        error = "cannot open " + m_path + ": " + std::strerror(errno);
        return false;
    }
    // Raw until the program sets the line up: no echo of replies, no newline translation.
    termios line{};
    ::tcgetattr(m_slave, &line);
    ::cfmakeraw(&line);
    ::tcsetattr(m_slave, TCSANOW, &line);
    return true;
}

std::size_t PtyPort::read(std::span<std::uint8_t> buffer) {
    const ssize_t n = ::read(m_master, buffer.data(), buffer.size());
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

bool PtyPort::write(std::uint8_t byte) {
    return ::write(m_master, &byte, 1) == 1;
}

sim::LineSettings PtyPort::settings() const {
    sim::LineSettings settings;
    termios line{};
    if (::tcgetattr(m_slave, &line) != 0)
        return settings;
    const speed_t speed = ::cfgetospeed(&line);
    settings.baud = 0;
    for (const LineSpeed& known : kSpeeds) {
        if (known.speed == speed)
            settings.baud = static_cast<std::uint32_t>(known.rate);
    }
    switch (line.c_cflag & CSIZE) {
        case CS5:
            settings.dataBits = 5;
            break;
        case CS6:
            settings.dataBits = 6;
            break;
        case CS7:
            settings.dataBits = 7;
            break;
        default:
            break;
    }
    if ((line.c_cflag & PARENB) != 0) {
        const bool odd = (line.c_cflag & PARODD) != 0;
        if ((line.c_cflag & CMSPAR) != 0) {
            settings.parity = odd ? 'M' : 'S';
        } else {
            settings.parity = odd ? 'O' : 'E';
        }
    }
    settings.stopBits = (line.c_cflag & CSTOPB) != 0 ? 2 : 1;
    return settings;
}

bool PtyPort::heldByProgram() const {
    int exclusive = 0;
    return ::ioctl(m_slave, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
}

}  // namespace drawersim
