// The fake port backend: devices, call and write records, and scripted results.
#include "support/fake_port_system.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "toolkit/clock.h"

namespace {

using ports::ErrorCode;
using support::Call;
using support::FakePortSystem;

constexpr ErrorCode code(int errnoValue) {
    return static_cast<ErrorCode>(errnoValue);
}

ports::Handle open(FakePortSystem& fake, const std::string& name) {
    return fake.createFile(name, ports::kGenericReadWrite, ports::kShareReadWrite,
                           ports::kOpenExisting, ports::kPlainFile);
}

ErrorCode write(FakePortSystem& fake, ports::Handle handle, std::vector<std::uint8_t> bytes,
                ports::WriteOverlapped* overlapped = nullptr) {
    std::uint32_t written = 0;
    return fake.writeFile(handle, bytes, written, overlapped);
}

TEST(FakePortSystem, DevicesArePresentMissingBusyOrHeld) {
    FakePortSystem fake;
    const ports::Handle com1 = open(fake, "\\\\.\\COM1");
    EXPECT_GE(com1, 1);
    EXPECT_EQ(fake.handleOf("COM1"), com1) << "both spellings are one device";
    EXPECT_EQ(open(fake, "COM1"), ports::kInvalidHandle);
    EXPECT_EQ(fake.lastError(), code(EBUSY));

    fake.setBusy("COM2");
    EXPECT_EQ(open(fake, "COM2"), ports::kInvalidHandle);
    EXPECT_EQ(fake.lastError(), code(EBUSY));
    fake.setMissing("LPT2");
    EXPECT_EQ(open(fake, "LPT2"), ports::kInvalidHandle);
    EXPECT_EQ(fake.lastError(), code(ENOENT));
    EXPECT_EQ(open(fake, "COM3"), ports::kInvalidHandle);
    EXPECT_EQ(fake.lastError(), code(ENOENT));
    fake.setPresent("COM3");
    EXPECT_GE(open(fake, "COM3"), 1);

    EXPECT_EQ(fake.closeHandle(com1), ports::kSuccess);
    EXPECT_FALSE(fake.isOpen("COM1"));
    EXPECT_EQ(fake.closeHandle(com1), code(EBADF));
    EXPECT_EQ(write(fake, com1, {0x41}), code(EBADF));
    EXPECT_GT(open(fake, "COM1"), com1) << "handles are never reused";
}

TEST(FakePortSystem, RecordsEveryCallInOrder) {
    FakePortSystem fake;
    ports::SharedRecords records;
    const ports::Handle h = open(fake, "\\\\.\\COM2");
    fake.getCommState(h, records.commDcb);
    fake.buildCommDcb("COM2:4800,n,8,1", records.commDcb);
    fake.setCommState(h, records.commDcb);
    fake.escapeCommFunction(h, ports::EscapeFunction::SetRts);
    fake.escapeCommFunction(h, ports::EscapeFunction::SetDtr);
    records.writeOverlapped.event = fake.createEvent(true, false, "0");
    fake.flushFileBuffers(h);
    write(fake, h, {0x07, 0x00}, &records.writeOverlapped);
    write(fake, h, {0x1B, 0x70}, &records.writeOverlapped);
    fake.closeEvent(records.writeOverlapped.event);
    fake.purgeComm(h, ports::kPurgeTxClear);
    fake.setupComm(h, 0, 0);
    fake.getCommTimeouts(h, records.commTimeouts);
    records.commTimeouts.readIntervalTimeout = 50;
    fake.setCommTimeouts(h, records.commTimeouts);
    fake.createEvent(true, false, nullptr);
    fake.closeHandle(h);

    EXPECT_EQ(fake.calls(), (std::vector<std::string>{
                                "createFile(\\\\.\\COM2)",
                                "getCommState(1)",
                                "buildCommDcb(COM2:4800,n,8,1)",
                                "setCommState(1, 4800,n,8,1)",
                                "escapeCommFunction(1, SETRTS)",
                                "escapeCommFunction(1, SETDTR)",
                                "createEvent(true, false, \"0\")",
                                "flushFileBuffers(1)",
                                "writeFile(1, 07 00)",
                                "writeFile(1, 1B 70)",
                                "closeEvent(1)",
                                "purgeComm(1, 4)",
                                "setupComm(1, 0, 0)",
                                "getCommTimeouts(1)",
                                "setCommTimeouts(1, 50, 0, 0, 0, 0)",
                                "createEvent(true, false, null)",
                                "closeHandle(1)",
                            }));
    EXPECT_EQ(fake.writes(), (std::vector<std::vector<std::uint8_t>>{{0x07, 0x00}, {0x1B, 0x70}}));
    EXPECT_EQ(fake.bytesWritten(), (std::vector<std::uint8_t>{0x07, 0x00, 0x1B, 0x70}));
    EXPECT_EQ(fake.writeRecords().at(0).device, "COM2");
    EXPECT_EQ(fake.writeRecords().at(0).handle, h);

    fake.clearCalls();
    EXPECT_TRUE(fake.calls().empty());
    EXPECT_TRUE(fake.writes().empty());
}

TEST(FakePortSystem, ScriptedWriteFailuresAndPendingWrites) {
    FakePortSystem fake;
    const ports::Handle h = open(fake, "LPT1");
    fake.failWrites(code(EIO), 1, 2);
    EXPECT_EQ(write(fake, h, {1}), ports::kSuccess);
    EXPECT_EQ(write(fake, h, {2}), code(EIO));
    EXPECT_EQ(write(fake, h, {3}), code(EIO));
    EXPECT_EQ(fake.lastError(), code(EIO));
    EXPECT_EQ(write(fake, h, {4}), ports::kSuccess);
    EXPECT_EQ(fake.writes().size(), 4u) << "failed writes are recorded too";
    EXPECT_EQ(fake.bytesWritten(), (std::vector<std::uint8_t>{1, 4}));

    // A pending write goes out, its event is signalled and its result tells the full count.
    ports::WriteOverlapped overlapped;
    overlapped.event = fake.createEvent(true, false, nullptr);
    fake.failWrites(ports::kIoPending, 0, 1);
    std::uint32_t written = 99;
    const std::vector<std::uint8_t> pair{0x41, 0x00};
    EXPECT_EQ(fake.writeFile(h, pair, written, &overlapped), ports::kIoPending);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(fake.lastError(), ports::kIoPending);
    EXPECT_EQ(fake.waitForSingleObject(overlapped.event, 1000), ports::kSuccess);
    std::uint32_t transferred = 0;
    EXPECT_EQ(fake.getOverlappedResult(h, overlapped, transferred, false), ports::kSuccess);
    EXPECT_EQ(transferred, 2u);
    EXPECT_EQ(fake.bytesWritten().size(), 4u);

    fake.fail(Call::WaitForSingleObject, code(ETIMEDOUT));
    fake.fail(Call::GetOverlappedResult, code(EIO));
    EXPECT_EQ(fake.waitForSingleObject(overlapped.event, 1000), code(ETIMEDOUT));
    EXPECT_EQ(fake.getOverlappedResult(h, overlapped, transferred, false), code(EIO));
    EXPECT_EQ(fake.waitForSingleObject(overlapped.event, 1000), ports::kSuccess);
}

TEST(FakePortSystem, ScriptedFailuresOfOtherCalls) {
    FakePortSystem fake;
    fake.fail(Call::CreateFile, code(EACCES));
    EXPECT_EQ(open(fake, "COM1"), ports::kInvalidHandle);
    EXPECT_EQ(fake.lastError(), code(EACCES));
    const ports::Handle h = open(fake, "COM1");
    ASSERT_GE(h, 1);

    fake.fail(Call::CreateEvent, code(ENOMEM));
    EXPECT_EQ(fake.createEvent(true, false, "0"), 0);
    EXPECT_EQ(fake.lastError(), code(ENOMEM));

    ports::CommDcb dcb;
    fake.fail(Call::GetCommState, code(EIO), 1);
    EXPECT_EQ(fake.getCommState(h, dcb), ports::kSuccess);
    EXPECT_EQ(dcb.baudRate, 9600u);
    EXPECT_EQ(fake.getCommState(h, dcb), code(EIO));
    // A rate that is no line speed fails as on the real line.
    dcb.baudRate = 0;
    EXPECT_EQ(fake.setCommState(h, dcb), code(EINVAL));
    dcb.baudRate = 2400;
    fake.fail(Call::SetCommState, code(EPERM));
    EXPECT_EQ(fake.setCommState(h, dcb), code(EPERM));
    EXPECT_EQ(fake.setCommState(h, dcb), ports::kSuccess);
    EXPECT_EQ(fake.getCommState(h, dcb), ports::kSuccess);
    EXPECT_EQ(dcb.baudRate, 2400u);

    // A close that fails leaves the port open.
    fake.fail(Call::CloseHandle, code(EINTR));
    EXPECT_EQ(fake.closeHandle(h), code(EINTR));
    EXPECT_TRUE(fake.isOpen("COM1"));
    EXPECT_EQ(fake.closeHandle(h), ports::kSuccess);
}

TEST(FakePortSystem, ModemStatusRepliesSilenceAndHangUp) {
    FakePortSystem fake;
    toolkit::VirtualClock clock;
    fake.setWaitHook([&clock](toolkit::Millis d) { clock.spend(d); });
    const ports::Handle h = open(fake, "COM1");

    std::uint32_t status = 0;
    fake.setModemStatus(0xF0);
    EXPECT_EQ(fake.getCommModemStatus(h, status), ports::kSuccess);
    EXPECT_EQ(status, 0xF0u);
    fake.fail(Call::GetCommModemStatus, code(EIO));
    status = 7;
    EXPECT_EQ(fake.getCommModemStatus(h, status), code(EIO));
    EXPECT_EQ(status, 7u);

    fake.queueReplies({0x16, 0x00});
    std::uint8_t byte = 0;
    std::uint32_t read = 0;
    EXPECT_EQ(fake.readFile(h, byte, read, nullptr), ports::kSuccess);
    EXPECT_EQ(byte, 0x16);
    EXPECT_EQ(read, 1u);
    EXPECT_EQ(fake.readFile(h, byte, read, nullptr), ports::kSuccess);
    EXPECT_EQ(byte, 0x00);
    EXPECT_EQ(clock.now(), toolkit::Millis(0));
    EXPECT_EQ(fake.readFile(h, byte, read, nullptr), ports::kTimedOut);
    EXPECT_EQ(read, 0u);
    EXPECT_EQ(clock.now(), toolkit::Millis(50));
    // An event nothing signals times out after its wait, at most a second.
    const ports::EventHandle event = fake.createEvent(true, false, "0");
    EXPECT_EQ(fake.waitForSingleObject(event, 0xFFFFFFFF), code(ETIMEDOUT));
    EXPECT_EQ(clock.now(), toolkit::Millis(1050));

    fake.hangUp("\\\\.\\COM1");
    EXPECT_EQ(write(fake, h, {0x41}), code(EIO));
    EXPECT_EQ(fake.readFile(h, byte, read, nullptr), code(EIO));
    EXPECT_EQ(fake.getCommModemStatus(h, status), code(EIO));
    EXPECT_EQ(fake.closeHandle(h), ports::kSuccess);
    EXPECT_EQ(open(fake, "COM1"), ports::kInvalidHandle);
    EXPECT_EQ(fake.lastError(), code(EIO));
    fake.setPresent("COM1");
    EXPECT_GE(open(fake, "COM1"), 1);
}

TEST(FakePortSystem, TimeoutsBelongToTheirDevice) {
    FakePortSystem fake;
    const ports::Handle lpt2 = open(fake, "LPT2");
    ports::CommTimeoutsRec timeouts;
    timeouts.writeTotalTimeoutConstant = 500;
    EXPECT_EQ(fake.setCommTimeouts(lpt2, timeouts), ports::kSuccess);
    fake.closeHandle(lpt2);
    const ports::Handle lpt1 = open(fake, "LPT1");
    ports::CommTimeoutsRec read;
    read.writeTotalTimeoutConstant = 1;
    EXPECT_EQ(fake.getCommTimeouts(lpt1, read), ports::kSuccess);
    EXPECT_EQ(read.writeTotalTimeoutConstant, 0u);
}

}  // namespace
