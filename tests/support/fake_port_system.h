// The port seam in tests: the program's simulated ports (sim::SimulatedPortSystem) in the
// test's virtual time, with devices that are missing, busy or hung up; failures, pending writes,
// modem-status words and replies scripted; and every call recorded in order as readable text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ports/recording/recording_port_system.h"
#include "sim/simulated_port_system.h"
#include "toolkit/clock.h"

namespace support {

// The functions of the seam, for scripting their results.
using Call = ports::PortCall::Kind;

// The ports are the simulated ones, COM1 and COM2 at 9600 baud 8N1, LPT1 and LPT2 parallel,
// with nothing on their lines: writes go nowhere at once, reads answer the queued replies, a
// status read the modem-status word. A device attached to a line hears its bytes at the line's
// rate and answers after their wire time, every wait bounded as the backends bound theirs.
// Codes are errno values, but for the platform's time-out code, kTimedOut.
class FakePortSystem final : private ports::PortCallListener, private sim::WaitClock {
public:
    static constexpr std::size_t kAll = std::numeric_limits<std::size_t>::max();

    FakePortSystem();
    ~FakePortSystem() override;
    FakePortSystem(const FakePortSystem&) = delete;
    FakePortSystem& operator=(const FakePortSystem&) = delete;

    // The seam the screens and the tests call, each call recorded.
    operator ports::PortSystem&() { return m_recorder; }

    // Devices.
    void setPresent(const std::string& device);  // present and free again
    void setMissing(const std::string& device);  // opens fail with ENOENT
    void setBusy(const std::string& device);     // held elsewhere: opens fail with EBUSY
    // The far end hung up: every call on the device's handles but closeHandle fails with EIO,
    // and so does a new open.
    void hangUp(const std::string& device);
    // Whether the device takes data (the far end of its line). One that does not makes each
    // write wait what is left of the port's stall budget and fail with kTimedOut; the budget
    // comes back once the device takes data again (ports/stall_budget.h).
    void setTakesData(const std::string& device, bool takes);
    bool isOpen(const std::string& device) const;
    // Every port handle and every event that is open now, oldest first.
    std::vector<ports::Handle> openHandles() const;
    std::vector<ports::EventHandle> openEvents() const;

    // Scripted results: calls `from` to `from + count - 1` of `call`, counted from now (0 is
    // the next one), fail with `code`. On writeFile, kIoPending makes a write pending: its
    // bytes still go out and its event is signalled. Later scripts win; scripts whose calls are
    // all past are forgotten, so a long run can keep adding them.
    void fail(Call call, ports::ErrorCode code, std::size_t from = 0, std::size_t count = 1);
    void failWrites(ports::ErrorCode code, std::size_t from = 0, std::size_t count = kAll) {
        fail(Call::Write, code, from, count);
    }

    // The modem-status word every status read of a port with nothing attached answers (0 at
    // first).
    void setModemStatus(std::uint32_t word) { m_modemStatus = word; }
    // Bytes the device has sent: they wait in the input queue, whichever port is open, until
    // read (one per readFile, before any that came over the line) or purged.
    void queueReplies(const std::vector<std::uint8_t>& bytes);

    // The test's clock: a call that waits on a device spends the time there. Without one the
    // fake keeps a clock of its own.
    void useClock(toolkit::VirtualClock& clock) { m_clock = &clock; }
    // How long the fake's calls have kept their callers waiting, in all.
    toolkit::Millis waited() const { return m_waited; }

    // Puts a device on the far end of the port's line (null takes it away); the test and the
    // line share it.
    void attach(const std::string& device, std::shared_ptr<sim::Device> farEnd);
    // The port's line, moved on to now: its queues, its far end's state (stuck, switched off).
    sim::Line& line(const std::string& device);

    // What happened, in order: "createFile(\\.\COM1)", "writeFile(1, 41 00)", ...
    const std::vector<std::string>& calls() const { return m_calls; }
    // The bytes of each writeFile call, one entry per call, failed ones included.
    std::vector<std::vector<std::uint8_t>> writes() const;
    // The bytes of the writes that went out (succeeded or pending), in order.
    std::vector<std::uint8_t> bytesWritten() const;
    // Forgets calls and writes, e.g. after a screen has loaded.
    void clearCalls();

private:
    class Scripted;
    struct Script {
        std::size_t first;
        std::size_t end;
        ports::ErrorCode code;
    };
    struct Write {
        std::vector<std::uint8_t> bytes;
        ports::ErrorCode result;
    };

    void portCall(ports::PortCall&& call) override;
    sim::Time now() const override { return m_clock->now(); }
    // To the next whole millisecond.
    void waitUntil(sim::Time t) override;

    toolkit::VirtualClock m_ownClock;
    toolkit::VirtualClock* m_clock = &m_ownClock;
    toolkit::Millis m_waited{0};
    std::map<Call, std::size_t> m_callCounts;
    std::map<Call, std::vector<Script>> m_scripts;
    // ENOENT for a missing device, EBUSY for a busy one, EIO for one that hung up.
    std::map<std::string, ports::ErrorCode> m_openFails;
    std::deque<std::uint8_t> m_replies;  // not yet read
    std::uint32_t m_modemStatus = 0;
    std::vector<std::string> m_calls;
    std::vector<Write> m_writes;
    std::unique_ptr<Scripted> m_ports;
    ports::RecordingPortSystem m_recorder;
};

}  // namespace support
