// The port seam in tests: named devices that are present, missing, busy or taking no data;
// every call recorded in order as readable text, every write with its bytes; failures, pending
// writes, modem-status words and status replies scripted; and lines with a speed to simulated
// devices, in the test's virtual time.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ports/event_table.h"
#include "ports/port_system.h"
#include "ports/simulated_port.h"
#include "toolkit/clock.h"

namespace support {

// The functions of the seam, for scripting their results.
enum class Call {
    CreateFile,
    GetCommState,
    BuildCommDcb,
    SetCommState,
    EscapeCommFunction,
    FlushFileBuffers,
    PurgeComm,
    ClearCommError,
    SetupComm,
    GetCommTimeouts,
    SetCommTimeouts,
    CreateEvent,
    CloseEvent,
    WaitForSingleObject,
    WriteFile,
    ReadFile,
    GetOverlappedResult,
    GetCommModemStatus,
    CloseHandle,
};

// Devices are named as the screens name them; "\\.\COM1" and "COM1" are the same device. Like
// the real backends, a device opens only once at a time (a second open fails with EBUSY),
// handles and events are 1 or more and never reused, calls on an unknown or closed handle fail
// with EBADF, a rate that is no line speed (0) fails setCommState with EINVAL, a read finds
// only what has come, and a device that takes no data holds the writes to it 1 s in all (its
// stall budget). Codes are errno values, but for the platform's time-out code, kTimedOut.
//
// Each port is a line (devices::Line): COM ports serial lines at the rate set through
// setCommState, LPT ports fast parallel links. While nothing is attached to it, a port only
// records: its writes go nowhere at once, its reads answer the queued replies, its status reads
// the modem-status word. With a device attached, the port is a ports::SimulatedPort: written
// bytes queue, leave at the line's rate and reach the device, whose replies come back after
// their wire time, and every wait is bounded as the backends bound theirs, in virtual time.
class FakePortSystem final : public ports::PortSystem, private ports::WaitClock {
public:
    static constexpr std::size_t kAll = std::numeric_limits<std::size_t>::max();

    // COM1, COM2, LPT1 and LPT2 present and free, at 9600 baud 8N1.
    FakePortSystem();
    FakePortSystem(const FakePortSystem&) = delete;
    FakePortSystem& operator=(const FakePortSystem&) = delete;

    // Devices.
    void setPresent(const std::string& device);  // present and free again
    void setMissing(const std::string& device);  // opens fail with ENOENT
    void setBusy(const std::string& device);     // held elsewhere: opens fail with EBUSY
    // The far end hung up: every call on the device's handles but closeHandle fails with EIO,
    // and so does a new open.
    void hangUp(const std::string& device);
    // Whether the device takes data (the far end of its line). One that does not makes each
    // write wait what is left of the port's stall budget and fail with kTimedOut; the budget is
    // whole again once a write goes through.
    void setTakesData(const std::string& device, bool takes);
    bool isOpen(const std::string& device) const;
    // Every port handle and every event that is open now, oldest first.
    std::vector<ports::Handle> openHandles() const;
    std::vector<ports::EventHandle> openEvents() const;

    // Scripted results: calls `from` to `from + count - 1` of `call`, counted from now (0 is
    // the next one), fail with `code`. On writeFile, kIoPending makes a write pending: its
    // bytes still go out and its event is signalled when waited for. Later scripts win; scripts
    // whose calls are all past are forgotten, so a long run can keep adding them.
    void fail(Call call, ports::ErrorCode code, std::size_t from = 0, std::size_t count = 1);
    void failWrites(ports::ErrorCode code, std::size_t from = 0, std::size_t count = kAll) {
        fail(Call::WriteFile, code, from, count);
    }

    // The modem-status word every status read of a port with nothing attached answers (0 at
    // first).
    void setModemStatus(std::uint32_t word) { m_modemStatus = word; }
    // Bytes the device has sent: they wait in the input queue, whichever port is open, until
    // read (one per readFile, before any that came over the line) or purged; with none there,
    // a read fails with kTimedOut at once.
    void queueReplies(const std::vector<std::uint8_t>& bytes);

    // The test's clock: the fake reads the time from it, and a call that waits on a device (a
    // write to a device that takes no data, an event nothing signals, a full or draining line)
    // spends the time there. Without one the fake keeps a clock of its own.
    void useClock(toolkit::VirtualClock& clock) { m_clock = &clock; }
    // How long the fake's calls have kept their callers waiting, in all.
    toolkit::Millis waited() const { return m_waited; }

    // Puts a device on the far end of the port's line (null takes it away); the test and the
    // line share it. The device hears its bytes as the fake's calls move the line on; line()
    // brings it up to now.
    void attach(const std::string& device, std::shared_ptr<devices::Device> farEnd);
    // The port's line, moved on to now: its queues, its far end's state (stuck, switched off).
    devices::Line& line(const std::string& device);

    // What happened, in order: "createFile(\\.\COM1)", "writeFile(1, 41 00)", ... (the
    // formats are those of the call functions below).
    const std::vector<std::string>& calls() const { return m_calls; }
    // The bytes of each writeFile call, one entry per call, failed ones included.
    std::vector<std::vector<std::uint8_t>> writes() const;
    // The bytes of the writes that went out (succeeded or pending), in order.
    std::vector<std::uint8_t> bytesWritten() const;
    // Forgets calls and writes, e.g. after a screen has loaded.
    void clearCalls();

    ports::Handle createFile(const std::string& device, std::uint32_t access,
                             std::uint32_t shareMode, std::uint32_t creation,
                             std::uint32_t flags) override;
    ports::ErrorCode lastError() const override { return m_lastError; }

    ports::ErrorCode getCommState(ports::Handle handle, ports::CommDcb& dcb) override;
    ports::ErrorCode buildCommDcb(const std::string& settings, ports::CommDcb& dcb) override;
    ports::ErrorCode setCommState(ports::Handle handle, const ports::CommDcb& dcb) override;
    ports::ErrorCode escapeCommFunction(ports::Handle handle,
                                        ports::EscapeFunction function) override;

    ports::ErrorCode flushFileBuffers(ports::Handle handle) override;
    ports::ErrorCode purgeComm(ports::Handle handle, std::uint32_t flags) override;
    ports::ErrorCode clearCommError(ports::Handle handle, std::uint32_t& errors,
                                    ports::CommStat& stat) override;
    ports::ErrorCode setupComm(ports::Handle handle, std::uint32_t inQueue,
                               std::uint32_t outQueue) override;
    ports::ErrorCode getCommTimeouts(ports::Handle handle,
                                     ports::CommTimeoutsRec& timeouts) override;
    ports::ErrorCode setCommTimeouts(ports::Handle handle,
                                     const ports::CommTimeoutsRec& timeouts) override;

    ports::EventHandle createEvent(bool manualReset, bool initialState, const char* name) override;
    ports::ErrorCode closeEvent(ports::EventHandle event) override;
    ports::ErrorCode waitForSingleObject(ports::EventHandle event,
                                         std::uint32_t timeoutMs) override;

    ports::ErrorCode writeFile(ports::Handle handle, std::span<const std::uint8_t> bytes,
                               std::uint32_t& written, ports::WriteOverlapped* overlapped) override;
    ports::ErrorCode readFile(ports::Handle handle, std::uint8_t& byte, std::uint32_t& read,
                              ports::WriteOverlapped* overlapped) override;
    ports::ErrorCode getOverlappedResult(ports::Handle handle, ports::WriteOverlapped& overlapped,
                                         std::uint32_t& transferred, bool wait) override;

    ports::ErrorCode getCommModemStatus(ports::Handle handle, std::uint32_t& status) override;

    ports::ErrorCode closeHandle(ports::Handle handle) override;

private:
    enum class Presence { Present, Missing, Busy };
    struct Device {
        Presence presence = Presence::Present;
        bool hungUp = false;
        ports::Handle handle = ports::kInvalidHandle;
        ports::CommDcb dcb;
        ports::CommTimeoutsRec timeouts;
        ports::SimulatedPort port{devices::Line()};
    };
    struct Script {
        std::size_t first;
        std::size_t end;
        ports::ErrorCode code;
    };

    Device& device(const std::string& name);
    // Records the call and answers its scripted failure, if any.
    ports::ErrorCode begin(Call call, std::initializer_list<std::string> arguments);
    // The device open under the handle, or null.
    Device* deviceOf(ports::Handle handle);
    // EBADF for no device, EIO for a call on the line of a device that hung up.
    ports::ErrorCode check(const Device* d, bool touchesLine);
    ports::ErrorCode fail(ports::ErrorCode code);
    devices::Time now() const override { return m_clock->now(); }
    // To the next whole millisecond.
    void waitUntil(devices::Time t) override;

    std::map<std::string, Device> m_devices;
    std::map<Call, std::size_t> m_callCounts;
    std::map<Call, std::vector<Script>> m_scripts;
    ports::EventTable m_events;
    std::vector<std::string> m_calls;
    struct Write {
        std::vector<std::uint8_t> bytes;
        ports::ErrorCode result;
    };
    std::vector<Write> m_writes;
    std::deque<std::uint8_t> m_replies;  // not yet read
    toolkit::VirtualClock m_ownClock;
    toolkit::VirtualClock* m_clock = &m_ownClock;
    toolkit::Millis m_waited{0};
    std::uint32_t m_modemStatus = 0;
    ports::Handle m_nextHandle = 1;
    ports::ErrorCode m_lastError = ports::kSuccess;
};

}  // namespace support
