// What every backend of the seam keeps alike: the open media behind handles that are 1 or more
// and never reused, the events of a backend whose reads and writes end before they return, the
// last error, and the closes that let a port's output leave in the background. A backend opens
// the medium a port's device needs and hands it over; every other call goes to the medium of
// its handle.
#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ports/backends/closing_ports.h"
#include "ports/backends/event_table.h"
#include "ports/medium.h"
#include "ports/port_system.h"

namespace ports {

class PortSystemBase : public PortSystem {
public:
    // The platform's codes for a handle or event that is not open, and for a wait that ran out.
    struct Codes {
        ErrorCode badHandle;
        ErrorCode waitTimedOut;
    };

    ~PortSystemBase() override;
    PortSystemBase(const PortSystemBase&) = delete;
    PortSystemBase& operator=(const PortSystemBase&) = delete;

    ErrorCode lastError() const override { return m_lastError; }

    ErrorCode getCommState(Handle handle, CommDcb& dcb) override;
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

    // A port still sending is let go in the background: the window goes on at once.
    ErrorCode closeHandle(Handle handle) override;
    // Closes as closeHandle does, but waits for what the port still sends: kSuccess once the
    // device has taken all of it, else the code of what stopped it. The command line calls a
    // run done only then.
    ErrorCode closeAndAwait(Handle handle);

    std::vector<ClosingPort> closingPorts() const override;
    void stopClosing() override;
    void setCloseWaitListener(CloseWaitListener* listener) override { m_listener = listener; }

    // Every event open now, oldest first.
    std::vector<EventHandle> openEvents() const { return m_events.open(); }

protected:
    explicit PortSystemBase(Codes codes) : m_codes(codes) {}

    // Keeps the code for lastError and returns it.
    ErrorCode fail(ErrorCode code);
    // The open medium of a handle, or null.
    Medium* find(Handle handle);
    // The handle of a medium that has just opened, by the name the screen opened it.
    Handle adopt(std::unique_ptr<Medium> medium, std::string port);
    // Before a device opens: waits while an earlier close of it still sends, telling the
    // listener; `port` is the name the screen opens it by.
    void awaitClosing(const std::string& deviceKey, const std::string& port);
    CloseWaitListener* closeWaitListener() const { return m_listener; }
    // Closes every port still open, at the owner's end (each close in the background, as ever).
    void closeAll();

    // Lets time pass in the backend's time: the bound of a wait for an event nothing signals.
    virtual void sleepFor(std::chrono::milliseconds duration);

private:
    struct Open {
        std::unique_ptr<Medium> medium;
        std::string port;
    };
    // The call on a handle's medium, or the bad-handle code.
    template <class Call>
    ErrorCode onMedium(Handle handle, Call call);
    // Ends a read or write: fills the overlapped record and signals its event on success.
    ErrorCode complete(WriteOverlapped* overlapped, ErrorCode code, std::uint32_t count);

    Codes m_codes;
    std::map<Handle, Open> m_media;
    EventTable m_events;
    // Never reused, so a handle kept after its close can never reach a later port.
    Handle m_nextHandle = 1;
    ErrorCode m_lastError = kSuccess;
    CloseWaitListener* m_listener = nullptr;
    // Last, so that it waits for the closes before anything else goes.
    mutable ClosingPorts m_closing;
};

}  // namespace ports
