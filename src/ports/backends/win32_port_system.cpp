// The Windows backend of the port seam.
#include "ports/backends/win32_port_system.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <optional>

#include "ports/wait_bounds.h"

namespace ports {

static_assert(kTimedOut == ERROR_TIMEOUT);

namespace {

using SteadyClock = std::chrono::steady_clock;

// The write time-out that spends at most the rest of the stall budget (1 s at most). Never 0: a
// zero write time-out means none at all.
std::uint32_t writeLimitFor(const StallBudget& stallBudget) {
    const auto limit = std::chrono::ceil<std::chrono::milliseconds>(stallBudget.left());
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

// Lays the program's block over the port's own, which keeps what the program does not name.
// Flow control the program did not ask for is switched off, and so is aborting every transfer
// after a line error, which would fail every later poll until someone cleared it.
void overlay(const CommDcb& dcb, DCB& native) {
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

std::uint32_t outputQueued(HANDLE native) {
    DWORD errors = 0;
    COMSTAT stat{};
    return ::ClearCommError(native, &errors, &stat) ? stat.cbOutQue : 0;
}

// Lets a closing port's output go out, for the time it takes on the line and kCloseStallLimit
// more for a device that takes nothing; what is left then is dropped.
void drainForClose(HANDLE native) {
    DCB line{};
    line.DCBlength = sizeof line;
    const std::uint32_t baud =
        ::GetCommState(native, &line) && line.BaudRate > 0 ? line.BaudRate : 9600;
    const auto end = SteadyClock::now() + wireTime(outputQueued(native), baud) + kCloseStallLimit;
    while (outputQueued(native) > 0 && SteadyClock::now() < end)
        ::Sleep(10);
    if (outputQueued(native) > 0)
        ::PurgeComm(native, PURGE_TXABORT | PURGE_TXCLEAR);
    // Nothing is queued now: this waits only for what the driver holds beyond its queue.
    ::FlushFileBuffers(native);
}

CommTimeoutsRec fromNative(const COMMTIMEOUTS& native) {
    return {native.ReadIntervalTimeout, native.ReadTotalTimeoutMultiplier,
            native.ReadTotalTimeoutConstant, native.WriteTotalTimeoutMultiplier,
            native.WriteTotalTimeoutConstant};
}

}  // namespace

struct Win32PortSystem::NativeOverlapped {
    OVERLAPPED record{};
};

struct Win32PortSystem::FoundLine {
    std::optional<DCB> settings;
    std::optional<COMMTIMEOUTS> timeouts;
};

Win32PortSystem::Win32PortSystem(DeviceMap devices) : m_devices(std::move(devices)) {}

Win32PortSystem::~Win32PortSystem() {
    // What the ports still send goes out, each on its own line at once.
    while (!m_ports.empty())
        closeHandle(m_ports.begin()->first);
    for (auto& [event, native] : m_events)
        ::CloseHandle(native);
}

Win32PortSystem::Port* Win32PortSystem::find(Handle handle) {
    const auto it = m_ports.find(handle);
    return it == m_ports.end() ? nullptr : &it->second;
}

ErrorCode Win32PortSystem::release(const Port& port) {
    // The port is left as it was found for whoever opens it next.
    // Copies: the calls take their records as modifiable.
    FoundLine found = *port.found;
    if (found.settings)
        ::SetCommState(port.native, &*found.settings);
    if (found.timeouts)
        ::SetCommTimeouts(port.native, &*found.timeouts);
    return ::CloseHandle(port.native) ? kSuccess : lastOsError();
}

Win32PortSystem::NativeHandle Win32PortSystem::eventOf(EventHandle event) const {
    const auto it = m_events.find(event);
    return it == m_events.end() ? nullptr : it->second;
}

ErrorCode Win32PortSystem::fail(ErrorCode code) {
    m_lastError = code;
    return code;
}

ErrorCode Win32PortSystem::applyBounds(Port& port, std::uint32_t writeLimitMs) {
    // Reads return at once with what has come; writes end after their limit, with what went
    // out.
    COMMTIMEOUTS bounds{};
    bounds.ReadIntervalTimeout = MAXDWORD;
    bounds.WriteTotalTimeoutConstant = writeLimitMs;
    if (!::SetCommTimeouts(port.native, &bounds))
        return lastOsError();
    port.writeLimitMs = writeLimitMs;
    return kSuccess;
}

Win32PortSystem::NativeOverlapped& Win32PortSystem::nativeRecord(
    const WriteOverlapped& overlapped) {
    auto& entry = m_overlapped[&overlapped];
    if (!entry)
        entry = std::make_unique<NativeOverlapped>();
    entry->record = OVERLAPPED{};
    entry->record.Offset = overlapped.offset;
    entry->record.OffsetHigh = overlapped.offsetHigh;
    entry->record.hEvent = eventOf(overlapped.event);
    return *entry;
}

void Win32PortSystem::copyBack(const NativeOverlapped& native, WriteOverlapped& overlapped) {
    overlapped.internal = static_cast<std::uint32_t>(native.record.Internal);
    overlapped.internalHigh = static_cast<std::uint32_t>(native.record.InternalHigh);
}

Handle Win32PortSystem::createFile(const std::string& device, std::uint32_t access,
                                   std::uint32_t shareMode, std::uint32_t creation,
                                   std::uint32_t flags) {
    const DeviceMap::Entry* entry = m_devices.find(device);
    if (entry == nullptr) {
        fail(ERROR_FILE_NOT_FOUND);
        return kInvalidHandle;
    }
    // The device may still be sending what it was given before its last close here.
    m_closing.await(entry->path);
    const HANDLE native = ::CreateFileA(entry->path.c_str(), access, shareMode, nullptr, creation,
                                        flags & ~DWORD{FILE_FLAG_OVERLAPPED}, nullptr);
    if (native == INVALID_HANDLE_VALUE) {
        fail(lastOsError());
        return kInvalidHandle;
    }
    // A file, a pipe or a disk would take the test page without complaint; a serial port
    // answers for its line.
    auto found = std::make_shared<FoundLine>();
    DCB settings{};
    settings.DCBlength = sizeof settings;
    ErrorCode refused = kSuccess;
    if (::GetFileType(native) != FILE_TYPE_CHAR) {
        refused = ERROR_BAD_DEVICE;
    } else if (entry->kind == PortKind::Serial) {
        if (::GetCommState(native, &settings)) {
            found->settings = settings;
        } else {
            refused = lastOsError();
        }
    }
    if (refused != kSuccess) {
        ::CloseHandle(native);
        fail(refused);
        return kInvalidHandle;
    }
    Port port;
    port.native = native;
    port.path = entry->path;
    COMMTIMEOUTS before{};
    if (::GetCommTimeouts(native, &before)) {
        port.timeouts = fromNative(before);
        found->timeouts = before;
    }
    port.found = std::move(found);
    port.boundsRefused = applyBounds(port, writeLimitFor(port.stallBudget));
    const Handle handle = m_nextHandle++;
    m_ports.emplace(handle, port);
    return handle;
}

ErrorCode Win32PortSystem::getCommState(Handle handle, CommDcb& dcb) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(ERROR_INVALID_HANDLE);
    DCB native{};
    native.DCBlength = sizeof native;
    if (!::GetCommState(port->native, &native))
        return fail(lastOsError());
    dcb = fromNative(native);
    return kSuccess;
}

ErrorCode Win32PortSystem::buildCommDcb(const std::string& settings, CommDcb& dcb) {
    DCB native{};
    native.DCBlength = sizeof native;
    overlay(dcb, native);
    if (!::BuildCommDCBA(settings.c_str(), &native))
        return fail(lastOsError());
    dcb = fromNative(native);
    return kSuccess;
}

ErrorCode Win32PortSystem::setCommState(Handle handle, const CommDcb& dcb) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(ERROR_INVALID_HANDLE);
    // A rate of 0 is no line speed; some drivers take it as the hang-up rate and drop the line.
    if (dcb.baudRate == 0)
        return fail(ERROR_INVALID_PARAMETER);
    DCB native{};
    native.DCBlength = sizeof native;
    if (!::GetCommState(port->native, &native))
        return fail(lastOsError());
    overlay(dcb, native);
    if (!::SetCommState(port->native, &native))
        return fail(lastOsError());
    return kSuccess;
}

ErrorCode Win32PortSystem::escapeCommFunction(Handle handle, EscapeFunction function) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(ERROR_INVALID_HANDLE);
    if (!::EscapeCommFunction(port->native, static_cast<DWORD>(function)))
        return fail(lastOsError());
    return kSuccess;
}

ErrorCode Win32PortSystem::flushFileBuffers(Handle handle) {
    // Writes are synchronous and bounded, so nothing is queued behind the driver's own buffer
    // by the time this runs: the flush waits only for that to go out.
    Port* port = find(handle);
    if (port == nullptr)
        return fail(ERROR_INVALID_HANDLE);
    if (!::FlushFileBuffers(port->native))
        return fail(lastOsError());
    return kSuccess;
}

ErrorCode Win32PortSystem::purgeComm(Handle handle, std::uint32_t flags) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(ERROR_INVALID_HANDLE);
    if (!::PurgeComm(port->native, flags))
        return fail(lastOsError());
    return kSuccess;
}

ErrorCode Win32PortSystem::clearCommError(Handle handle, std::uint32_t& errors, CommStat& stat) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(ERROR_INVALID_HANDLE);
    DWORD flags = 0;
    COMSTAT native{};
    if (!::ClearCommError(port->native, &flags, &native))
        return fail(lastOsError());
    errors = flags;
    stat = {native.cbInQue, native.cbOutQue};
    return kSuccess;
}

ErrorCode Win32PortSystem::setupComm(Handle handle, std::uint32_t inQueue, std::uint32_t outQueue) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(ERROR_INVALID_HANDLE);
    if (!::SetupComm(port->native, inQueue, outQueue))
        return fail(lastOsError());
    return kSuccess;
}

ErrorCode Win32PortSystem::getCommTimeouts(Handle handle, CommTimeoutsRec& timeouts) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(ERROR_INVALID_HANDLE);
    // Asked of the port for its answer, a device without time-outs included.
    COMMTIMEOUTS native{};
    if (!::GetCommTimeouts(port->native, &native))
        return fail(lastOsError());
    timeouts = port->timeouts;
    return kSuccess;
}

ErrorCode Win32PortSystem::setCommTimeouts(Handle handle, const CommTimeoutsRec& timeouts) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(ERROR_INVALID_HANDLE);
    // Recorded, and the port told its bounds again: a screen's "no write time-out" would let a
    // printer that takes nothing hold the window for ever.
    if (const ErrorCode code = applyBounds(*port, writeLimitFor(port->stallBudget));
        code != kSuccess)
        return fail(code);
    port->boundsRefused = kSuccess;
    port->timeouts = timeouts;
    return kSuccess;
}

EventHandle Win32PortSystem::createEvent(bool manualReset, bool initialState, const char* name) {
    const HANDLE native = ::CreateEventA(nullptr, manualReset, initialState, name);
    if (native == nullptr) {
        fail(lastOsError());
        return 0;
    }
    const EventHandle event = m_nextEvent++;
    m_events.emplace(event, native);
    return event;
}

ErrorCode Win32PortSystem::closeEvent(EventHandle event) {
    const auto it = m_events.find(event);
    if (it == m_events.end())
        return fail(ERROR_INVALID_HANDLE);
    const NativeHandle native = it->second;
    m_events.erase(it);
    // The records that named this event have no more use for their OS records.
    std::erase_if(m_overlapped,
                  [native](const auto& entry) { return entry.second->record.hEvent == native; });
    if (!::CloseHandle(native))
        return fail(lastOsError());
    return kSuccess;
}

ErrorCode Win32PortSystem::waitForSingleObject(EventHandle event, std::uint32_t timeoutMs) {
    const NativeHandle native = eventOf(event);
    if (native == nullptr)
        return fail(ERROR_INVALID_HANDLE);
    switch (::WaitForSingleObject(
        native, std::min<DWORD>(timeoutMs, static_cast<DWORD>(kEventWaitLimit.count())))) {
        case WAIT_OBJECT_0:
            return kSuccess;
        case WAIT_TIMEOUT:
            return fail(WAIT_TIMEOUT);
        default:
            return fail(lastOsError());
    }
}

ErrorCode Win32PortSystem::writeFile(Handle handle, std::span<const std::uint8_t> bytes,
                                     std::uint32_t& written, WriteOverlapped* overlapped) {
    written = 0;
    Port* port = find(handle);
    if (port == nullptr)
        return fail(ERROR_INVALID_HANDLE);
    // A device that takes nothing spends the port's budget; once that is gone each write gives
    // up almost at once, until the device takes data again.
    if (port->boundsRefused == kSuccess) {
        const std::uint32_t limit = writeLimitFor(port->stallBudget);
        if (limit != port->writeLimitMs)
            applyBounds(*port, limit);
    }
    NativeOverlapped* native = overlapped != nullptr ? &nativeRecord(*overlapped) : nullptr;
    DWORD count = 0;
    const auto start = SteadyClock::now();
    const BOOL ok = ::WriteFile(port->native, bytes.data(), static_cast<DWORD>(bytes.size()),
                                &count, native != nullptr ? &native->record : nullptr);
    // Before anything else can change the thread's last error.
    ErrorCode code = ok ? kSuccess : lastOsError();
    const auto waited = SteadyClock::now() - start;
    if (native != nullptr)
        copyBack(*native, *overlapped);
    written = count;
    // A write whose time-out ran out succeeds with fewer bytes than it was given.
    if (code == kSuccess && count < bytes.size())
        code = ERROR_TIMEOUT;
    if (count > 0) {
        port->stallBudget.refill();
    } else {
        port->stallBudget.spend(waited);
    }
    return code == kSuccess ? kSuccess : fail(code);
}

ErrorCode Win32PortSystem::readFile(Handle handle, std::uint8_t& byte, std::uint32_t& read,
                                    WriteOverlapped* overlapped) {
    read = 0;
    Port* port = find(handle);
    if (port == nullptr)
        return fail(ERROR_INVALID_HANDLE);
    if (port->boundsRefused != kSuccess)
        return fail(port->boundsRefused);
    NativeOverlapped* native = overlapped != nullptr ? &nativeRecord(*overlapped) : nullptr;
    std::uint8_t value = 0;
    DWORD count = 0;
    const BOOL ok =
        ::ReadFile(port->native, &value, 1, &count, native != nullptr ? &native->record : nullptr);
    const ErrorCode code = ok ? kSuccess : lastOsError();
    if (native != nullptr)
        copyBack(*native, *overlapped);
    if (code != kSuccess)
        return fail(code);
    // Nothing had come: the read succeeds with nothing read.
    if (count == 0)
        return fail(ERROR_TIMEOUT);
    byte = value;
    read = 1;
    return kSuccess;
}

ErrorCode Win32PortSystem::getOverlappedResult(Handle handle, WriteOverlapped& overlapped,
                                               std::uint32_t& transferred, bool /*wait*/) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(ERROR_INVALID_HANDLE);
    const auto it = m_overlapped.find(&overlapped);
    OVERLAPPED fromProgram{};
    fromProgram.Internal = overlapped.internal;
    fromProgram.InternalHigh = overlapped.internalHigh;
    OVERLAPPED& native = it != m_overlapped.end() ? it->second->record : fromProgram;
    // Every transfer has ended when its call returns: there is never anything to wait for, and
    // a wait here could not be bounded.
    DWORD count = 0;
    if (!::GetOverlappedResult(port->native, &native, &count, FALSE))
        return fail(lastOsError());
    transferred = count;
    return kSuccess;
}

ErrorCode Win32PortSystem::getCommModemStatus(Handle handle, std::uint32_t& status) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(ERROR_INVALID_HANDLE);
    DWORD word = 0;
    if (!::GetCommModemStatus(port->native, &word))
        return fail(lastOsError());
    status = word;
    return kSuccess;
}

ErrorCode Win32PortSystem::closeHandle(Handle handle) {
    const auto it = m_ports.find(handle);
    if (it == m_ports.end())
        return fail(ERROR_INVALID_HANDLE);
    const Port port = it->second;
    m_ports.erase(it);
    // A line still sending is let go in the background: the window goes on at once.
    if (port.found->settings && outputQueued(port.native) > 0) {
        m_closing.start(port.path, [port] {
            drainForClose(port.native);
            release(port);
        });
        return kSuccess;
    }
    const ErrorCode code = release(port);
    return code == kSuccess ? kSuccess : fail(code);
}

}  // namespace ports
