// A printer device without a line, on a socket pair standing for the driver's node: behind a
// serial port (a USB printer on a serial printer screen) it keeps the settings set, raises
// nothing, has no modem lines, and counts, reads and drops what came back; behind a parallel
// port the driver answers the line calls (a socket, as the lp driver, is no terminal).
#include "ports/media/printer_device.h"

#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>

namespace {

using ports::kSuccess;

struct Pair {
    Pair() { ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, ends); }
    ~Pair() { ::close(ends[1]); }
    void send(const char* bytes, std::size_t count) {
        ASSERT_EQ(::write(ends[1], bytes, count), 3);
    }
    int ends[2] = {-1, -1};
};

TEST(PrinterDevice, BehindASerialPortALineWithoutSettings) {
    Pair pair;
    ports::PrinterDevice usb(pair.ends[0], false, true, {});
    ports::CommDcb dcb;
    dcb.baudRate = 4800;
    dcb.parity = ports::Parity::Even;
    EXPECT_EQ(usb.setState(dcb), kSuccess);
    ports::CommDcb kept;
    EXPECT_EQ(usb.getState(kept), kSuccess);
    EXPECT_EQ(std::pair(kept.baudRate, kept.parity), std::pair(4800u, ports::Parity::Even));
    EXPECT_EQ(usb.escape(ports::EscapeFunction::SetRts), kSuccess);
    std::uint32_t status = 7;
    EXPECT_EQ(usb.modemStatus(status), ENOTTY);
    EXPECT_EQ(status, 7u);

    pair.send("\x12\x16\x12", 3);
    std::uint32_t errors = 9;
    ports::CommStat queues;
    EXPECT_EQ(usb.queues(errors, queues), kSuccess);
    EXPECT_EQ(std::tuple(errors, queues.inQueue, queues.outQueue), std::tuple(0u, 3u, 0u));
    std::uint8_t byte = 0;
    EXPECT_EQ(usb.read(byte), kSuccess);
    EXPECT_EQ(byte, 0x12);
    EXPECT_EQ(usb.purge(ports::kPurgeTxClear), kSuccess);  // the output alone
    EXPECT_EQ(usb.read(byte), kSuccess);
    EXPECT_EQ(byte, 0x16);
    EXPECT_EQ(usb.purge(ports::kPurgeRxClear), kSuccess);
    EXPECT_EQ(usb.read(byte), ports::kTimedOut);
    EXPECT_EQ(usb.close(), kSuccess);
}

TEST(PrinterDevice, BehindAParallelPortTheDriverAnswersTheLineCalls) {
    Pair pair;
    ports::PrinterDevice lp(pair.ends[0], false, false, {});
    ports::CommDcb dcb;
    EXPECT_EQ(lp.getState(dcb), ENOTTY);
    EXPECT_EQ(lp.setState(dcb), ENOTTY);
    EXPECT_EQ(lp.escape(ports::EscapeFunction::SetDtr), ENOTTY);
    std::uint32_t status = 7;
    EXPECT_EQ(lp.modemStatus(status), ENOTTY);
    pair.send("\x12\x16\x12", 3);
    std::uint32_t errors = 9;
    ports::CommStat queues{5, 5};
    EXPECT_EQ(lp.queues(errors, queues), kSuccess);
    EXPECT_EQ(std::tuple(errors, queues.inQueue, queues.outQueue), std::tuple(0u, 0u, 0u));
    EXPECT_EQ(lp.close(), kSuccess);
}

}  // namespace
