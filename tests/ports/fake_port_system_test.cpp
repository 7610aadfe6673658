// The fake port backend's scripting: each scripted result lands on the call it names, and its
// waits take the real backends' times. (Its rules shared with the real backend are checked
// against both in the POSIX backend's test; the screens' tests use every other script.)
#include "support/fake_port_system.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "port_calls.h"
#include "toolkit/clock.h"

namespace {

using namespace porttest;
using support::Call;

TEST(FakePortSystem, ScriptedResultsLandOnTheCallsTheyName) {
    support::FakePortSystem fake;
    const ports::Handle h = open(fake, "COM1");
    // Writes 1 and 2 (counted from 0) fail; the failed ones are recorded, their bytes not sent.
    fake.failWrites(code(EIO), 1, 2);
    fake.fail(Call::GetCommState, code(EPERM), 1);
    const ports::ErrorCode expected[] = {ports::kSuccess, code(EIO), code(EIO), ports::kSuccess};
    ports::CommDcb dcb;
    for (std::uint8_t i = 0; i < 4; ++i) {
        EXPECT_EQ(write(fake, h, {i}), expected[i]) << "write " << int{i};
        EXPECT_EQ(fake.getCommState(h, dcb), i == 1 ? code(EPERM) : ports::kSuccess) << int{i};
    }
    EXPECT_EQ(fake.writes().size(), 4u);
    EXPECT_EQ(fake.bytesWritten(), (Bytes{0, 3}));

    // A pending write goes out, its event is signalled and its result tells the full count.
    ports::WriteOverlapped overlapped;
    overlapped.event = fake.createEvent(true, false, nullptr);
    fake.failWrites(ports::kIoPending, 0, 1);
    std::uint32_t count = 9;
    EXPECT_EQ(fake.writeFile(h, Bytes{0x41, 0x00}, count, &overlapped), ports::kIoPending);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(fake.bytesWritten(), (Bytes{0, 3, 0x41, 0x00}));
    EXPECT_EQ(fake.waitForSingleObject(overlapped.event, 1000), ports::kSuccess);
    EXPECT_EQ(fake.getOverlappedResult(h, overlapped, count, false), ports::kSuccess);
    EXPECT_EQ(count, 2u);
}

TEST(FakePortSystem, RepliesSilenceAndHangUp) {
    support::FakePortSystem fake;
    toolkit::VirtualClock clock;
    fake.setWaitHook([&clock](toolkit::Millis d) { clock.spend(d); });
    const ports::Handle h = open(fake, "COM1");
    // Replies wait in the input queue until read or purged; a read never waits. An event
    // nothing signals: 1 s.
    fake.queueReplies({0x16, 0x00, 0x12});
    std::uint8_t byte = 0;
    std::uint32_t read = 0;
    std::uint32_t errors = 9;
    ports::CommStat queues;
    for (const int reply : {0x16, 0x00}) {
        EXPECT_EQ(fake.readFile(h, byte, read, nullptr), ports::kSuccess);
        EXPECT_EQ(byte, reply);
    }
    EXPECT_EQ(fake.clearCommError(h, errors, queues), ports::kSuccess);
    EXPECT_EQ(queues.inQueue, 1u);
    EXPECT_EQ(fake.purgeComm(h, ports::kPurgeRxClear), ports::kSuccess);
    EXPECT_EQ(fake.readFile(h, byte, read, nullptr), ports::kTimedOut);
    EXPECT_EQ(fake.waitForSingleObject(fake.createEvent(true, false, "0"), 0xFFFFFFFF),
              code(ETIMEDOUT));
    EXPECT_EQ(clock.now(), toolkit::Millis(1000));

    // A hung-up line fails every call but the close, and a new open, until it is back.
    fake.hangUp("\\\\.\\COM1");
    EXPECT_EQ(write(fake, h, {0x41}), code(EIO));
    EXPECT_EQ(fake.closeHandle(h), ports::kSuccess);
    EXPECT_EQ(open(fake, "COM1"), ports::kInvalidHandle);
    EXPECT_EQ(fake.lastError(), code(EIO));
    fake.setPresent("COM1");
    EXPECT_GE(open(fake, "COM1"), 1);
}

}  // namespace
