// The calls every backend answers alike.
#include "ports/backends/port_system_base.h"

#include <algorithm>
#include <thread>

#include "ports/wait_bounds.h"

namespace ports {

PortSystemBase::~PortSystemBase() {
    closeAll();
}

void PortSystemBase::closeAll() {
    while (!m_media.empty())
        closeHandle(m_media.begin()->first);
}

ErrorCode PortSystemBase::fail(ErrorCode code) {
    m_lastError = code;
    return code;
}

Medium* PortSystemBase::find(Handle handle) {
    const auto it = m_media.find(handle);
    return it == m_media.end() ? nullptr : it->second.medium.get();
}

Handle PortSystemBase::adopt(std::unique_ptr<Medium> medium, std::string port) {
    const Handle handle = m_nextHandle++;
    m_media.emplace(handle, Open{std::move(medium), std::move(port)});
    return handle;
}

void PortSystemBase::awaitClosing(const std::string& deviceKey, const std::string& port) {
    if (deviceKey.empty())
        return;
    awaitClose(
        port, m_listener,
        [&]() -> std::optional<std::chrono::milliseconds> {
            const auto closing = m_closing.find(deviceKey);
            return closing ? std::optional(closing->left) : std::nullopt;
        },
        [&](std::chrono::milliseconds limit) { m_closing.waitFor(deviceKey, limit); },
        [&] { m_closing.stop(deviceKey); });
}

void PortSystemBase::sleepFor(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

ErrorCode PortSystemBase::complete(WriteOverlapped* overlapped, ErrorCode code,
                                   std::uint32_t count) {
    m_events.end(overlapped, code, count);
    return code == kSuccess ? kSuccess : fail(code);
}

template <class Call>
ErrorCode PortSystemBase::onMedium(Handle handle, Call call) {
    Medium* medium = find(handle);
    if (medium == nullptr)
        return fail(m_codes.badHandle);
    const ErrorCode code = call(*medium);
    return code == kSuccess ? kSuccess : fail(code);
}

ErrorCode PortSystemBase::getCommState(Handle handle, CommDcb& dcb) {
    return onMedium(handle, [&](Medium& medium) { return medium.getState(dcb); });
}

ErrorCode PortSystemBase::setCommState(Handle handle, const CommDcb& dcb) {
    return onMedium(handle, [&](Medium& medium) { return medium.setState(dcb); });
}

ErrorCode PortSystemBase::escapeCommFunction(Handle handle, EscapeFunction function) {
    return onMedium(handle, [&](Medium& medium) { return medium.escape(function); });
}

ErrorCode PortSystemBase::flushFileBuffers(Handle handle) {
    return onMedium(handle, [&](Medium& medium) { return medium.flush(); });
}

ErrorCode PortSystemBase::purgeComm(Handle handle, std::uint32_t flags) {
    return onMedium(handle, [&](Medium& medium) { return medium.purge(flags); });
}

ErrorCode PortSystemBase::clearCommError(Handle handle, std::uint32_t& errors, CommStat& stat) {
    return onMedium(handle, [&](Medium& medium) { return medium.queues(errors, stat); });
}

ErrorCode PortSystemBase::setupComm(Handle handle, std::uint32_t inQueue, std::uint32_t outQueue) {
    return onMedium(handle, [&](Medium& medium) { return medium.setupQueues(inQueue, outQueue); });
}

ErrorCode PortSystemBase::getCommTimeouts(Handle handle, CommTimeoutsRec& timeouts) {
    return onMedium(handle, [&](Medium& medium) { return medium.getTimeouts(timeouts); });
}

ErrorCode PortSystemBase::setCommTimeouts(Handle handle, const CommTimeoutsRec& timeouts) {
    return onMedium(handle, [&](Medium& medium) { return medium.setTimeouts(timeouts); });
}

ErrorCode PortSystemBase::getCommModemStatus(Handle handle, std::uint32_t& status) {
    return onMedium(handle, [&](Medium& medium) { return medium.modemStatus(status); });
}

ErrorCode PortSystemBase::getDeviceId(Handle handle, std::string& id) {
    return onMedium(handle, [&](Medium& medium) { return medium.deviceId(id); });
}

EventHandle PortSystemBase::createEvent(bool manualReset, bool initialState, const char* /*name*/) {
    return m_events.create(manualReset, initialState);
}

ErrorCode PortSystemBase::closeEvent(EventHandle event) {
    return m_events.close(event) ? kSuccess : fail(m_codes.badHandle);
}

ErrorCode PortSystemBase::waitForSingleObject(EventHandle event, std::uint32_t timeoutMs) {
    const EventTable::Found found = m_events.take(event);
    if (found == EventTable::Found::NoSuchEvent)
        return fail(m_codes.badHandle);
    if (found == EventTable::Found::Signalled)
        return kSuccess;
    // Reads and writes end before they return, so nothing can signal the event now; the caller
    // still gets its time-out, bounded like every other wait.
    sleepFor(
        std::min<std::chrono::milliseconds>(std::chrono::milliseconds(timeoutMs), kEventWaitLimit));
    return fail(m_codes.waitTimedOut);
}

ErrorCode PortSystemBase::writeFile(Handle handle, std::span<const std::uint8_t> bytes,
                                    std::uint32_t& written, WriteOverlapped* overlapped) {
    written = 0;
    Medium* medium = find(handle);
    if (medium == nullptr)
        return complete(overlapped, m_codes.badHandle, 0);
    const ErrorCode code = medium->write(bytes, written);
    return complete(overlapped, code, written);
}

ErrorCode PortSystemBase::readFile(Handle handle, std::uint8_t& byte, std::uint32_t& read,
                                   WriteOverlapped* overlapped) {
    read = 0;
    Medium* medium = find(handle);
    if (medium == nullptr)
        return complete(overlapped, m_codes.badHandle, 0);
    const ErrorCode code = medium->read(byte);
    read = code == kSuccess ? 1 : 0;
    return complete(overlapped, code, read);
}

ErrorCode PortSystemBase::getOverlappedResult(Handle handle, WriteOverlapped& overlapped,
                                              std::uint32_t& transferred, bool /*wait*/) {
    // Reads and writes have ended by the time they return: there is never anything to wait for.
    if (find(handle) == nullptr)
        return fail(m_codes.badHandle);
    transferred = overlapped.internalHigh;
    return overlapped.internal == kSuccess ? kSuccess : fail(overlapped.internal);
}

ErrorCode PortSystemBase::closeHandle(Handle handle) {
    const auto it = m_media.find(handle);
    if (it == m_media.end())
        return fail(m_codes.badHandle);
    Open open = std::move(it->second);
    m_media.erase(it);
    std::unique_ptr<Medium>& medium = open.medium;
    if (const auto sending = medium->stillSending()) {
        m_closing.start(std::move(medium), std::move(open.port),
                        std::chrono::duration_cast<ClosingPorts::Clock::duration>(*sending));
        return kSuccess;
    }
    const ErrorCode code = medium->close();
    return code == kSuccess ? kSuccess : fail(code);
}

ErrorCode PortSystemBase::closeAndAwait(Handle handle) {
    const auto it = m_media.find(handle);
    if (it == m_media.end())
        return fail(m_codes.badHandle);
    const std::unique_ptr<Medium> medium = std::move(it->second.medium);
    m_media.erase(it);
    const std::atomic<bool> never{false};
    const ErrorCode sent = medium->stillSending() ? medium->finishSending(never) : kSuccess;
    const ErrorCode closed = medium->close();
    const ErrorCode code = sent != kSuccess ? sent : closed;
    return code == kSuccess ? kSuccess : fail(code);
}

std::vector<ClosingPort> PortSystemBase::closingPorts() const {
    return m_closing.list();
}

void PortSystemBase::stopClosing() {
    m_closing.stopAll();
}

}  // namespace ports
