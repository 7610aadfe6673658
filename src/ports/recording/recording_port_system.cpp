// Each call passed on first, then told as it came out.
#include "ports/recording/recording_port_system.h"

#include <utility>

namespace ports {

namespace {

constexpr std::uint32_t kCtsFlow = 1;
constexpr std::uint32_t kDsrFlow = 2;
constexpr std::uint32_t kXonXoffOut = 4;
constexpr std::uint32_t kXonXoffIn = 8;

std::uint32_t flag(bool on, std::uint32_t bit) {
    return on ? bit : 0;
}

std::string bytesOf(std::span<const std::uint8_t> bytes) {
    return {bytes.begin(), bytes.end()};
}

}  // namespace

PortCall::Values packLine(const CommDcb& dcb) {
    const std::uint32_t flow = flag(dcb.outxCtsFlow, kCtsFlow) | flag(dcb.outxDsrFlow, kDsrFlow) |
                               flag(dcb.outX, kXonXoffOut) | flag(dcb.inX, kXonXoffIn);
    return {dcb.baudRate, dcb.byteSize | static_cast<std::uint32_t>(dcb.parity) << 8 |
                              static_cast<std::uint32_t>(dcb.stopBits) << 16 | flow << 24};
}

CommDcb unpackLine(const PortCall::Values& values) {
    const std::uint32_t packed = values[1];
    const std::uint32_t flow = packed >> 24;
    CommDcb dcb;
    dcb.baudRate = values[0];
    dcb.byteSize = static_cast<std::uint8_t>(packed & 0xFF);
    dcb.parity = static_cast<Parity>((packed >> 8) & 0xFF);
    dcb.stopBits = static_cast<StopBits>((packed >> 16) & 0xFF);
    dcb.outxCtsFlow = (flow & kCtsFlow) != 0;
    dcb.outxDsrFlow = (flow & kDsrFlow) != 0;
    dcb.outX = (flow & kXonXoffOut) != 0;
    dcb.inX = (flow & kXonXoffIn) != 0;
    return dcb;
}

ErrorCode RecordingPortSystem::tell(PortCall::Kind kind, Handle handle, ErrorCode result,
                                    PortCall::Values values, std::string data) {
    m_listener.portCall(PortCall{kind, result, handle, values, std::move(data)});
    return result;
}

Handle RecordingPortSystem::createFile(const std::string& device, std::uint32_t access,
                                       std::uint32_t shareMode, std::uint32_t creation,
                                       std::uint32_t flags) {
    const Handle handle = m_inner.createFile(device, access, shareMode, creation, flags);
    tell(PortCall::Kind::Open, handle, handle >= 1 ? kSuccess : m_inner.lastError(), {}, device);
    return handle;
}

ErrorCode RecordingPortSystem::getCommState(Handle handle, CommDcb& dcb) {
    const ErrorCode result = m_inner.getCommState(handle, dcb);
    return tell(PortCall::Kind::GetCommState, handle, result, packLine(dcb));
}

ErrorCode RecordingPortSystem::buildCommDcb(const std::string& settings, CommDcb& dcb) {
    const ErrorCode result = m_inner.buildCommDcb(settings, dcb);
    return tell(PortCall::Kind::BuildCommDcb, 0, result, packLine(dcb), settings);
}

ErrorCode RecordingPortSystem::setCommState(Handle handle, const CommDcb& dcb) {
    return tell(PortCall::Kind::SetCommState, handle, m_inner.setCommState(handle, dcb),
                packLine(dcb));
}

ErrorCode RecordingPortSystem::escapeCommFunction(Handle handle, EscapeFunction function) {
    return tell(PortCall::Kind::Escape, handle, m_inner.escapeCommFunction(handle, function),
                {static_cast<std::uint32_t>(function)});
}

ErrorCode RecordingPortSystem::flushFileBuffers(Handle handle) {
    return tell(PortCall::Kind::Flush, handle, m_inner.flushFileBuffers(handle));
}

ErrorCode RecordingPortSystem::purgeComm(Handle handle, std::uint32_t flags) {
    return tell(PortCall::Kind::Purge, handle, m_inner.purgeComm(handle, flags), {flags});
}

ErrorCode RecordingPortSystem::clearCommError(Handle handle, std::uint32_t& errors,
                                              CommStat& stat) {
    const ErrorCode result = m_inner.clearCommError(handle, errors, stat);
    return tell(PortCall::Kind::ClearCommError, handle, result,
                {errors, stat.inQueue, stat.outQueue});
}

ErrorCode RecordingPortSystem::setupComm(Handle handle, std::uint32_t inQueue,
                                         std::uint32_t outQueue) {
    return tell(PortCall::Kind::SetupComm, handle, m_inner.setupComm(handle, inQueue, outQueue),
                {inQueue, outQueue});
}

namespace {

PortCall::Values timeoutValues(const CommTimeoutsRec& t) {
    return {t.readIntervalTimeout, t.readTotalTimeoutMultiplier, t.readTotalTimeoutConstant,
            t.writeTotalTimeoutMultiplier, t.writeTotalTimeoutConstant};
}

}  // namespace

ErrorCode RecordingPortSystem::getCommTimeouts(Handle handle, CommTimeoutsRec& timeouts) {
    const ErrorCode result = m_inner.getCommTimeouts(handle, timeouts);
    return tell(PortCall::Kind::GetCommTimeouts, handle, result, timeoutValues(timeouts));
}

ErrorCode RecordingPortSystem::setCommTimeouts(Handle handle, const CommTimeoutsRec& timeouts) {
    return tell(PortCall::Kind::SetCommTimeouts, handle, m_inner.setCommTimeouts(handle, timeouts),
                timeoutValues(timeouts));
}

EventHandle RecordingPortSystem::createEvent(bool manualReset, bool initialState,
                                             const char* name) {
    const EventHandle event = m_inner.createEvent(manualReset, initialState, name);
    tell(PortCall::Kind::CreateEvent, event, event != 0 ? kSuccess : m_inner.lastError(),
         {manualReset, initialState, name == nullptr}, name != nullptr ? name : "");
    return event;
}

ErrorCode RecordingPortSystem::closeEvent(EventHandle event) {
    return tell(PortCall::Kind::CloseEvent, event, m_inner.closeEvent(event));
}

ErrorCode RecordingPortSystem::waitForSingleObject(EventHandle event, std::uint32_t timeoutMs) {
    return tell(PortCall::Kind::Wait, event, m_inner.waitForSingleObject(event, timeoutMs),
                {timeoutMs});
}

ErrorCode RecordingPortSystem::writeFile(Handle handle, std::span<const std::uint8_t> bytes,
                                         std::uint32_t& written, WriteOverlapped* overlapped) {
    const ErrorCode result = m_inner.writeFile(handle, bytes, written, overlapped);
    return tell(PortCall::Kind::Write, handle, result, {written}, bytesOf(bytes));
}

ErrorCode RecordingPortSystem::readFile(Handle handle, std::uint8_t& byte, std::uint32_t& read,
                                        WriteOverlapped* overlapped) {
    const ErrorCode result = m_inner.readFile(handle, byte, read, overlapped);
    const bool came = result == kSuccess && read == 1;
    return tell(PortCall::Kind::Read, handle, result, {read}, came ? bytesOf({&byte, 1}) : "");
}

ErrorCode RecordingPortSystem::getOverlappedResult(Handle handle, WriteOverlapped& overlapped,
                                                   std::uint32_t& transferred, bool wait) {
    const ErrorCode result = m_inner.getOverlappedResult(handle, overlapped, transferred, wait);
    return tell(PortCall::Kind::OverlappedResult, handle, result, {transferred, wait});
}

ErrorCode RecordingPortSystem::getCommModemStatus(Handle handle, std::uint32_t& status) {
    const ErrorCode result = m_inner.getCommModemStatus(handle, status);
    return tell(PortCall::Kind::ModemStatus, handle, result, {status});
}

ErrorCode RecordingPortSystem::getDeviceId(Handle handle, std::string& id) {
    const ErrorCode result = m_inner.getDeviceId(handle, id);
    return tell(PortCall::Kind::DeviceId, handle, result, {}, result == kSuccess ? id : "");
}

ErrorCode RecordingPortSystem::closeHandle(Handle handle) {
    return tell(PortCall::Kind::Close, handle, m_inner.closeHandle(handle));
}

}  // namespace ports
