// The simulated ports behind the fake: the port contract the real backends hold, and waits
// that take the real backends' times. Their lines, in virtual time: bytes leave at the line's
// rate, a write waits for room, a close lets the queue leave within its bound, replies come
// after their wire time, and a device that takes nothing holds the calls to it a second in all,
// a whole second again should it stop again.
#include "support/fake_port_system.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <tuple>
#include <utility>

#include "ports/port_contract.h"
#include "sim/printer.h"
#include "toolkit/clock.h"

namespace {

using namespace porttest;
using namespace std::chrono_literals;
using FarEnd = sim::Line::FarEnd;

TEST(FakePortSystem, HoldsThePortContract) {
    support::FakePortSystem fake;
    fake.setMissing("COM2");
    std::size_t received = 0;
    expectContract(fake, {code(ENOENT), code(EBUSY), code(EBADF), code(EINVAL), ports::kTimedOut,
                          [&](std::size_t) {
                              const Bytes all = fake.bytesWritten();
                              return Bytes(all.begin() + static_cast<long>(
                                                             std::exchange(received, all.size())),
                                           all.end());
                          },
                          [&](const Bytes& bytes) { fake.queueReplies(bytes); }});
}

TEST(FakePortSystem, AnEventNothingSignalsWaitsItsBound) {
    support::FakePortSystem fake;
    toolkit::VirtualClock clock;
    fake.useClock(clock);
    ports::PortSystem& seam = fake;
    EXPECT_EQ(seam.waitForSingleObject(seam.createEvent(true, false, "0"), 0xFFFFFFFF),
              ports::kTimedOut);
    EXPECT_EQ(clock.now(), toolkit::Millis(1000));
}

// COM1 with an Epson printer on its line, on the test's clock.
class FakeLine : public ::testing::Test {
protected:
    FakeLine() {
        fake.useClock(clock);
        fake.attach("COM1", printer);
        handle = open(fake, "COM1");
    }
    sim::Line& line() { return fake.line("COM1"); }
    std::size_t outputQueued() { return line().outputQueued(clock.now()); }
    // Takes a byte that has come.
    ports::ErrorCode read(std::uint8_t& byte) {
        std::uint32_t count = 0;
        return seam.readFile(handle, byte, count, nullptr);
    }

    toolkit::VirtualClock clock;
    support::FakePortSystem fake;
    ports::PortSystem& seam = fake;
    std::shared_ptr<sim::Printer> printer =
        std::make_shared<sim::Printer>(protocol::epsonCommands());
    ports::Handle handle;
};

TEST_F(FakeLine, BytesLeaveAtTheRateOfTheLine) {
    fake.attach("LPT1", std::make_shared<sim::Printer>(protocol::epsonCommands()));
    const ports::Handle lpt = open(fake, "LPT1");  // its own pace, whatever rate it is told
    for (const auto& [port, settings, bytes, time] :
         {std::tuple{handle, "COM1:9600,n,8,1", 480, 500ms},
          std::tuple{handle, "COM1:300,e,7,2", 15, 550ms},
          std::tuple{lpt, "COM1:300,n,8,1", 4000, 40ms}}) {
        ASSERT_EQ(setUp(fake, port, settings), ports::kSuccess);
        const toolkit::Millis start = clock.now();
        ASSERT_EQ(write(fake, port, Bytes(bytes, 'x')), ports::kSuccess);
        EXPECT_EQ(clock.now(), start) << "the bytes fit the queue";
        EXPECT_EQ(seam.flushFileBuffers(port), ports::kSuccess);
        EXPECT_EQ(clock.now() - start, time) << settings;
    }
}

TEST_F(FakeLine, AWriteWaitsForRoomAFlushForTheWireAndACloseLetsTheQueueLeaveWithinItsBound) {
    EXPECT_EQ(write(fake, handle, Bytes(5000, 'x')), ports::kSuccess);
    EXPECT_EQ(clock.now(), 942ms) << "904 bytes had to leave first";
    EXPECT_EQ(outputQueued(), sim::Line::kOutputQueueSize);
    EXPECT_EQ(seam.flushFileBuffers(handle), ports::kTimedOut);
    EXPECT_EQ(clock.now(), 1942ms);
    // A close returns at once; the rest leaves behind it at the line's rate, none dropped.
    EXPECT_EQ(seam.closeHandle(handle), ports::kSuccess);
    EXPECT_EQ(clock.now(), 1942ms);
    const auto lastLeaves = std::chrono::ceil<toolkit::Millis>(line().wireFreeAt());
    clock.spend(lastLeaves - clock.now() - 1ms);
    EXPECT_EQ(outputQueued(), 1u);
    clock.spend(1ms);
    EXPECT_EQ(outputQueued(), 0u);

    // A device that takes nothing keeps its queue for the bytes' wire time and 1 s more; an
    // open meanwhile waits for that, and finds the line empty.
    handle = open(fake, "COM1");
    fake.setTakesData("COM1", false);
    ASSERT_EQ(write(fake, handle, Bytes(96, 'x')), ports::kSuccess);
    const toolkit::Millis closed = clock.now();
    EXPECT_EQ(seam.closeHandle(handle), ports::kSuccess);
    handle = open(fake, "COM1");
    EXPECT_EQ(clock.now() - closed, 1100ms);
    EXPECT_EQ(outputQueued(), 0u);
    fake.setTakesData("COM1", true);

    // A new rate takes the bytes behind the one on the wire.
    ASSERT_EQ(write(fake, handle, {0x05}), ports::kSuccess);
    ASSERT_EQ(write(fake, handle, Bytes(96, 'x')), ports::kSuccess);
    ASSERT_EQ(setUp(fake, handle, "COM1:1200,n,8,1"), ports::kSuccess);
    const toolkit::Millis start = clock.now();
    EXPECT_EQ(seam.flushFileBuffers(handle), ports::kSuccess);
    EXPECT_EQ(clock.now() - start, 802ms);
}

TEST_F(FakeLine, RepliesComeAfterTheirWireTime) {
    std::uint8_t byte = 0;
    ASSERT_EQ(write(fake, handle, {0x10, 0x04, 0x01}), ports::kSuccess);
    clock.spend(4ms);
    EXPECT_EQ(read(byte), ports::kTimedOut) << "three bytes out, one back: 4.2 ms";
    clock.spend(1ms);
    EXPECT_EQ(seam.purgeComm(handle, ports::kPurgeTxClear), ports::kSuccess);  // output alone
    EXPECT_EQ(read(byte), ports::kSuccess);
    EXPECT_EQ(byte, 0x16);

    // Behind a line of text the reply comes 108 ms later, and waits in the input queue.
    Bytes behind(100, 'x');
    behind.insert(behind.end(), {0x10, 0x04, 0x01});
    ASSERT_EQ(write(fake, handle, behind), ports::kSuccess);
    std::uint32_t errors = 0;
    ports::CommStat queues;
    for (const auto& [after, in, out] : {std::tuple{100ms, 0u, 7u}, std::tuple{9ms, 1u, 0u}}) {
        clock.spend(after);
        ASSERT_EQ(seam.clearCommError(handle, errors, queues), ports::kSuccess);
        EXPECT_EQ(std::pair(queues.inQueue, queues.outQueue), std::pair(in, out));
    }
    EXPECT_EQ(seam.purgeComm(handle, ports::kPurgeRxClear), ports::kSuccess);
    EXPECT_EQ(read(byte), ports::kTimedOut);

    // A slow printer answers its delay later.
    line().setReplyDelay(120ms);
    ASSERT_EQ(write(fake, handle, {0x10, 0x04, 0x01}), ports::kSuccess);
    clock.spend(124ms);
    EXPECT_EQ(read(byte), ports::kTimedOut);
    clock.spend(1ms);
    EXPECT_EQ(read(byte), ports::kSuccess);
    line().setReplyDelay({});

    // A printer that is on holds CTS and DSR; switched off, it drives nothing and never answers.
    std::uint32_t lines = 0;
    EXPECT_EQ(seam.getCommModemStatus(handle, lines), ports::kSuccess);
    EXPECT_EQ(lines, ports::kCtsOn | ports::kDsrOn);
    line().setFarEnd(FarEnd::SwitchedOff, clock.now());
    ASSERT_EQ(write(fake, handle, {0x10, 0x04, 0x01}), ports::kSuccess);
    clock.spend(100ms);
    EXPECT_EQ(read(byte), ports::kTimedOut);
    EXPECT_EQ(seam.getCommModemStatus(handle, lines), ports::kSuccess);
    EXPECT_EQ(lines, 0u);
}

TEST_F(FakeLine, ADeviceThatTakesNothingHoldsTheWritesToItASecondInAll) {
    ASSERT_EQ(write(fake, handle, Bytes(96, 'x')), ports::kSuccess);
    fake.setTakesData("COM1", false);
    std::uint32_t written = 0;
    EXPECT_EQ(write(fake, handle, Bytes(5000, 'x'), &written), ports::kTimedOut);
    EXPECT_EQ(written, sim::Line::kOutputQueueSize - 96) << "not even those 96 left";
    EXPECT_EQ(clock.now(), 1000ms);
    // The budget spent, calls fail at once until the device takes bytes again.
    EXPECT_EQ(write(fake, handle, {0x05}, &written), ports::kTimedOut);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(seam.flushFileBuffers(handle), ports::kTimedOut);
    EXPECT_EQ(clock.now(), 1000ms);
    fake.setTakesData("COM1", true);
    EXPECT_EQ(write(fake, handle, {0x05}), ports::kTimedOut) << "no room yet";
    EXPECT_EQ(seam.flushFileBuffers(handle), ports::kTimedOut) << "4.3 s of bytes before it";
    // It took bytes meanwhile: should it stop again, the calls wait a whole second again.
    fake.setTakesData("COM1", false);
    const toolkit::Millis stopped = clock.now();
    EXPECT_EQ(seam.flushFileBuffers(handle), ports::kTimedOut);
    EXPECT_EQ(clock.now() - stopped, 1000ms);
}

// A printer that trickles (its buffer full, it takes a byte as it prints one) holds the calls
// of a click a second in all: bytes taken slower than the link carries them give no time back.
// Time away from its waits does.
TEST_F(FakeLine, APrinterThatTricklesHoldsTheCallsToItASecondInAll) {
    fake.attach("LPT1", std::make_shared<sim::Printer>(protocol::epsonCommands()));
    const ports::Handle lpt = open(fake, "LPT1");
    ASSERT_EQ(write(fake, lpt, Bytes(sim::Line::kOutputQueueSize, 'x')), ports::kSuccess);
    fake.line("LPT1").setFarEnd(FarEnd::Trickles, clock.now());
    std::uint32_t written = 0;
    EXPECT_EQ(write(fake, lpt, Bytes(100, 'x'), &written), ports::kTimedOut);
    EXPECT_EQ(written, 10u) << "one each 100 ms";
    EXPECT_EQ(write(fake, lpt, {0x05}, &written), ports::kTimedOut);
    EXPECT_EQ(seam.flushFileBuffers(lpt), ports::kTimedOut);
    EXPECT_EQ(clock.now(), 1000ms);
    clock.spend(400ms);
    const toolkit::Millis away = clock.now();
    EXPECT_EQ(write(fake, lpt, Bytes(100, 'x'), &written), ports::kTimedOut);
    EXPECT_EQ(clock.now() - away, 400ms);
}

}  // namespace
