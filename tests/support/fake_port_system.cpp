// The fake port backend of the tests.
#include "support/fake_port_system.h"

#include <algorithm>
#include <cerrno>
#include <string_view>

#include "devices/device.h"
#include "ports/dcb_text.h"

namespace support {

using devices::Time;
using ports::ErrorCode;
using ports::Handle;
using ports::kSuccess;

namespace {

std::string canonical(std::string_view name) {
    constexpr std::string_view kDeviceNamespace = "\\\\.\\";
    if (name.starts_with(kDeviceNamespace))
        name.remove_prefix(kDeviceNamespace.size());
    return std::string(name);
}

std::string lineText(const ports::CommDcb& dcb) {
    static constexpr char kParity[] = "noems";
    static constexpr const char* kStop[] = {"1", "1.5", "2"};
    return std::to_string(dcb.baudRate) + ',' + kParity[static_cast<int>(dcb.parity)] + ',' +
           std::to_string(dcb.byteSize) + ',' + kStop[static_cast<int>(dcb.stopBits)];
}

// By Call, in its order.
constexpr const char* kCallNames[] = {
    "createFile",          "getCommState",        "buildCommDcb",    "setCommState",
    "escapeCommFunction",  "flushFileBuffers",    "purgeComm",       "clearCommError",
    "setupComm",           "getCommTimeouts",     "setCommTimeouts", "createEvent",
    "closeEvent",          "waitForSingleObject", "writeFile",       "readFile",
    "getOverlappedResult", "getCommModemStatus",  "closeHandle"};

std::string str(std::uint32_t n) {
    return std::to_string(n);
}
std::string str(std::int32_t n) {
    return std::to_string(n);
}
std::string str(bool b) {
    return b ? "true" : "false";
}

}  // namespace

FakePortSystem::FakePortSystem() {
    for (const char* name : {"COM1", "COM2", "LPT1", "LPT2"})
        device(name);
}

FakePortSystem::Device& FakePortSystem::device(const std::string& name) {
    const std::string key = canonical(name);
    auto it = m_devices.find(key);
    if (it == m_devices.end()) {
        it = m_devices.emplace(key, Device{}).first;
        it->second.dcb.baudRate = 9600;
        if (key.starts_with("LPT"))
            it->second.port = ports::SimulatedPort(devices::Line::parallel());
    }
    return it->second;
}

void FakePortSystem::setPresent(const std::string& name) {
    Device& d = device(name);
    d.presence = Presence::Present;
    d.hungUp = false;
}

void FakePortSystem::setMissing(const std::string& name) {
    device(name).presence = Presence::Missing;
}

void FakePortSystem::setBusy(const std::string& name) {
    device(name).presence = Presence::Busy;
}

void FakePortSystem::hangUp(const std::string& name) {
    device(name).hungUp = true;
}

void FakePortSystem::setTakesData(const std::string& name, bool takes) {
    device(name).port.line().setFarEnd(
        takes ? devices::Line::FarEnd::Working : devices::Line::FarEnd::TakesNothing, now());
}

bool FakePortSystem::isOpen(const std::string& name) const {
    const auto it = m_devices.find(canonical(name));
    return it != m_devices.end() && it->second.handle != ports::kInvalidHandle;
}

std::vector<Handle> FakePortSystem::openHandles() const {
    std::vector<Handle> handles;
    for (const auto& [name, d] : m_devices) {
        if (d.handle != ports::kInvalidHandle)
            handles.push_back(d.handle);
    }
    std::sort(handles.begin(), handles.end());
    return handles;
}

std::vector<ports::EventHandle> FakePortSystem::openEvents() const {
    return m_events.open();
}

void FakePortSystem::fail(Call call, ErrorCode code, std::size_t from, std::size_t count) {
    const std::size_t next = m_callCounts[call];
    const std::size_t first = next + from;
    const std::size_t end = count > kAll - first ? kAll : first + count;
    auto& scripts = m_scripts[call];
    std::erase_if(scripts, [next](const Script& s) { return s.end <= next; });
    scripts.push_back({first, end, code});
}

void FakePortSystem::queueReplies(const std::vector<std::uint8_t>& bytes) {
    m_replies.insert(m_replies.end(), bytes.begin(), bytes.end());
}

void FakePortSystem::attach(const std::string& name, std::shared_ptr<devices::Device> farEnd) {
    device(name).port.line().attach(std::move(farEnd), now());
}

devices::Line& FakePortSystem::line(const std::string& name) {
    devices::Line& line = device(name).port.line();
    line.advance(now());
    return line;
}

std::vector<std::vector<std::uint8_t>> FakePortSystem::writes() const {
    std::vector<std::vector<std::uint8_t>> result;
    for (const Write& w : m_writes)
        result.push_back(w.bytes);
    return result;
}

std::vector<std::uint8_t> FakePortSystem::bytesWritten() const {
    std::vector<std::uint8_t> result;
    for (const Write& w : m_writes) {
        if (w.result == kSuccess || w.result == ports::kIoPending) {
            result.insert(result.end(), w.bytes.begin(), w.bytes.end());
        }
    }
    return result;
}

void FakePortSystem::clearCalls() {
    m_calls.clear();
    m_writes.clear();
}

ErrorCode FakePortSystem::begin(Call call, std::initializer_list<std::string> arguments) {
    std::string text = std::string(kCallNames[static_cast<int>(call)]) + '(';
    for (const std::string& argument : arguments) {
        if (text.back() != '(')
            text += ", ";
        text += argument;
    }
    m_calls.push_back(text + ')');

    const std::size_t n = m_callCounts[call]++;
    const auto& scripts = m_scripts[call];
    for (auto it = scripts.rbegin(); it != scripts.rend(); ++it) {
        if (n >= it->first && n < it->end)
            return fail(it->code);
    }
    return kSuccess;
}

FakePortSystem::Device* FakePortSystem::deviceOf(Handle handle) {
    for (auto& [name, d] : m_devices) {
        if (d.handle == handle && handle != ports::kInvalidHandle)
            return &d;
    }
    return nullptr;
}

ErrorCode FakePortSystem::check(const Device* d, bool touchesLine) {
    if (d == nullptr)
        return fail(EBADF);
    if (touchesLine && d->hungUp)
        return fail(EIO);
    return kSuccess;
}

ErrorCode FakePortSystem::fail(ErrorCode code) {
    m_lastError = code;
    return code;
}

void FakePortSystem::waitUntil(Time t) {
    if (t <= now())
        return;
    const auto spent = std::chrono::ceil<toolkit::Millis>(t - now());
    m_clock->spend(spent);
    m_waited += spent;
}

Handle FakePortSystem::createFile(const std::string& name, std::uint32_t /*access*/,
                                  std::uint32_t /*shareMode*/, std::uint32_t /*creation*/,
                                  std::uint32_t /*flags*/) {
    if (begin(Call::CreateFile, {name}) != kSuccess) {
        return ports::kInvalidHandle;
    }
    const auto it = m_devices.find(canonical(name));
    ErrorCode code = kSuccess;
    if (it == m_devices.end() || it->second.presence == Presence::Missing) {
        code = ENOENT;
    } else if (it->second.presence == Presence::Busy || it->second.handle > 0) {
        code = EBUSY;
    } else if (it->second.hungUp) {
        code = EIO;
    }
    if (code != kSuccess) {
        fail(code);
        return ports::kInvalidHandle;
    }
    it->second.handle = m_nextHandle++;
    it->second.port.open();
    return it->second.handle;
}

ErrorCode FakePortSystem::getCommState(Handle handle, ports::CommDcb& dcb) {
    if (const ErrorCode code = begin(Call::GetCommState, {str(handle)}))
        return code;
    Device* d = deviceOf(handle);
    if (const ErrorCode code = check(d, true))
        return code;
    dcb = d->dcb;
    return kSuccess;
}

ErrorCode FakePortSystem::buildCommDcb(const std::string& settings, ports::CommDcb& dcb) {
    if (const ErrorCode code = begin(Call::BuildCommDcb, {settings}))
        return code;
    const ErrorCode code = ports::parseDcbText(settings, dcb);
    return code == kSuccess ? kSuccess : fail(code);
}

ErrorCode FakePortSystem::setCommState(Handle handle, const ports::CommDcb& dcb) {
    if (const ErrorCode code = begin(Call::SetCommState, {str(handle), lineText(dcb)}))
        return code;
    Device* d = deviceOf(handle);
    if (const ErrorCode code = check(d, true))
        return code;
    if (dcb.baudRate == 0)
        return fail(EINVAL);
    d->dcb = dcb;
    d->port.setLine(dcb, now());
    return kSuccess;
}

ErrorCode FakePortSystem::escapeCommFunction(Handle handle, ports::EscapeFunction function) {
    const char* name = function == ports::EscapeFunction::SetRts   ? "SETRTS"
                       : function == ports::EscapeFunction::SetDtr ? "SETDTR"
                                                                   : "?";
    if (const ErrorCode code = begin(Call::EscapeCommFunction, {str(handle), name}))
        return code;
    return check(deviceOf(handle), true);
}

ErrorCode FakePortSystem::flushFileBuffers(Handle handle) {
    if (const ErrorCode code = begin(Call::FlushFileBuffers, {str(handle)}))
        return code;
    Device* d = deviceOf(handle);
    if (const ErrorCode code = check(d, true))
        return code;
    const ErrorCode code = d->port.hasDevice() ? d->port.drain(*this) : kSuccess;
    return code == kSuccess ? kSuccess : fail(code);
}

ErrorCode FakePortSystem::purgeComm(Handle handle, std::uint32_t flags) {
    if (const ErrorCode code = begin(Call::PurgeComm, {str(handle), str(flags)}))
        return code;
    Device* d = deviceOf(handle);
    if (const ErrorCode code = check(d, true))
        return code;
    if ((flags & ports::kPurgeRxClear) != 0)
        m_replies.clear();
    d->port.purge(flags, now());
    return kSuccess;
}

ErrorCode FakePortSystem::clearCommError(Handle handle, std::uint32_t& errors,
                                         ports::CommStat& stat) {
    if (const ErrorCode code = begin(Call::ClearCommError, {str(handle)}))
        return code;
    Device* d = deviceOf(handle);
    if (const ErrorCode code = check(d, true))
        return code;
    // Without a device writes leave at once: nothing is ever waiting to go out.
    errors = 0;
    stat = d->port.queues(now());
    stat.inQueue += static_cast<std::uint32_t>(m_replies.size());
    return kSuccess;
}

ErrorCode FakePortSystem::setupComm(Handle handle, std::uint32_t inQueue, std::uint32_t outQueue) {
    if (const ErrorCode code = begin(Call::SetupComm, {str(handle), str(inQueue), str(outQueue)}))
        return code;
    return check(deviceOf(handle), false);
}

ErrorCode FakePortSystem::getCommTimeouts(Handle handle, ports::CommTimeoutsRec& timeouts) {
    if (const ErrorCode code = begin(Call::GetCommTimeouts, {str(handle)}))
        return code;
    Device* d = deviceOf(handle);
    if (const ErrorCode code = check(d, false))
        return code;
    timeouts = d->timeouts;
    return kSuccess;
}

ErrorCode FakePortSystem::setCommTimeouts(Handle handle, const ports::CommTimeoutsRec& t) {
    if (const ErrorCode code =
            begin(Call::SetCommTimeouts,
                  {str(handle), str(t.readIntervalTimeout), str(t.readTotalTimeoutMultiplier),
                   str(t.readTotalTimeoutConstant), str(t.writeTotalTimeoutMultiplier),
                   str(t.writeTotalTimeoutConstant)}))
        return code;
    Device* d = deviceOf(handle);
    if (const ErrorCode code = check(d, false))
        return code;
    d->timeouts = t;
    return kSuccess;
}

ports::EventHandle FakePortSystem::createEvent(bool manualReset, bool initialState,
                                               const char* name) {
    const std::string nameText = name == nullptr ? "null" : '"' + std::string(name) + '"';
    if (begin(Call::CreateEvent, {str(manualReset), str(initialState), nameText}) != kSuccess)
        return 0;
    return m_events.create(manualReset, initialState);
}

ErrorCode FakePortSystem::closeEvent(ports::EventHandle event) {
    if (const ErrorCode code = begin(Call::CloseEvent, {str(event)}))
        return code;
    return m_events.close(event) ? kSuccess : fail(EBADF);
}

ErrorCode FakePortSystem::waitForSingleObject(ports::EventHandle event, std::uint32_t timeoutMs) {
    if (const ErrorCode code = begin(Call::WaitForSingleObject, {str(event), str(timeoutMs)}))
        return code;
    const ports::EventTable::Found found = m_events.take(event);
    if (found == ports::EventTable::Found::NoSuchEvent)
        return fail(EBADF);
    if (found == ports::EventTable::Found::Signalled)
        return kSuccess;
    waitUntil(now() + std::min<Time>(toolkit::Millis(timeoutMs), ports::kEventWaitLimit));
    return fail(ETIMEDOUT);
}

ErrorCode FakePortSystem::writeFile(Handle handle, std::span<const std::uint8_t> bytes,
                                    std::uint32_t& written, ports::WriteOverlapped* overlapped) {
    written = 0;
    ErrorCode code = begin(Call::WriteFile, {str(handle), devices::hex({bytes.begin(), bytes.end()})});
    Device* d = deviceOf(handle);
    if (code == kSuccess)
        code = check(d, true);
    // Without a device on its line, a port that takes no data holds each write what is left of
    // its stall budget.
    if (code == kSuccess && !d->port.hasDevice()) {
        ports::StallBudget& budget = d->port.stallBudget();
        if (d->port.line().farEnd() != devices::Line::FarEnd::TakesNothing) {
            budget.refill();
        } else {
            waitUntil(now() + budget.left());
            budget.spend(budget.left());
            code = fail(ports::kTimedOut);
        }
    }
    const std::size_t record = m_writes.size();
    m_writes.push_back({{bytes.begin(), bytes.end()}, code});

    // A pending write goes out all the same and has ended by the time anyone waits for it.
    const bool goesOut = code == kSuccess || code == ports::kIoPending;
    auto sent = static_cast<std::uint32_t>(goesOut ? bytes.size() : 0);
    if (goesOut && d != nullptr && d->port.hasDevice()) {
        const ErrorCode result = d->port.write(bytes, sent, *this);
        if (code == kSuccess)
            code = m_writes[record].result = result == kSuccess ? kSuccess : fail(result);
    }
    const bool ended = code == kSuccess || code == ports::kIoPending;
    written = code == ports::kIoPending ? 0 : sent;
    m_events.end(overlapped, ended ? kSuccess : code, sent);
    return code;
}

ErrorCode FakePortSystem::readFile(Handle handle, std::uint8_t& byte, std::uint32_t& read,
                                   ports::WriteOverlapped* overlapped) {
    read = 0;
    if (const ErrorCode code = begin(Call::ReadFile, {str(handle)}))
        return code;
    Device* d = deviceOf(handle);
    if (const ErrorCode code = check(d, true))
        return code;
    if (!m_replies.empty()) {
        byte = m_replies.front();
        m_replies.pop_front();
    } else if (const ErrorCode code = d->port.read(byte, now())) {
        return fail(code);
    }
    read = 1;
    m_events.end(overlapped, kSuccess, 1);
    return kSuccess;
}

ErrorCode FakePortSystem::getOverlappedResult(Handle handle, ports::WriteOverlapped& overlapped,
                                              std::uint32_t& transferred, bool wait) {
    if (const ErrorCode code = begin(Call::GetOverlappedResult, {str(handle), str(wait)}))
        return code;
    if (const ErrorCode code = check(deviceOf(handle), false))
        return code;
    transferred = overlapped.internalHigh;
    return overlapped.internal == kSuccess ? kSuccess : fail(overlapped.internal);
}

ErrorCode FakePortSystem::getCommModemStatus(Handle handle, std::uint32_t& status) {
    if (const ErrorCode code = begin(Call::GetCommModemStatus, {str(handle)}))
        return code;
    Device* d = deviceOf(handle);
    if (const ErrorCode code = check(d, true))
        return code;
    status = d->port.hasDevice() ? d->port.modemStatus(now()) : m_modemStatus;
    return kSuccess;
}

ErrorCode FakePortSystem::closeHandle(Handle handle) {
    // A close that fails (scripted) leaves the device open.
    if (const ErrorCode code = begin(Call::CloseHandle, {str(handle)}))
        return code;
    Device* d = deviceOf(handle);
    if (const ErrorCode code = check(d, false))
        return code;
    if (d->port.hasDevice())
        d->port.close(*this);
    d->handle = ports::kInvalidHandle;
    return kSuccess;
}

}  // namespace support
