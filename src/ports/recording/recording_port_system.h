// A port seam that passes every call on to another and tells a listener what was called, with
// what and what came of it: the program's wire log listens so. It changes nothing on the way:
// the caller gets the result and the values of the seam behind it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "ports/port_system.h"

namespace ports {

// One call on the seam, as it came out.
struct PortCall {
    enum class Kind : std::uint8_t {
        Open,
        GetCommState,
        BuildCommDcb,
        SetCommState,
        Escape,
        Flush,
        Purge,
        ClearCommError,
        SetupComm,
        GetCommTimeouts,
        SetCommTimeouts,
        CreateEvent,
        CloseEvent,
        Wait,
        Write,
        Read,
        OverlappedResult,
        ModemStatus,
        DeviceId,
        Close,
    };
    Kind kind = Kind::Open;
    // kSuccess, or the code the call failed with (for an open or an event that could not be
    // created: the last error).
    ErrorCode result = kSuccess;
    // The port handle or event the call was made on, or the one it gave back.
    std::int32_t handle = 0;
    // The call's numbers, by kind:
    //   GetCommState, BuildCommDcb, SetCommState: the block (packLine)
    //   Escape: the function; Purge: the flags; SetupComm: the queue sizes
    //   ClearCommError: the error flags, the bytes come and the bytes still to send
    //   Get/SetCommTimeouts: the five time-outs in the record's order
    //   CreateEvent: manual reset, initial state, 1 when it has no name
    //   Wait: the time-out in ms; Write: the bytes taken; OverlappedResult: bytes, whether it
    //   waited ModemStatus: the status word
    using Values = std::array<std::uint32_t, 5>;
    Values values{};
    // The bytes written or read, the device name, the settings text, the event's name or the
    // device ID.
    std::string data;
};

// A line's settings as the first two of a call's numbers: the baud rate, then the byte size,
// parity, stop bits and flow control packed one byte each.
PortCall::Values packLine(const CommDcb& dcb);
CommDcb unpackLine(const PortCall::Values& values);

class PortCallListener {
public:
    virtual ~PortCallListener() = default;
    virtual void portCall(PortCall&& call) = 0;
};

class RecordingPortSystem final : public PortSystem {
public:
    RecordingPortSystem(PortSystem& inner, PortCallListener& listener)
        : m_inner(inner), m_listener(listener) {}

    Handle createFile(const std::string& device, std::uint32_t access, std::uint32_t shareMode,
                      std::uint32_t creation, std::uint32_t flags) override;
    ErrorCode lastError() const override { return m_inner.lastError(); }
    ErrorCode getCommState(Handle handle, CommDcb& dcb) override;
    ErrorCode buildCommDcb(const std::string& settings, CommDcb& dcb) override;
    ErrorCode setCommState(Handle handle, const CommDcb& dcb) override;
    ErrorCode escapeCommFunction(Handle handle, EscapeFunction function) override;
    ErrorCode flushFileBuffers(Handle handle) override;
    ErrorCode purgeComm(Handle handle, std::uint32_t flags) override;
    ErrorCode clearCommError(Handle handle, std::uint32_t& errors, CommStat& stat) override;
    ErrorCode setupComm(Handle handle, std::uint32_t inQueue, std::uint32_t outQueue) override;
    ErrorCode getCommTimeouts(Handle handle, CommTimeoutsRec& timeouts) override;
    ErrorCode setCommTimeouts(Handle handle, const CommTimeoutsRec& timeouts) override;
    EventHandle createEvent(bool manualReset, bool initialState, const char* name) override;
    ErrorCode closeEvent(EventHandle event) override;
    ErrorCode waitForSingleObject(EventHandle event, std::uint32_t timeoutMs) override;
    ErrorCode writeFile(Handle handle, std::span<const std::uint8_t> bytes, std::uint32_t& written,
                        WriteOverlapped* overlapped) override;
    ErrorCode readFile(Handle handle, std::uint8_t& byte, std::uint32_t& read,
                       WriteOverlapped* overlapped) override;
    ErrorCode getOverlappedResult(Handle handle, WriteOverlapped& overlapped,
                                  std::uint32_t& transferred, bool wait) override;
    ErrorCode getCommModemStatus(Handle handle, std::uint32_t& status) override;
    ErrorCode getDeviceId(Handle handle, std::string& id) override;
    ErrorCode closeHandle(Handle handle) override;
    // Not calls on a port: passed on unrecorded.
    std::vector<ClosingPort> closingPorts() const override { return m_inner.closingPorts(); }
    void stopClosing() override { m_inner.stopClosing(); }
    void setCloseWaitListener(CloseWaitListener* listener) override {
        m_inner.setCloseWaitListener(listener);
    }

private:
    ErrorCode tell(PortCall::Kind kind, Handle handle, ErrorCode result,
                   PortCall::Values values = {}, std::string data = {});

    PortSystem& m_inner;
    PortCallListener& m_listener;
};

}  // namespace ports
