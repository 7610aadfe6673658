// The POSIX backend of the port seam.
#include "ports/backends/posix_port_system.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

#include "ports/dcb_text.h"
#include "ports/naming/network_address.h"
#include "ports/stall_budget.h"
#include "ports/wait_bounds.h"

namespace ports {

namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

constexpr auto kRetryNap = 10ms;  // devices that cannot be polled (the lp driver)

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

ErrorCode errnoCode() {
    return static_cast<ErrorCode>(errno);
}

SteadyClock::duration timeLeft(SteadyClock::time_point end) {
    return std::max(SteadyClock::duration::zero(), end - SteadyClock::now());
}

// Waits up to `limit` for the device to take data. Ttys wake the caller as soon as they can;
// other devices cannot all be polled (the lp driver cannot), so they are tried again after a
// short nap.
void awaitRoom(int fd, bool pollable, SteadyClock::duration limit) {
    if (!pollable) {
        std::this_thread::sleep_for(std::min<SteadyClock::duration>(limit, kRetryNap));
        return;
    }
    pollfd entry{fd, POLLOUT, {}};
    const auto timeout = std::chrono::ceil<std::chrono::milliseconds>(limit).count();
    ::poll(&entry, 1, static_cast<int>(timeout));
}

// Raw 8N1 without flow control at the line's current speed: bytes go out as written, nothing
// is echoed, and a missing carrier neither blocks nor hangs up the line.
void makeRaw(termios& line) {
    ::cfmakeraw(&line);
    line.c_cflag &= ~(CSTOPB | CRTSCTS);
    line.c_cflag |= CLOCAL | CREAD;
    line.c_iflag &= ~(IXON | IXOFF | IXANY);
}

// Takes the freshly opened device for this program alone and readies a tty's line. Nothing
// has been written when this refuses a device.
ErrorCode claimDevice(const PosixDeviceRules& rules, PortKind kind, int fd, bool& isTty,
                      termios& foundLine) {
    // The path may have led elsewhere by the time it was opened: what was opened is judged.
    struct stat node {};
    if (::fstat(fd, &node) != 0)
        return errnoCode();
    if (const ErrorCode code = rules.judge(kind, node); code != kSuccess)
        return code;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return errno == EWOULDBLOCK ? EBUSY : errnoCode();
    // A USB printer serves a serial port too, as a line without settings.
    isTty = kind == PortKind::Serial && ::isatty(fd) != 0;
    if (!isTty)
        return kSuccess;
    if (::tcgetattr(fd, &foundLine) != 0)
        return errnoCode();
    // Root opens a tty that another program holds exclusively; that program still holds it.
    int exclusive = 0;
    if (::ioctl(fd, TIOCGEXCL, &exclusive) != 0)
        return errnoCode();
    if (exclusive != 0)
        return EBUSY;
    // A serial node without a UART behind it opens fine and then fails every call with EIO;
    // refuse it here. USB adapters report an unknown type too, but they answer for their lines.
    serial_struct serial{};
    int lines = 0;
    if (::ioctl(fd, TIOCGSERIAL, &serial) == 0 && serial.type == PORT_UNKNOWN &&
        ::ioctl(fd, TIOCMGET, &lines) != 0 && errno == EIO)
        return ENODEV;
    termios line = foundLine;
    makeRaw(line);
    if (::tcsetattr(fd, TCSANOW, &line) != 0)
        return errnoCode();
    // Last, so that nothing fails once the tty is marked exclusive.
    if (::ioctl(fd, TIOCEXCL) != 0) {
        const ErrorCode code = errnoCode();
        ::tcsetattr(fd, TCSANOW, &foundLine);
        return code;
    }
    return kSuccess;
}

// A host name's addresses, looked up while the limit lasts: a name server that does not answer
// must not hold the window. A lookup that outlives its wait ends on its own and frees its answer.
struct Lookup {
    std::mutex mutex;
    bool abandoned = false;
};
using AddressList = std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)>;

AddressList resolve(const NetworkAddress& address, SteadyClock::time_point end, ErrorCode& code) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
    const std::string service = std::to_string(address.port);
    addrinfo* list = nullptr;
    if (::getaddrinfo(address.host.c_str(), service.c_str(), &hints, &list) == 0)
        return {list, &::freeaddrinfo};
    hints.ai_flags = AI_NUMERICSERV;
    auto lookup = std::make_shared<Lookup>();
    auto answer = std::make_shared<std::promise<addrinfo*>>();
    std::future<addrinfo*> result = answer->get_future();
    std::thread([lookup, answer, hints, host = address.host, service] {
        addrinfo* found = nullptr;
        if (::getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0)
            found = nullptr;
        const std::lock_guard lock(lookup->mutex);
        if (lookup->abandoned) {
            if (found != nullptr)
                ::freeaddrinfo(found);
        } else {
            answer->set_value(found);
        }
    }).detach();
    if (result.wait_for(timeLeft(end)) != std::future_status::ready) {
        const std::lock_guard lock(lookup->mutex);
        if (result.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
            lookup->abandoned = true;
            code = ETIMEDOUT;
            return {nullptr, &::freeaddrinfo};
        }
    }
    list = result.get();
    code = list == nullptr ? EHOSTUNREACH : kSuccess;
    return {list, &::freeaddrinfo};
}

// A connection to a network printer, made within kConnectWaitLimit: its descriptor, or -1 with
// `code` telling why (ECONNREFUSED where nothing listens, ETIMEDOUT where nothing answers).
int connectTo(const NetworkAddress& address, ErrorCode& code) {
    const auto end = SteadyClock::now() + kConnectWaitLimit;
    const AddressList list = resolve(address, end, code);
    for (const addrinfo* a = list.get(); a != nullptr; a = a->ai_next) {
        const int fd = ::socket(a->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            code = errnoCode();
            continue;
        }
        int error = ::connect(fd, a->ai_addr, a->ai_addrlen) == 0 ? 0 : errno;
        if (error == EINPROGRESS) {
            pollfd entry{fd, POLLOUT, {}};
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(timeLeft(end));
            socklen_t size = sizeof error;
            if (::poll(&entry, 1, static_cast<int>(wait.count())) <= 0) {
                error = ETIMEDOUT;
            } else if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) {
                error = errno;
            }
        }
        if (error == 0) {
            // Each status request goes out as it is written, not after the next one.
            const int on = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            code = kSuccess;
            return fd;
        }
        ::close(fd);
        code = static_cast<ErrorCode>(error);
    }
    return -1;
}

// A connection that ended reads and writes as a device that went away.
ErrorCode connectionCode(ErrorCode code) {
    return code == EPIPE || code == ECONNRESET ? EIO : code;
}

// tcdrain without its unbounded wait: watches the output queue shrink, for at most the time
// of one call and while the port's stall budget lasts.
ErrorCode drainOutput(int fd, StallBudget& stallBudget) {
    const auto callEnd = SteadyClock::now() + kCallWaitLimit;
    int queued = 0;
    if (::ioctl(fd, TIOCOUTQ, &queued) != 0)
        return errnoCode();
    while (queued > 0) {
        const auto limit = std::min<SteadyClock::duration>(timeLeft(callEnd), stallBudget.left());
        if (limit <= SteadyClock::duration::zero())
            return ETIMEDOUT;
        const auto start = SteadyClock::now();
        std::this_thread::sleep_for(std::min<SteadyClock::duration>(limit, kRetryNap));
        const int before = queued;
        if (::ioctl(fd, TIOCOUTQ, &queued) != 0)
            return errnoCode();
        if (queued < before) {
            stallBudget.refill();
        } else {
            stallBudget.spend(SteadyClock::now() - start);
        }
    }
    return kSuccess;
}

std::chrono::microseconds steadyNow() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
        SteadyClock::now().time_since_epoch());
}

int outputQueued(int fd) {
    int queued = 0;
    return ::ioctl(fd, TIOCOUTQ, &queued) == 0 ? queued : 0;
}

// Whether a tty still has output on its way: in its queue, or by the count of its line's time
// (a pseudo-terminal, or an adapter that buffers, tells nothing of its far end).
bool stillSending(int fd, std::chrono::microseconds lineFree) {
    return outputQueued(fd) > 0 || steadyNow() < lineFree;
}

// Lets a closing tty's output go out, for the time it takes on the line and kCloseStallLimit
// more for a device that takes nothing; what is left then is dropped. (Closing a tty would
// otherwise wait up to the driver's closing wait, 30 s on a serial port.)
void drainForClose(int fd, std::uint32_t baud, std::chrono::microseconds lineFree) {
    const auto wire = wireTime(static_cast<std::size_t>(outputQueued(fd)), baud);
    const auto end = std::max(steadyNow() + wire, lineFree) + kCloseStallLimit;
    while (stillSending(fd, lineFree) && steadyNow() < end)
        std::this_thread::sleep_for(kRetryNap);
    ::tcflush(fd, TCOFLUSH);
}

// The line is left as it was found, settings and all.
ErrorCode releaseDevice(int fd, bool isTty, const termios& foundLine) {
    if (isTty) {
        ::tcsetattr(fd, TCSANOW, &foundLine);
        // This program set the exclusive mark (it refuses a tty that had one), and the mark
        // would outlive this open on a tty that stays open elsewhere.
        ::ioctl(fd, TIOCNXCL);
    }
    return ::close(fd) == 0 ? kSuccess : errnoCode();
}

std::uint32_t rateOf(const termios& line) {
    const speed_t speed = ::cfgetospeed(&line);
    const auto known = std::find_if(kLineSpeeds.begin(), kLineSpeeds.end(),
                                    [speed](const LineSpeed& s) { return s.speed == speed; });
    return known == kLineSpeeds.end() ? 0 : known->rate;
}

}  // namespace

std::uint32_t modemStatusWord(int lines) {
    return ((lines & TIOCM_CTS) != 0 ? kCtsOn : 0) | ((lines & TIOCM_DSR) != 0 ? kDsrOn : 0) |
           ((lines & TIOCM_RI) != 0 ? kRingOn : 0) | ((lines & TIOCM_CD) != 0 ? kCarrierOn : 0);
}

PosixPortSystem::PosixPortSystem(DeviceMap devices, std::string systemRoot)
    : m_devices(std::move(devices)), m_rules(std::move(systemRoot)) {}

PosixPortSystem::~PosixPortSystem() {
    // What the ports still send goes out, each on its own line at once.
    while (!m_ports.empty())
        closeHandle(m_ports.begin()->first);
}

PosixPortSystem::Port* PosixPortSystem::find(Handle handle) {
    const auto it = m_ports.find(handle);
    return it == m_ports.end() ? nullptr : &it->second;
}

ErrorCode PosixPortSystem::fail(ErrorCode code) {
    m_lastError = code;
    return code;
}

ErrorCode PosixPortSystem::complete(WriteOverlapped* overlapped, ErrorCode code,
                                    std::uint32_t count) {
    m_events.end(overlapped, code, count);
    return code == kSuccess ? kSuccess : fail(code);
}

Handle PosixPortSystem::createFile(const std::string& device, std::uint32_t /*access*/,
                                   std::uint32_t /*shareMode*/, std::uint32_t /*creation*/,
                                   std::uint32_t /*flags*/) {
    const DeviceMap::Entry* entry = m_devices.find(device);
    if (entry == nullptr) {
        fail(ENOENT);
        return kInvalidHandle;
    }
    if (const auto address = parseNetworkAddress(entry->path)) {
        ErrorCode code = kSuccess;
        const int fd = connectTo(*address, code);
        if (fd < 0) {
            fail(code);
            return kInvalidHandle;
        }
        Port port{};
        port.fd = fd;
        port.isSocket = true;
        port.isVirtualLine = entry->kind == PortKind::Serial;
        const Handle handle = m_nextHandle++;
        m_ports.emplace(handle, port);
        return handle;
    }
    // Judged before the open as well: opening some devices does something by itself (the
    // console's line changes, a watchdog starts, a tape rewinds).
    struct stat node {};
    if (::stat(entry->path.c_str(), &node) != 0) {
        fail(errnoCode());
        return kInvalidHandle;
    }
    if (const ErrorCode code = m_rules.judge(entry->kind, node); code != kSuccess) {
        fail(code);
        return kInvalidHandle;
    }
    // The device may still be sending what it was given before its last close here.
    m_closing.await(entry->path);
    // Non-blocking, so that every wait below is one this backend bounds.
    const int fd = ::open(entry->path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        fail(errnoCode());
        return kInvalidHandle;
    }
    Port port{};
    port.fd = fd;
    port.path = entry->path;
    if (const ErrorCode code = claimDevice(m_rules, entry->kind, fd, port.isTty, port.foundLine);
        code != kSuccess) {
        ::close(fd);
        fail(code);
        return kInvalidHandle;
    }
    port.isVirtualLine = entry->kind == PortKind::Serial && !port.isTty;
    if (const std::uint32_t rate = rateOf(port.foundLine); rate != 0)
        port.line.setBaud(rate);
    const Handle handle = m_nextHandle++;
    m_ports.emplace(handle, port);
    return handle;
}

ErrorCode PosixPortSystem::getCommState(Handle handle, CommDcb& dcb) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(EBADF);
    if (port->isVirtualLine) {
        dcb = port->virtualLine;
        return kSuccess;
    }
    termios line{};
    if (::tcgetattr(port->fd, &line) != 0)
        return fail(errnoCode());

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

ErrorCode PosixPortSystem::buildCommDcb(const std::string& settings, CommDcb& dcb) {
    const ErrorCode code = parseDcbText(settings, dcb);
    return code == kSuccess ? kSuccess : fail(code);
}

ErrorCode PosixPortSystem::setCommState(Handle handle, const CommDcb& dcb) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(EBADF);
    if (port->isVirtualLine) {
        port->virtualLine = dcb;
        return kSuccess;
    }
    termios line{};
    if (::tcgetattr(port->fd, &line) != 0)
        return fail(errnoCode());

    // A rate that is no line speed fails rather than becoming B0, which would drop DTR and
    // hang up the line.
    const auto known = std::find_if(kLineSpeeds.begin(), kLineSpeeds.end(),
                                    [&dcb](const LineSpeed& s) { return s.rate == dcb.baudRate; });
    if (known == kLineSpeeds.end())
        return fail(EINVAL);
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
            return fail(EINVAL);
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
        return fail(EINVAL);

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
    if (::tcsetattr(port->fd, TCSANOW, &line) != 0)
        return fail(errnoCode());
    port->line.setBaud(known->rate);
    return kSuccess;
}

ErrorCode PosixPortSystem::escapeCommFunction(Handle handle, EscapeFunction function) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(EBADF);
    int lines = 0;
    switch (function) {
        case EscapeFunction::SetRts:
            lines = TIOCM_RTS;
            break;
        case EscapeFunction::SetDtr:
            lines = TIOCM_DTR;
            break;
        default:
            return fail(EINVAL);
    }
    if (port->isVirtualLine)
        return kSuccess;
    if (::ioctl(port->fd, TIOCMBIS, &lines) != 0)
        return fail(errnoCode());
    return kSuccess;
}

ErrorCode PosixPortSystem::flushFileBuffers(Handle handle) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(EBADF);
    // Other devices take each write whole; only a tty keeps a queue to wait for.
    if (!port->isTty)
        return kSuccess;

    const ErrorCode code = drainOutput(port->fd, port->stallBudget);
    return code == kSuccess ? kSuccess : fail(code);
}

ErrorCode PosixPortSystem::purgeComm(Handle handle, std::uint32_t flags) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(EBADF);
    if (port->isVirtualLine && (flags & kPurgeRxClear) != 0) {
        // What came and was not read: a late reply must not pass for the next one.
        std::array<std::uint8_t, 256> unread{};
        for (int i = 0; i < 64 && ::read(port->fd, unread.data(), unread.size()) > 0; ++i) {
        }
    }
    if (!port->isTty)
        return kSuccess;
    if ((flags & kPurgeTxClear) != 0 && ::tcflush(port->fd, TCOFLUSH) != 0)
        return fail(errnoCode());
    if ((flags & kPurgeRxClear) != 0 && ::tcflush(port->fd, TCIFLUSH) != 0)
        return fail(errnoCode());
    return kSuccess;
}

ErrorCode PosixPortSystem::clearCommError(Handle handle, std::uint32_t& errors, CommStat& stat) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(EBADF);
    // The kernel keeps no line errors to clear: the raw line passes bad bytes on as they came.
    errors = 0;
    stat = {};
    if (port->isVirtualLine || port->isSocket) {
        // What has come, as far as the device tells; a closed connection reads as something
        // come, so that the read finds the end.
        pollfd entry{port->fd, POLLIN, {}};
        int in = 0;
        if (::poll(&entry, 1, 0) > 0 && (entry.revents & (POLLIN | POLLHUP | POLLERR)) != 0 &&
            (::ioctl(port->fd, FIONREAD, &in) != 0 || in <= 0))
            in = 1;
        int out = 0;
        if (port->isSocket && ::ioctl(port->fd, TIOCOUTQ, &out) != 0)
            out = 0;
        stat = {static_cast<std::uint32_t>(in), static_cast<std::uint32_t>(out)};
        return kSuccess;
    }
    if (!port->isTty)
        return kSuccess;
    int in = 0;
    int out = 0;
    if (::ioctl(port->fd, TIOCINQ, &in) != 0 || ::ioctl(port->fd, TIOCOUTQ, &out) != 0)
        return fail(errnoCode());
    stat = {static_cast<std::uint32_t>(in), static_cast<std::uint32_t>(out)};
    return kSuccess;
}

ErrorCode PosixPortSystem::setupComm(Handle handle, std::uint32_t /*inQueue*/,
                                     std::uint32_t /*outQueue*/) {
    // The kernel sizes its own queues.
    return find(handle) == nullptr ? fail(EBADF) : kSuccess;
}

ErrorCode PosixPortSystem::getCommTimeouts(Handle handle, CommTimeoutsRec& timeouts) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(EBADF);
    timeouts = port->timeouts;
    return kSuccess;
}

ErrorCode PosixPortSystem::setCommTimeouts(Handle handle, const CommTimeoutsRec& timeouts) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(EBADF);
    port->timeouts = timeouts;
    return kSuccess;
}

EventHandle PosixPortSystem::createEvent(bool manualReset, bool initialState,
                                         const char* /*name*/) {
    return m_events.create(manualReset, initialState);
}

ErrorCode PosixPortSystem::closeEvent(EventHandle event) {
    return m_events.close(event) ? kSuccess : fail(EBADF);
}

ErrorCode PosixPortSystem::waitForSingleObject(EventHandle event, std::uint32_t timeoutMs) {
    const EventTable::Found found = m_events.take(event);
    if (found == EventTable::Found::NoSuchEvent)
        return fail(EBADF);
    if (found == EventTable::Found::Signalled)
        return kSuccess;
    // Reads and writes end before they return, so nothing can signal the event now; the caller
    // still gets its time-out, bounded like every other wait.
    std::this_thread::sleep_for(
        std::min<SteadyClock::duration>(std::chrono::milliseconds(timeoutMs), kEventWaitLimit));
    return fail(ETIMEDOUT);
}

ErrorCode PosixPortSystem::writeFile(Handle handle, std::span<const std::uint8_t> bytes,
                                     std::uint32_t& written, WriteOverlapped* overlapped) {
    written = 0;
    Port* port = find(handle);
    if (port == nullptr)
        return complete(overlapped, EBADF, 0);

    const auto callEnd = SteadyClock::now() + kCallWaitLimit;
    std::size_t done = 0;
    ErrorCode code = kSuccess;
    while (done < bytes.size() && code == kSuccess) {
        const ssize_t n =
            port->isSocket
                ? ::send(port->fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL)
                : ::write(port->fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            port->stallBudget.refill();
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            code = connectionCode(errnoCode());
        } else {
            // The device takes nothing just now. Waiting spends this call's time and the port's
            // budget; once that is gone, writes fail at once until the device takes data again.
            const auto limit =
                std::min<SteadyClock::duration>(timeLeft(callEnd), port->stallBudget.left());
            if (limit <= SteadyClock::duration::zero()) {
                code = ETIMEDOUT;
            } else {
                const auto start = SteadyClock::now();
                awaitRoom(port->fd, port->isTty || port->isSocket, limit);
                port->stallBudget.spend(SteadyClock::now() - start);
            }
        }
    }
    written = static_cast<std::uint32_t>(done);
    port->line.wrote(done, steadyNow());
    return complete(overlapped, code, written);
}

ErrorCode PosixPortSystem::readFile(Handle handle, std::uint8_t& byte, std::uint32_t& read,
                                    WriteOverlapped* overlapped) {
    read = 0;
    Port* port = find(handle);
    if (port == nullptr)
        return complete(overlapped, EBADF, 0);

    std::uint8_t value = 0;
    const ssize_t n = ::read(port->fd, &value, 1);
    if (n == 1) {
        byte = value;
        read = 1;
        return complete(overlapped, kSuccess, 1);
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR)
        return complete(overlapped, connectionCode(errnoCode()), 0);
    // A connection that the printer closed reads as its end.
    if (n == 0 && port->isSocket)
        return complete(overlapped, EIO, 0);
    // Nothing has come. A tty whose far end hung up reads as end of file and polls as hung up.
    pollfd entry{port->fd, POLLIN, {}};
    if (::poll(&entry, 1, 0) > 0 && (entry.revents & (POLLHUP | POLLERR)) != 0)
        return complete(overlapped, EIO, 0);
    return complete(overlapped, ETIMEDOUT, 0);
}

ErrorCode PosixPortSystem::getOverlappedResult(Handle handle, WriteOverlapped& overlapped,
                                               std::uint32_t& transferred, bool /*wait*/) {
    // Reads and writes have ended by the time they return: there is never anything to wait for.
    if (find(handle) == nullptr)
        return fail(EBADF);
    transferred = overlapped.internalHigh;
    return overlapped.internal == kSuccess ? kSuccess : fail(overlapped.internal);
}

ErrorCode PosixPortSystem::getCommModemStatus(Handle handle, std::uint32_t& status) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(EBADF);
    // A USB or network printer has no modem lines: the interface screens need a real line.
    if (port->isVirtualLine)
        return fail(ENOTTY);
    int lines = 0;
    if (::ioctl(port->fd, TIOCMGET, &lines) != 0)
        return fail(errnoCode());
    status = modemStatusWord(lines);
    return kSuccess;
}

ErrorCode PosixPortSystem::closeHandle(Handle handle) {
    const auto it = m_ports.find(handle);
    if (it == m_ports.end())
        return fail(EBADF);
    const Port port = it->second;
    m_ports.erase(it);
    // A line still sending is let go in the background: the window goes on at once.
    if (port.isTty && stillSending(port.fd, port.line.freeAt())) {
        m_closing.start(port.path, [port] {
            drainForClose(port.fd, port.line.baud(), port.line.freeAt());
            releaseDevice(port.fd, port.isTty, port.foundLine);
        });
        return kSuccess;
    }
    const ErrorCode code = releaseDevice(port.fd, port.isTty, port.foundLine);
    return code == kSuccess ? kSuccess : fail(code);
}

}  // namespace ports
