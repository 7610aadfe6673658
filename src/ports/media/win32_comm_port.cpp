// The kernel32 port.
#include "ports/media/win32_comm_port.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <cctype>

#include "ports/wait_bounds.h"

namespace ports {

static_assert(kTimedOut == ERROR_TIMEOUT);

namespace {

using SteadyClock = std::chrono::steady_clock;

StallBudget::Duration steadyNow() {
    return SteadyClock::now().time_since_epoch();
}

// The write time-out that spends at most the rest of the stall budget (1 s at most). Never 0: a
// zero write time-out means none at all.
std::uint32_t writeLimitFor(const StallBudget& stallBudget) {
    const auto limit = std::chrono::ceil<std::chrono::milliseconds>(stallBudget.left(steadyNow()));
    return static_cast<std::uint32_t>(std::max<std::chrono::milliseconds::rep>(limit.count(), 1));
}

ErrorCode lastOsError() {
    return static_cast<ErrorCode>(::GetLastError());
}

CommDcb fromNative(const DCB& native) {
    CommDcb dcb;
    dcb.baudRate = native.BaudRate;
    dcb.byteSize = native.ByteSize;
    dcb.parity = native.Parity <= SPACEPARITY ? static_cast<Parity>(native.Parity) : Parity::None;
    dcb.stopBits =
        native.StopBits <= TWOSTOPBITS ? static_cast<StopBits>(native.StopBits) : StopBits::One;
    dcb.outxCtsFlow = native.fOutxCtsFlow != 0;
    dcb.outxDsrFlow = native.fOutxDsrFlow != 0;
    dcb.outX = native.fOutX != 0;
    dcb.inX = native.fInX != 0;
    return dcb;
}

CommTimeoutsRec fromNative(const COMMTIMEOUTS& native) {
    return {native.ReadIntervalTimeout, native.ReadTotalTimeoutMultiplier,
            native.ReadTotalTimeoutConstant, native.WriteTotalTimeoutMultiplier,
            native.WriteTotalTimeoutConstant};
}

// Lays the program's block over the port's own, which keeps what the program does not name.
// Flow control the program did not ask for is switched off, and so is aborting every transfer
// after a line error, which would fail every later poll until someone cleared it.
void overlayDcb(const CommDcb& dcb, DCB& native) {
    native.BaudRate = dcb.baudRate;
    native.ByteSize = dcb.byteSize;
    native.Parity = static_cast<BYTE>(dcb.parity);
    native.StopBits = static_cast<BYTE>(dcb.stopBits);
    native.fBinary = TRUE;
    native.fParity = dcb.parity != Parity::None;
    native.fOutxCtsFlow = dcb.outxCtsFlow;
    native.fOutxDsrFlow = dcb.outxDsrFlow;
    native.fOutX = dcb.outX;
    native.fInX = dcb.inX;
    if (native.fDtrControl == DTR_CONTROL_HANDSHAKE)
        native.fDtrControl = DTR_CONTROL_ENABLE;
    if (native.fRtsControl == RTS_CONTROL_HANDSHAKE || native.fRtsControl == RTS_CONTROL_TOGGLE)
        native.fRtsControl = RTS_CONTROL_ENABLE;
    native.fDsrSensitivity = FALSE;
    native.fAbortOnError = FALSE;
    native.fNull = FALSE;
    native.fErrorChar = FALSE;
}

}  // namespace

struct Win32CommPort::FoundLine {
    std::optional<DCB> settings;
    std::optional<COMMTIMEOUTS> timeouts;
};

ErrorCode Win32CommPort::buildDcb(const std::string& settings, CommDcb& dcb) {
    DCB native{};
    native.DCBlength = sizeof native;
    overlayDcb(dcb, native);
    if (!::BuildCommDCBA(settings.c_str(), &native))
        return lastOsError();
    dcb = fromNative(native);
    return kSuccess;
}

std::string Win32CommPort::keyOf(const std::string& path) {
    std::string key = path.starts_with("\\\\.\\") ? path.substr(4) : path;
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return key;
}

std::unique_ptr<Win32CommPort> Win32CommPort::open(const std::string& path, PortKind kind,
                                                   std::uint32_t access, std::uint32_t shareMode,
                                                   std::uint32_t creation, std::uint32_t flags,
                                                   ErrorCode& code) {
    const HANDLE native = ::CreateFileA(path.c_str(), access, shareMode, nullptr, creation,
                                        flags & ~DWORD{FILE_FLAG_OVERLAPPED}, nullptr);
    if (native == INVALID_HANDLE_VALUE) {
        code = lastOsError();
        return nullptr;
    }
    // A file, a pipe or a disk would take the test page without complaint; a serial port
    // answers for its line.
    auto found = std::make_shared<FoundLine>();
    DCB settings{};
    settings.DCBlength = sizeof settings;
    code = kSuccess;
    if (::GetFileType(native) != FILE_TYPE_CHAR) {
        code = ERROR_BAD_DEVICE;
    } else if (kind == PortKind::Serial) {
        if (::GetCommState(native, &settings)) {
            found->settings = settings;
        } else {
            code = lastOsError();
        }
    }
    if (code != kSuccess) {
        ::CloseHandle(native);
        return nullptr;
    }
    COMMTIMEOUTS before{};
    CommTimeoutsRec timeouts;
    if (::GetCommTimeouts(native, &before)) {
        timeouts = fromNative(before);
        found->timeouts = before;
    }
    std::unique_ptr<Win32CommPort> port(new Win32CommPort(native, std::move(found), keyOf(path)));
    port->m_timeouts = timeouts;
    port->m_boundsRefused = port->applyBounds(writeLimitFor(port->m_stallBudget));
    return port;
}

Win32CommPort::Win32CommPort(NativeHandle native, std::shared_ptr<const FoundLine> found,
                             std::string key)
    : m_native(native), m_found(std::move(found)), m_deviceKey(std::move(key)) {}

Win32CommPort::~Win32CommPort() = default;

ErrorCode Win32CommPort::applyBounds(std::uint32_t writeLimitMs) {
    // Reads return at once with what has come; writes end after their limit, with what went
    // out.
    COMMTIMEOUTS bounds{};
    bounds.ReadIntervalTimeout = MAXDWORD;
    bounds.WriteTotalTimeoutConstant = writeLimitMs;
    if (!::SetCommTimeouts(m_native, &bounds))
        return lastOsError();
    m_writeLimitMs = writeLimitMs;
    return kSuccess;
}

ErrorCode Win32CommPort::getState(CommDcb& dcb) {
    DCB native{};
    native.DCBlength = sizeof native;
    if (!::GetCommState(m_native, &native))
        return lastOsError();
    dcb = fromNative(native);
    return kSuccess;
}

ErrorCode Win32CommPort::setState(const CommDcb& dcb) {
    // A rate of 0 is no line speed; some drivers take it as the hang-up rate and drop the line.
    if (dcb.baudRate == 0)
        return ERROR_INVALID_PARAMETER;
    DCB native{};
    native.DCBlength = sizeof native;
    if (!::GetCommState(m_native, &native))
        return lastOsError();
    overlayDcb(dcb, native);
    return ::SetCommState(m_native, &native) ? kSuccess : lastOsError();
}

ErrorCode Win32CommPort::escape(EscapeFunction function) {
    return ::EscapeCommFunction(m_native, static_cast<DWORD>(function)) ? kSuccess : lastOsError();
}

ErrorCode Win32CommPort::modemStatus(std::uint32_t& status) {
    DWORD word = 0;
    if (!::GetCommModemStatus(m_native, &word))
        return lastOsError();
    status = word;
    return kSuccess;
}

ErrorCode Win32CommPort::flush() {
    // Writes are synchronous and bounded, so nothing is queued behind the driver's own buffer
    // by the time this runs: the flush waits only for that to go out.
    return ::FlushFileBuffers(m_native) ? kSuccess : lastOsError();
}

ErrorCode Win32CommPort::purge(std::uint32_t flags) {
    return ::PurgeComm(m_native, flags) ? kSuccess : lastOsError();
}

ErrorCode Win32CommPort::queues(std::uint32_t& errors, CommStat& stat) {
    DWORD flags = 0;
    COMSTAT native{};
    if (!::ClearCommError(m_native, &flags, &native))
        return lastOsError();
    errors = flags;
    stat = {native.cbInQue, native.cbOutQue};
    return kSuccess;
}

ErrorCode Win32CommPort::setupQueues(std::uint32_t inQueue, std::uint32_t outQueue) {
    return ::SetupComm(m_native, inQueue, outQueue) ? kSuccess : lastOsError();
}

ErrorCode Win32CommPort::getTimeouts(CommTimeoutsRec& timeouts) {
    // Asked of the port for its answer, a device without time-outs included.
    COMMTIMEOUTS native{};
    if (!::GetCommTimeouts(m_native, &native))
        return lastOsError();
    timeouts = m_timeouts;
    return kSuccess;
}

ErrorCode Win32CommPort::setTimeouts(const CommTimeoutsRec& timeouts) {
    // Recorded, and the port told its bounds again: a screen's "no write time-out" would let a
    // printer that takes nothing hold the window for ever.
    if (const ErrorCode code = applyBounds(writeLimitFor(m_stallBudget)); code != kSuccess)
        return code;
    m_boundsRefused = kSuccess;
    m_timeouts = timeouts;
    return kSuccess;
}

std::uint32_t Win32CommPort::baud() const {
    DCB line{};
    line.DCBlength = sizeof line;
    return ::GetCommState(m_native, &line) && line.BaudRate > 0 ? line.BaudRate : 9600;
}

ErrorCode Win32CommPort::write(std::span<const std::uint8_t> bytes, std::uint32_t& written) {
    // A device that takes nothing spends the port's budget; once that is gone each write gives
    // up almost at once, until the device takes data again.
    if (m_boundsRefused == kSuccess) {
        const std::uint32_t limit = writeLimitFor(m_stallBudget);
        if (limit != m_writeLimitMs)
            applyBounds(limit);
    }
    DWORD count = 0;
    const auto start = steadyNow();
    const BOOL ok =
        ::WriteFile(m_native, bytes.data(), static_cast<DWORD>(bytes.size()), &count, nullptr);
    // Before anything else can change the thread's last error.
    ErrorCode code = ok ? kSuccess : lastOsError();
    written = count;
    if (code == kSuccess && count == bytes.size()) {
        m_stallBudget.took();
        return kSuccess;
    }
    // A write whose time-out ran out succeeds with fewer bytes than it was given.
    if (code == kSuccess)
        code = ERROR_TIMEOUT;
    m_stallBudget.waited(start, steadyNow(), count > 0, wireTime(count, baud()));
    return code;
}

ErrorCode Win32CommPort::read(std::uint8_t& byte) {
    if (m_boundsRefused != kSuccess)
        return m_boundsRefused;
    std::uint8_t value = 0;
    DWORD count = 0;
    if (!::ReadFile(m_native, &value, 1, &count, nullptr))
        return lastOsError();
    // Nothing had come: the read succeeds with nothing read.
    if (count == 0)
        return ERROR_TIMEOUT;
    byte = value;
    return kSuccess;
}

std::uint32_t Win32CommPort::outputQueued() const {
    DWORD errors = 0;
    COMSTAT stat{};
    return ::ClearCommError(m_native, &errors, &stat) ? stat.cbOutQue : 0;
}

std::optional<std::chrono::nanoseconds> Win32CommPort::stillSending() {
    const std::uint32_t queued = m_found->settings ? outputQueued() : 0;
    if (queued == 0)
        return std::nullopt;
    return wireTime(queued, baud());
}

// Lets the output go out, for the time it takes on the line and kCloseStallLimit more for a
// device that takes nothing; what is left then is dropped.
ErrorCode Win32CommPort::finishSending(const std::atomic<bool>& stop) {
    const auto end = SteadyClock::now() + wireTime(outputQueued(), baud()) + kCloseStallLimit;
    while (!stop && outputQueued() > 0 && SteadyClock::now() < end)
        ::Sleep(10);
    const bool sent = outputQueued() == 0;
    if (!sent)
        ::PurgeComm(m_native, PURGE_TXABORT | PURGE_TXCLEAR);
    // Nothing is queued now: this waits only for what the driver holds beyond its queue.
    ::FlushFileBuffers(m_native);
    return sent ? kSuccess : kTimedOut;
}

ErrorCode Win32CommPort::close() {
    // The port is left as it was found for whoever opens it next.
    // Copies: the calls take their records as modifiable.
    FoundLine found = *m_found;
    if (found.settings)
        ::SetCommState(m_native, &*found.settings);
    if (found.timeouts)
        ::SetCommTimeouts(m_native, &*found.timeouts);
    return ::CloseHandle(m_native) ? kSuccess : lastOsError();
}

}  // namespace ports
