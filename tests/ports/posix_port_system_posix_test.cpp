// The POSIX backend against real pseudo-terminals (and a FIFO standing in for a parallel port).
// Every port is mapped to a pty, a FIFO or a missing path; the standard map is never used.
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

namespace {

namespace fs = std::filesystem;
using ports::ErrorCode;

constexpr ErrorCode code(int errnoValue) {
    return static_cast<ErrorCode>(errnoValue);
}

// The master side of a pty; the backend opens the slave.
class Pty {
public:
    Pty() {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
        if (m_master >= 0 && ::grantpt(m_master) == 0 && ::unlockpt(m_master) == 0) {
            m_slave = ::ptsname(m_master);
        }
    }
    ~Pty() { hangUp(); }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    bool ok() const { return !m_slave.empty(); }
    const std::string& slave() const { return m_slave; }
    int master() const { return m_master; }
    void hangUp() {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }
    // What the device received: waits (bounded) until `count` bytes came or nothing more does.
    std::vector<std::uint8_t> receive(std::size_t count) {
        std::vector<std::uint8_t> bytes;
        std::uint8_t buffer[4096];
        pollfd entry{m_master, POLLIN, 0};
        while (bytes.size() < count && ::poll(&entry, 1, 2000) > 0) {
            const ssize_t n = ::read(m_master, buffer, sizeof buffer);
            if (n <= 0)
                break;
            bytes.insert(bytes.end(), buffer, buffer + n);
        }
        return bytes;
    }
    // The slave's line settings, as the device sees them.
    termios line() const {
        termios t{};
        ::tcgetattr(m_master, &t);
        return t;
    }

private:
    int m_master = -1;
    std::string m_slave;
};

// Ports mapped to the given paths; unnamed ones to a path that does not exist.
ports::DeviceMap mapTo(std::map<std::string, std::string> paths) {
    return ports::DeviceMap::fromEnvironment([&paths](const char* variable) -> const char* {
        const std::string name = std::string(variable).substr(std::string("DRAWERTEST_").size());
        auto [it, added] = paths.try_emplace(name, "/nonexistent/drawertest-" + name);
        return it->second.c_str();
    });
}

ports::Handle open(ports::PortSystem& system, const std::string& name) {
    return system.createFile(name, ports::kGenericReadWrite, ports::kShareReadWrite,
                             ports::kOpenExisting, ports::kPlainFile);
}

ErrorCode write(ports::PortSystem& system, ports::Handle handle,
                const std::vector<std::uint8_t>& bytes, std::uint32_t* written = nullptr) {
    std::uint32_t count = 0;
    const ErrorCode result = system.writeFile(handle, bytes, count, nullptr);
    if (written != nullptr)
        *written = count;
    return result;
}

ErrorCode setUp(ports::PortSystem& system, ports::Handle handle, const std::string& settings) {
    ports::CommDcb dcb;
    if (const ErrorCode result = system.getCommState(handle, dcb))
        return result;
    if (const ErrorCode result = system.buildCommDcb(settings, dcb))
        return result;
    return system.setCommState(handle, dcb);
}

// A path of this test process's own: test runs on one machine may overlap.
fs::path tempPath(const std::string& name) {
    return fs::path(::testing::TempDir()) / (name + "-" + std::to_string(::getpid()));
}

std::size_t openDescriptors() {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()));
}

class PosixPortSystemTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_pty.ok()) << "no pseudo-terminal: " << errno; }

    Pty m_pty;
    ports::PosixPortSystem m_ports{mapTo({{"COM1", m_pty.slave()}})};
};

TEST_F(PosixPortSystemTest, WritesArriveAsWrittenOnARaw8N1Line) {
    const ports::Handle h = open(m_ports, "\\\\.\\COM1");
    ASSERT_GE(h, 1);
    // Raw from the open on: no line-feed translation, even before any set-up.
    EXPECT_EQ(write(m_ports, h, {0x0A}), ports::kSuccess);
    EXPECT_EQ(m_pty.receive(1), (std::vector<std::uint8_t>{0x0A}));

    ASSERT_EQ(setUp(m_ports, h, "COM1:4800,n,8,1"), ports::kSuccess);
    termios line = m_pty.line();
    EXPECT_EQ(::cfgetospeed(&line), speed_t{B4800});
    EXPECT_EQ(line.c_cflag & CSIZE, tcflag_t{CS8});
    EXPECT_EQ(line.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(line.c_cflag & (CLOCAL | CREAD), tcflag_t{CLOCAL | CREAD});
    EXPECT_EQ(line.c_iflag & (IXON | IXOFF | ICRNL), 0u);
    EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(line.c_oflag & OPOST, 0u);

    const std::vector<std::vector<std::uint8_t>> sent{
        {0x07, 0x00}, {0x0D, 0x0A}, {0x1B, 'p', 0, 25, 250}};
    std::vector<std::uint8_t> all;
    for (const auto& bytes : sent) {
        std::uint32_t written = 0;
        EXPECT_EQ(write(m_ports, h, bytes, &written), ports::kSuccess);
        EXPECT_EQ(written, bytes.size());
        all.insert(all.end(), bytes.begin(), bytes.end());
    }
    EXPECT_EQ(m_pty.receive(all.size()), all);

    // Other settings are applied and read back. (A pty keeps 8 bits without parity whatever
    // it is told, so only rate and stop bits show here.)
    ASSERT_EQ(setUp(m_ports, h, "COM1:2400,n,8,2"), ports::kSuccess);
    line = m_pty.line();
    EXPECT_EQ(::cfgetospeed(&line), speed_t{B2400});
    EXPECT_NE(line.c_cflag & CSTOPB, 0u);
    ports::CommDcb dcb;
    ASSERT_EQ(m_ports.getCommState(h, dcb), ports::kSuccess);
    EXPECT_EQ(dcb.baudRate, 2400u);
    EXPECT_EQ(dcb.byteSize, 8);
    EXPECT_EQ(dcb.parity, ports::Parity::None);
    EXPECT_EQ(dcb.stopBits, ports::StopBits::Two);
    EXPECT_FALSE(dcb.outxCtsFlow || dcb.outX || dcb.inX);
    EXPECT_EQ(m_ports.closeHandle(h), ports::kSuccess);
}

TEST_F(PosixPortSystemTest, RateThatIsNoLineSpeedFailsAndLeavesTheLineUp) {
    const ports::Handle h = open(m_ports, "COM1");
    ASSERT_GE(h, 1);
    ASSERT_EQ(setUp(m_ports, h, "COM1:9600,n,8,1"), ports::kSuccess);
    for (const char* settings : {"COM1:0,n,8,1", "COM1:12345,n,8,1"}) {
        EXPECT_EQ(setUp(m_ports, h, settings), code(EINVAL)) << settings;
        EXPECT_EQ(m_ports.lastError(), code(EINVAL));
        const termios line = m_pty.line();
        EXPECT_EQ(::cfgetospeed(&line), speed_t{B9600}) << settings;
    }
    EXPECT_EQ(write(m_ports, h, {0x41}), ports::kSuccess);
    EXPECT_EQ(m_pty.receive(1), (std::vector<std::uint8_t>{0x41}));
}

TEST_F(PosixPortSystemTest, HeldPortsAreBusyAndMissingOnesAbsent) {
    const ports::Handle h = open(m_ports, "COM1");
    ASSERT_GE(h, 1);
    EXPECT_EQ(open(m_ports, "\\\\.\\COM1"), ports::kInvalidHandle);
    EXPECT_EQ(m_ports.lastError(), code(EBUSY));
    if (::geteuid() != 0) {  // root may open a tty marked exclusive
        const int plain = ::open(m_pty.slave().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        EXPECT_EQ(plain < 0 ? errno : 0, EBUSY);
        if (plain >= 0)
            ::close(plain);
    }
    ports::PosixPortSystem otherProgram(mapTo({{"COM1", m_pty.slave()}}));
    EXPECT_EQ(open(otherProgram, "COM1"), ports::kInvalidHandle);
    EXPECT_EQ(otherProgram.lastError(), code(EBUSY));
    ASSERT_EQ(m_ports.closeHandle(h), ports::kSuccess);

    // A program that locks the device first.
    const int other = ::open(m_pty.slave().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(open(m_ports, "COM1"), ports::kInvalidHandle);
    EXPECT_EQ(m_ports.lastError(), code(EBUSY));
    ::close(other);
    EXPECT_GE(open(m_ports, "COM1"), 1);

    EXPECT_EQ(open(m_ports, "COM2"), ports::kInvalidHandle);
    EXPECT_EQ(m_ports.lastError(), code(ENOENT));
    EXPECT_EQ(open(m_ports, "COM9"), ports::kInvalidHandle);
    EXPECT_EQ(m_ports.lastError(), code(ENOENT));
}

TEST_F(PosixPortSystemTest, TheActiveConsoleCountsAsHeld) {
    struct stat info {};
    ASSERT_EQ(::stat(m_pty.slave().c_str(), &info), 0);
    const fs::path sysfs = tempPath("drawertest-tty-class");
    fs::remove_all(sysfs);
    const auto writeFile = [&sysfs](const std::string& file, const std::string& text) {
        fs::create_directories((sysfs / file).parent_path());
        std::ofstream(sysfs / file) << text << '\n';
    };
    const std::string device =
        std::to_string(major(info.st_rdev)) + ":" + std::to_string(minor(info.st_rdev));
    writeFile("console/dev", "5:1");
    writeFile("console/active", "ttyX9 ptyconsole");
    writeFile("ptyconsole/dev", device);
    {
        ports::PosixPortSystem system(mapTo({{"COM1", m_pty.slave()}}), sysfs.string());
        EXPECT_EQ(open(system, "COM1"), ports::kInvalidHandle);
        EXPECT_EQ(system.lastError(), code(EBUSY));
    }
    // A virtual terminal on the console names its foreground terminal in a file of its own.
    writeFile("console/active", "tty0");
    writeFile("tty0/dev", "4:0");
    writeFile("tty0/active", "ptyconsole");
    {
        ports::PosixPortSystem system(mapTo({{"COM1", m_pty.slave()}}), sysfs.string());
        EXPECT_EQ(open(system, "COM1"), ports::kInvalidHandle);
        EXPECT_EQ(system.lastError(), code(EBUSY));
    }
    writeFile("tty0/active", "tty1");
    {
        ports::PosixPortSystem system(mapTo({{"COM1", m_pty.slave()}}), sysfs.string());
        EXPECT_GE(open(system, "COM1"), 1);
    }
    fs::remove_all(sysfs);
}

TEST_F(PosixPortSystemTest, ModemLinesOnAPtyFailWithTheKernelsCode) {
    const ports::Handle h = open(m_ports, "COM1");
    ASSERT_GE(h, 1);
    // A pty has no modem lines: the kernel answers ENOTTY to TIOCMGET and TIOCMBIS.
    std::uint32_t status = 0x12345;
    EXPECT_EQ(m_ports.getCommModemStatus(h, status), code(ENOTTY));
    EXPECT_EQ(status, 0x12345u);
    EXPECT_EQ(m_ports.escapeCommFunction(h, ports::EscapeFunction::SetRts), code(ENOTTY));
    EXPECT_EQ(m_ports.escapeCommFunction(h, ports::EscapeFunction::SetDtr), code(ENOTTY));
    EXPECT_EQ(m_ports.lastError(), code(ENOTTY));
}

TEST_F(PosixPortSystemTest, StatusReadTimesOutOnSilenceAndFailsOnHangUp) {
    const ports::Handle h = open(m_ports, "COM1");
    ASSERT_GE(h, 1);
    std::uint8_t byte = 0;
    std::uint32_t read = 9;
    EXPECT_EQ(m_ports.readFile(h, byte, read, nullptr), code(ETIMEDOUT));
    EXPECT_EQ(read, 0u);
    EXPECT_EQ(m_ports.lastError(), code(ETIMEDOUT));

    ASSERT_EQ(::write(m_pty.master(), "\x16", 1), 1);
    ErrorCode result = code(ETIMEDOUT);
    for (int attempt = 0; attempt < 40 && result == code(ETIMEDOUT); ++attempt) {
        result = m_ports.readFile(h, byte, read, nullptr);
    }
    EXPECT_EQ(result, ports::kSuccess);
    EXPECT_EQ(byte, 0x16);
    EXPECT_EQ(read, 1u);

    m_pty.hangUp();
    EXPECT_EQ(m_ports.readFile(h, byte, read, nullptr), code(EIO));
    EXPECT_EQ(write(m_ports, h, {0x41}), code(EIO));
    std::uint32_t status = 0;
    EXPECT_EQ(m_ports.getCommModemStatus(h, status), code(EIO));
    ports::CommDcb dcb;
    EXPECT_EQ(m_ports.getCommState(h, dcb), code(EIO));
    EXPECT_EQ(m_ports.closeHandle(h), ports::kSuccess);
}

TEST_F(PosixPortSystemTest, PeerThatReadsNothingCannotHoldWrites) {
    const ports::Handle h = open(m_ports, "COM1");
    ASSERT_GE(h, 1);
    // More than the pty takes without a reader: the write ends with what went out.
    const std::vector<std::uint8_t> page(64 * 1024, 'x');
    std::uint32_t written = 0;
    EXPECT_EQ(write(m_ports, h, page, &written), code(ETIMEDOUT));
    EXPECT_GT(written, 0u);
    EXPECT_LT(written, page.size());
    // A screen polling the stuck device keeps getting its answer; once the wait budget is
    // spent the answers come at once.
    for (int tick = 0; tick < 20; ++tick) {
        EXPECT_EQ(write(m_ports, h, {0x05}), code(ETIMEDOUT));
    }
    EXPECT_EQ(m_ports.flushFileBuffers(h), ports::kSuccess);

    // Once the device takes data again, so do the writes.
    EXPECT_EQ(m_pty.receive(written).size(), written);
    EXPECT_EQ(write(m_ports, h, {0x41}), ports::kSuccess);
}

TEST_F(PosixPortSystemTest, HandlesAndEvents) {
    const ports::Handle first = open(m_ports, "COM1");
    ASSERT_GE(first, 1);
    ASSERT_EQ(m_ports.closeHandle(first), ports::kSuccess);
    EXPECT_EQ(m_ports.closeHandle(first), code(EBADF));
    EXPECT_EQ(m_ports.lastError(), code(EBADF));
    EXPECT_EQ(write(m_ports, first, {0x41}), code(EBADF));
    for (const ports::Handle never : {0, -1, 1000})
        EXPECT_EQ(m_ports.closeHandle(never), code(EBADF));
    const ports::Handle second = open(m_ports, "COM1");
    EXPECT_GT(second, first) << "a kept handle never reaches a later port";

    // Writes end before they return, so a write given the record signals its event.
    ports::WriteOverlapped overlapped;
    overlapped.event = m_ports.createEvent(true, false, "0");
    EXPECT_GE(overlapped.event, 1);
    EXPECT_EQ(m_ports.waitForSingleObject(overlapped.event, 0), code(ETIMEDOUT));
    std::uint32_t written = 0;
    const std::vector<std::uint8_t> pair{0x41, 0x00};
    ASSERT_EQ(m_ports.writeFile(second, pair, written, &overlapped), ports::kSuccess);
    EXPECT_EQ(m_ports.waitForSingleObject(overlapped.event, 1000), ports::kSuccess);
    std::uint32_t transferred = 0;
    EXPECT_EQ(m_ports.getOverlappedResult(second, overlapped, transferred, true), ports::kSuccess);
    EXPECT_EQ(transferred, 2u);

    const ports::EventHandle unnamed = m_ports.createEvent(true, false, nullptr);
    EXPECT_NE(unnamed, overlapped.event);
    EXPECT_EQ(m_ports.closeEvent(overlapped.event), ports::kSuccess);
    EXPECT_EQ(m_ports.closeEvent(overlapped.event), code(EBADF));
    EXPECT_EQ(m_ports.waitForSingleObject(overlapped.event, 0), code(EBADF));
    EXPECT_EQ(m_ports.closeEvent(unnamed), ports::kSuccess);
}

TEST_F(PosixPortSystemTest, OpenCloseCyclesLeaveNoDescriptorBehind) {
    const std::size_t before = openDescriptors();
    for (int cycle = 0; cycle < 20; ++cycle) {
        const ports::Handle h = open(m_ports, "COM1");
        ASSERT_GE(h, 1);
        EXPECT_EQ(open(m_ports, "COM1"), ports::kInvalidHandle);
        EXPECT_EQ(setUp(m_ports, h, "COM1:0,n,8,1"), code(EINVAL));
        EXPECT_EQ(open(m_ports, "LPT1"), ports::kInvalidHandle);
        m_ports.closeEvent(m_ports.createEvent(true, false, "0"));
        EXPECT_EQ(m_ports.closeHandle(h), ports::kSuccess);
    }
    {
        ports::PosixPortSystem leftOpen(mapTo({{"COM1", m_pty.slave()}}));
        EXPECT_GE(open(leftOpen, "COM1"), 1);
    }
    EXPECT_EQ(openDescriptors(), before);
}

TEST(PosixParallelPort, NonTtyDeviceHasNothingToSetAndBoundedWrites) {
    const fs::path fifo = tempPath("drawertest-lpt-fifo");
    fs::remove(fifo);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ports::PosixPortSystem system(mapTo({{"LPT2", fifo.string()}}));
    const ports::Handle h = open(system, "LPT2");
    ASSERT_GE(h, 1);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);

    EXPECT_EQ(system.purgeComm(h, ports::kPurgeTxClear), ports::kSuccess);
    EXPECT_EQ(system.flushFileBuffers(h), ports::kSuccess);
    EXPECT_EQ(system.setupComm(h, 0, 0), ports::kSuccess);
    ports::CommTimeoutsRec timeouts;
    ASSERT_EQ(system.getCommTimeouts(h, timeouts), ports::kSuccess);
    timeouts.writeTotalTimeoutConstant = 0;
    timeouts.readIntervalTimeout = 7;
    EXPECT_EQ(system.setCommTimeouts(h, timeouts), ports::kSuccess);
    ports::CommTimeoutsRec readBack;
    ASSERT_EQ(system.getCommTimeouts(h, readBack), ports::kSuccess);
    EXPECT_EQ(readBack.readIntervalTimeout, 7u);
    // No line to set up.
    ports::CommDcb dcb;
    EXPECT_EQ(system.getCommState(h, dcb), code(ENOTTY));

    EXPECT_EQ(write(system, h, {'A', 'B', 0x0A}), ports::kSuccess);
    char received[8] = {};
    EXPECT_EQ(::read(reader, received, sizeof received), 3);
    EXPECT_EQ(std::string(received, 3), "AB\n");

    // A device that cannot be polled and takes nothing still lets the write go.
    std::uint32_t written = 0;
    EXPECT_EQ(write(system, h, std::vector<std::uint8_t>(256 * 1024, 'x'), &written),
              code(ETIMEDOUT));
    EXPECT_LT(written, 256u * 1024u);

    ::close(reader);
    EXPECT_EQ(system.closeHandle(h), ports::kSuccess);
    fs::remove(fifo);
}

}  // namespace
