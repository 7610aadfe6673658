// The POSIX backend against real pseudo-terminals (and a FIFO standing in for a parallel port),
// and the rules the screens' tests take from the fake held by the real backend too. Every port
// is mapped to a pty, a FIFO or a missing path; the standard map is never used.
#include "ports/posix_port_system.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <tuple>

#include "port_calls.h"
#include "support/fake_port_system.h"

namespace {

namespace fs = std::filesystem;
using namespace porttest;

// The master side of a pty; the backend opens the slave.
class Pty {
public:
    Pty() : m_master(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK)) {
        if (m_master >= 0 && ::grantpt(m_master) == 0 && ::unlockpt(m_master) == 0)
            m_slave = ::ptsname(m_master);
    }
    ~Pty() { hangUp(); }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    const std::string& slave() const { return m_slave; }
    int master() const { return m_master; }
    void hangUp() {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }
    // What the device received: waits (bounded) until `count` bytes came or nothing more does.
    Bytes receive(std::size_t count) {
        Bytes bytes;
        std::uint8_t buffer[4096];
        pollfd entry{m_master, POLLIN, 0};
        for (ssize_t n = 0; bytes.size() < count && ::poll(&entry, 1, 2000) > 0;) {
            if ((n = ::read(m_master, buffer, sizeof buffer)) <= 0)
                break;
            bytes.insert(bytes.end(), buffer, buffer + n);
        }
        return bytes;
    }

private:
    int m_master;
    std::string m_slave;
};

ports::DeviceMap mapTo(const std::map<std::string, std::string>& devices) {
    return porttest::mapTo(devices, "/nonexistent/drawertest-port");
}

// A path of this test process's own: test runs on one machine may overlap.
fs::path tempPath(const std::string& name) {
    return fs::path(::testing::TempDir()) / (name + "-" + std::to_string(::getpid()));
}

class PosixPortSystemTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(m_pty.slave().empty()) << "no pseudo-terminal"; }

    Pty m_pty;
    ports::PosixPortSystem m_ports{mapTo({{"COM1", m_pty.slave()}})};
};

// COM1 present, COM2 missing; what the fake promises the screens' tests.
void expectSharedRules(ports::PortSystem& system) {
    const ports::Handle h = open(system, "\\\\.\\COM1");
    ASSERT_GE(h, 1);
    EXPECT_EQ(open(system, "COM1"), ports::kInvalidHandle) << "both spellings are one port";
    EXPECT_EQ(system.lastError(), code(EBUSY));
    EXPECT_EQ(open(system, "COM2"), ports::kInvalidHandle);
    EXPECT_EQ(system.lastError(), code(ENOENT));
    EXPECT_EQ(setUp(system, h, "COM1:0,n,8,1"), code(EINVAL)) << "0 is no line speed";
    EXPECT_EQ(setUp(system, h, "COM1:9600,n,8,1"), ports::kSuccess);

    std::uint8_t byte = 0;
    std::uint32_t read = 9;
    EXPECT_EQ(system.readFile(h, byte, read, nullptr), ports::kTimedOut) << "a silent device";
    EXPECT_EQ(read, 0u);
    // Writes end before they return: a write given the record has signalled its event.
    ports::WriteOverlapped overlapped;
    overlapped.event = system.createEvent(true, false, "0");
    EXPECT_GE(overlapped.event, 1);
    EXPECT_EQ(system.waitForSingleObject(overlapped.event, 0), code(ETIMEDOUT));
    std::uint32_t count = 0;
    ASSERT_EQ(system.writeFile(h, Bytes{0x41, 0x00}, count, &overlapped), ports::kSuccess);
    EXPECT_EQ(system.waitForSingleObject(overlapped.event, 1000), ports::kSuccess);
    EXPECT_EQ(system.getOverlappedResult(h, overlapped, count, true), ports::kSuccess);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(system.closeEvent(overlapped.event), ports::kSuccess);
    EXPECT_EQ(system.closeEvent(overlapped.event), code(EBADF));

    ASSERT_EQ(system.closeHandle(h), ports::kSuccess);
    EXPECT_EQ(system.closeHandle(h), code(EBADF));
    EXPECT_EQ(write(system, h, {0x41}), code(EBADF));
    EXPECT_EQ(system.lastError(), code(EBADF));
    EXPECT_GT(open(system, "COM1"), h) << "a kept handle never reaches a later port";
}

TEST_F(PosixPortSystemTest, HoldsTheRulesTheFakeStandsInFor) {
    {
        SCOPED_TRACE("real");
        expectSharedRules(m_ports);
    }
    SCOPED_TRACE("fake");
    support::FakePortSystem fake;
    fake.setMissing("COM2");
    expectSharedRules(fake);
}

TEST_F(PosixPortSystemTest, WritesArriveAsWrittenOnARaw8N1Line) {
    const ports::Handle h = open(m_ports, "\\\\.\\COM1");
    ASSERT_GE(h, 1);
    // Raw from the open on: no line-feed translation, even before any set-up.
    for (const Bytes& bytes : {Bytes{0x0A}, Bytes{0x07, 0x00}, Bytes{0x0D, 0x0A, 0x1B, 'p', 0}}) {
        EXPECT_EQ(write(m_ports, h, bytes), ports::kSuccess);
        EXPECT_EQ(m_pty.receive(bytes.size()), bytes);
    }
    ASSERT_EQ(setUp(m_ports, h, "COM1:4800,n,8,1"), ports::kSuccess);
    termios line{};
    ::tcgetattr(m_pty.master(), &line);
    EXPECT_EQ(::cfgetospeed(&line), speed_t{B4800});
    EXPECT_EQ(line.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS | CLOCAL | CREAD),
              tcflag_t{CS8 | CLOCAL | CREAD});
    EXPECT_EQ(line.c_iflag & (IXON | IXOFF | ICRNL), 0u);
    EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(line.c_oflag & OPOST, 0u);
    // A rate that is no line speed fails and leaves the line as it was.
    EXPECT_EQ(setUp(m_ports, h, "COM1:12345,n,8,1"), code(EINVAL));
    ::tcgetattr(m_pty.master(), &line);
    EXPECT_EQ(::cfgetospeed(&line), speed_t{B4800});
}

TEST_F(PosixPortSystemTest, HeldPortsAreBusyAndOpensLeaveNoDescriptorBehind) {
    const auto openDescriptors = [] {
        return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
    };
    const auto before = openDescriptors();
    std::optional<ports::PosixPortSystem> otherProgram(std::in_place,
                                                       mapTo({{"COM1", m_pty.slave()}}));
    for (int cycle = 0; cycle < 20; ++cycle) {
        const ports::Handle h = open(m_ports, "COM1");
        ASSERT_GE(h, 1);
        EXPECT_EQ(open(*otherProgram, "COM1"), ports::kInvalidHandle);
        EXPECT_EQ(otherProgram->lastError(), code(EBUSY));
        EXPECT_EQ(m_ports.closeHandle(h), ports::kSuccess);
    }
    // A program that locks the device first; the port left open goes with its backend.
    const int other = ::open(m_pty.slave().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(open(m_ports, "COM1"), ports::kInvalidHandle);
    EXPECT_EQ(m_ports.lastError(), code(EBUSY));
    ::close(other);
    EXPECT_GE(open(*otherProgram, "COM1"), 1);
    otherProgram.reset();
    EXPECT_EQ(openDescriptors(), before);
}

TEST_F(PosixPortSystemTest, TheActiveConsoleCountsAsHeld) {
    struct stat info {};
    ASSERT_EQ(::stat(m_pty.slave().c_str(), &info), 0);
    const std::string pty =
        std::to_string(major(info.st_rdev)) + ":" + std::to_string(minor(info.st_rdev));
    const fs::path sysfs = tempPath("drawertest-tty-class");
    const auto put = [&sysfs](const std::string& file, const std::string& text) {
        fs::create_directories((sysfs / file).parent_path());
        std::ofstream(sysfs / file) << text << '\n';
    };
    put("console/dev", "5:1");
    put("ptyconsole/dev", pty);
    put("tty0/dev", "4:0");
    // What the console names, what its virtual terminal names as foreground, whether it's held.
    for (const auto& [console, foreground, held] :
         {std::tuple{"ttyX9 ptyconsole", "tty1", true}, std::tuple{"tty0", "ptyconsole", true},
          std::tuple{"tty0", "tty1", false}}) {
        put("console/active", console);
        put("tty0/active", foreground);
        ports::PosixPortSystem system(mapTo({{"COM1", m_pty.slave()}}), sysfs.string());
        EXPECT_EQ(open(system, "COM1") < 1 && system.lastError() == code(EBUSY), held)
            << console << " / " << foreground;
    }
    fs::remove_all(sysfs);
}

TEST_F(PosixPortSystemTest, ModemLinesRepliesAndHangUp) {
    const ports::Handle h = open(m_ports, "COM1");
    ASSERT_GE(h, 1);
    // A pty has no modem lines: the kernel answers ENOTTY to TIOCMGET and TIOCMBIS.
    std::uint32_t status = 0x12345;
    EXPECT_EQ(m_ports.getCommModemStatus(h, status), code(ENOTTY));
    EXPECT_EQ(status, 0x12345u);
    EXPECT_EQ(m_ports.escapeCommFunction(h, ports::EscapeFunction::SetRts), code(ENOTTY));

    // Replies that have come are counted and read at once; purged, they are gone. A hung-up
    // line fails every call.
    std::uint8_t byte = 0;
    std::uint32_t read = 0;
    std::uint32_t errors = 0;
    ports::CommStat queues;
    ASSERT_EQ(::write(m_pty.master(), "\x16\x12", 2), 2);
    for (int look = 0; look < 200 && queues.inQueue < 2; ++look) {
        ::poll(nullptr, 0, 10);
        ASSERT_EQ(m_ports.clearCommError(h, errors, queues), ports::kSuccess);
    }
    EXPECT_EQ(queues.inQueue, 2u);
    EXPECT_EQ(m_ports.readFile(h, byte, read, nullptr), ports::kSuccess);
    EXPECT_EQ(byte, 0x16);
    EXPECT_EQ(read, 1u);
    EXPECT_EQ(m_ports.purgeComm(h, ports::kPurgeRxClear), ports::kSuccess);
    EXPECT_EQ(m_ports.readFile(h, byte, read, nullptr), ports::kTimedOut);

    m_pty.hangUp();
    EXPECT_EQ(m_ports.clearCommError(h, errors, queues), code(EIO));
    EXPECT_EQ(m_ports.readFile(h, byte, read, nullptr), code(EIO));
    EXPECT_EQ(write(m_ports, h, {0x41}), code(EIO));
    EXPECT_EQ(m_ports.getCommModemStatus(h, status), code(EIO));
    EXPECT_EQ(m_ports.closeHandle(h), ports::kSuccess);
}

TEST_F(PosixPortSystemTest, PeerThatReadsNothingCannotHoldWrites) {
    const ports::Handle h = open(m_ports, "COM1");
    ASSERT_GE(h, 1);
    // More than the pty takes without a reader: the write ends with what went out.
    const Bytes page(64 * 1024, 'x');
    std::uint32_t written = 0;
    EXPECT_EQ(write(m_ports, h, page, &written), code(ETIMEDOUT));
    EXPECT_GT(written, 0u);
    EXPECT_LT(written, page.size());
    // A screen polling the stuck device keeps getting its answer.
    for (int tick = 0; tick < 20; ++tick)
        EXPECT_EQ(write(m_ports, h, {0x05}), code(ETIMEDOUT));
    EXPECT_EQ(m_ports.flushFileBuffers(h), ports::kSuccess);
    // Once the device takes data again, so do the writes.
    EXPECT_EQ(m_pty.receive(written).size(), written);
    EXPECT_EQ(write(m_ports, h, {0x41}), ports::kSuccess);
}

TEST(PosixParallelPort, ADeviceWithoutALineTakesWritesWithinTheBound) {
    const fs::path fifo = tempPath("drawertest-lpt-fifo");
    fs::remove(fifo);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ports::PosixPortSystem system(mapTo({{"LPT2", fifo.string()}}));
    const ports::Handle h = open(system, "LPT2");
    ASSERT_GE(h, 1);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);

    EXPECT_EQ(write(system, h, {'A', 'B', 0x0A}), ports::kSuccess);
    char received[8] = {};
    EXPECT_EQ(::read(reader, received, sizeof received), 3);
    EXPECT_EQ(std::string(received, 3), "AB\n");
    // A device that cannot be polled and takes nothing still lets the write go.
    std::uint32_t written = 0;
    EXPECT_EQ(write(system, h, Bytes(256 * 1024, 'x'), &written), code(ETIMEDOUT));
    EXPECT_LT(written, 256u * 1024u);

    ::close(reader);
    EXPECT_EQ(system.closeHandle(h), ports::kSuccess);
    fs::remove(fifo);
}

}  // namespace
