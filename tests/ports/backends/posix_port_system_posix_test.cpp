// The POSIX backend against real pseudo-terminals (and a FIFO standing in for a parallel port):
// the port contract, and what is its own. Every port
// is mapped to a pty, a FIFO or a missing path; the standard map is never used.
#include "ports/backends/posix_port_system.h"
#include "ports/media/serial_line.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <tuple>

#include "ports/media/printer_device.h"
#include "ports/port_contract.h"
#include "ports/pty.h"

namespace {

namespace fs = std::filesystem;
using namespace porttest;

ports::DeviceMap mapTo(const std::map<std::string, std::string>& devices) {
    return porttest::mapTo(devices, "/nonexistent/drawertest-port");
}

// Writes a file of a tree standing in for the system's /sys or /proc.
void put(const fs::path& root, const std::string& file, const std::string& text) {
    fs::create_directories((root / file).parent_path());
    std::ofstream(root / file) << text << '\n';
}

// What an open answers: 0 when the port was taken, else the code that refused it.
ports::ErrorCode refusal(ports::PortSystem& system, const std::string& port) {
    return open(system, port) >= 1 ? 0 : system.lastError();
}

// A path of this test process's own: test runs on one machine may overlap.
fs::path tempPath(const std::string& name) {
    return fs::path(::testing::TempDir()) / (name + "-" + std::to_string(::getpid()));
}

// A line's settings, every byte of them set, to be compared whole.
termios lineOf(int fd) {
    termios line;
    std::memset(&line, 0, sizeof line);
    ::tcgetattr(fd, &line);
    return line;
}

bool sameLine(const termios& a, const termios& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

class PosixPortSystemTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(m_pty.slave().empty()) << "no pseudo-terminal"; }

    Pty m_pty;
    ports::PosixPortSystem m_ports{mapTo({{"COM1", m_pty.slave()}})};
};

TEST_F(PosixPortSystemTest, HoldsThePortContract) {
    expectContract(m_ports, {code(ENOENT), code(EBUSY), code(EBADF), code(EINVAL), code(ETIMEDOUT),
                             [this](std::size_t n) { return m_pty.receive(n); },
                             [this](const Bytes& bytes) {
                                 ASSERT_EQ(::write(m_pty.master(), bytes.data(), bytes.size()),
                                           static_cast<ssize_t>(bytes.size()));
                             }});
}

// A TCP server on a loopback port of its own, taking `backlog` connections before it takes them
// in; the port into `port`.
int listening(int backlog, std::string& port) {
    const int server = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t size = sizeof address;
    auto* named = reinterpret_cast<sockaddr*>(&address);
    EXPECT_TRUE(::bind(server, named, size) == 0 && ::listen(server, backlog) == 0 &&
                ::getsockname(server, named, &size) == 0);
    port = std::to_string(ntohs(address.sin_port));
    return server;
}

// A COM port on a network, a serial server's TCP port, keeps the contract as well.
TEST(PosixNetworkPort, HoldsThePortContract) {
    std::string port;
    const int server = listening(4, port);
    ports::PosixPortSystem system(mapTo({{"COM1", "localhost:" + port}}));
    int peer = -1;  // the first connection, taken once the port has opened
    // Each open is a connection of its own; the line's speed is the server's to keep.
    expectContract(system,
                   {code(ENOENT), ports::kSuccess, code(EBADF), ports::kSuccess, code(ETIMEDOUT),
                    [&](std::size_t n) {
                        peer = peer < 0 ? ::accept(server, nullptr, nullptr) : peer;
                        return receiveFrom(peer, n);
                    },
                    [&](const Bytes& bytes) {
                        ASSERT_EQ(::write(peer, bytes.data(), bytes.size()),
                                  static_cast<ssize_t>(bytes.size()));
                    }});
    ::close(peer);

    ::close(server);
}

// A printer that does not answer (its queue of connections full) is told within the bound; one
// that resets the connection ends reads and writes as a device gone.
TEST(PosixNetworkPort, APrinterThatDoesNotAnswerOrResetsIsToldSo) {
    std::string port;
    const int server = listening(0, port);
    ports::PosixPortSystem system(
        mapTo({{"COM1", "127.0.0.1:" + port}, {"COM2", "127.0.0.1:" + port}}));
    const ports::Handle h = open(system, "COM1");
    EXPECT_GE(h, 1) << "the one connection the queue takes";
    EXPECT_EQ(open(system, "COM2"), ports::kInvalidHandle);
    EXPECT_EQ(system.lastError(), code(ETIMEDOUT));

    const int peer = ::accept(server, nullptr, nullptr);
    const linger abort{1, 0};
    ::setsockopt(peer, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    ::close(peer);
    std::uint8_t byte = 0;
    std::uint32_t read = 0;
    ports::ErrorCode result = ports::kTimedOut;
    for (int look = 0; look < 200 && result == ports::kTimedOut; ++look) {
        if ((result = system.readFile(h, byte, read, nullptr)) == ports::kTimedOut)
            ::poll(nullptr, 0, 10);
    }
    EXPECT_EQ(result, code(EIO));
    EXPECT_EQ(write(system, h, {0x41}), code(EIO));
    ::close(server);
}

// The modem lines as the kernel reports them, each on its own bit of the status word and
// nothing for a line that is off (a pty has none to read).
TEST(PosixModemStatus, EachLineOnItsOwnBit) {
    for (const auto& [lines, word] :
         {std::pair{0, 0u}, std::pair{TIOCM_CTS, ports::kCtsOn},
          std::pair{TIOCM_DSR, ports::kDsrOn}, std::pair{TIOCM_RI, ports::kRingOn},
          std::pair{TIOCM_CD, ports::kCarrierOn}, std::pair{TIOCM_RTS | TIOCM_DTR | TIOCM_LE, 0u},
          std::pair{TIOCM_CTS | TIOCM_DSR | TIOCM_RI | TIOCM_CD, 0xF0u}}) {
        EXPECT_EQ(ports::modemStatusWord(lines), word) << lines;
    }
}

TEST_F(PosixPortSystemTest, WritesArriveAsWrittenOnARaw8N1LineLeftAsItWasFound) {
    // A terminal's everyday settings: cooked, echoing, at 1200 baud.
    const int other = ::open(m_pty.slave().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios found = lineOf(other);
    found.c_lflag |= ICANON | ECHO | ISIG;
    found.c_iflag |= ICRNL | IXON;
    found.c_oflag |= OPOST | ONLCR;
    ::cfsetspeed(&found, B1200);
    ASSERT_EQ(::tcsetattr(other, TCSANOW, &found), 0);
    found = lineOf(other);
    const ports::Handle h = open(m_ports, "\\\\.\\COM1");
    ASSERT_GE(h, 1);
    // Raw from the open on: no line-feed translation, even before any set-up.
    const Bytes bytes{0x0D, 0x0A, 0x1B, 'p', 0};
    EXPECT_EQ(write(m_ports, h, bytes), ports::kSuccess);
    EXPECT_EQ(m_pty.receive(bytes.size()), bytes);
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

    // The close returns at once and gives the bytes their time on the line before it lets go.
    ASSERT_EQ(m_ports.closeHandle(h), ports::kSuccess);
    int exclusive = 1;
    for (int look = 0; look < 300 && (exclusive != 0 || !sameLine(lineOf(other), found)); ++look) {
        ::poll(nullptr, 0, 10);
        ::ioctl(other, TIOCGEXCL, &exclusive);
    }
    EXPECT_TRUE(sameLine(lineOf(other), found) && exclusive == 0) << "the line as it was found";
    ::close(other);
}

TEST_F(PosixPortSystemTest, EveryLineSpeedReadsBackAsSet) {
    const ports::Handle h = open(m_ports, "COM1");
    ASSERT_GE(h, 1);
    for (const std::uint32_t rate :
         {110, 300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200}) {
        ASSERT_EQ(setUp(m_ports, h, "COM1:" + std::to_string(rate) + ",n,8,1"), ports::kSuccess);
        EXPECT_EQ(stateOf(m_ports, h).baudRate, rate);
    }
    // (A pty keeps every byte 8 bits wide and without parity, whatever is asked.)
}

TEST_F(PosixPortSystemTest, HeldPortsAreBusyAndOpensLeaveNoDescriptorBehind) {
    const auto openDescriptors = [] {
        return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
    };
    const auto before = openDescriptors();
    const termios found = lineOf(m_pty.master());
    std::optional<ports::PosixPortSystem> otherProgram(std::in_place,
                                                       mapTo({{"COM1", m_pty.slave()}}));
    for (int cycle = 0; cycle < 20; ++cycle) {
        const ports::Handle h = open(m_ports, "COM1");
        ASSERT_GE(h, 1);
        EXPECT_EQ(open(*otherProgram, "COM1"), ports::kInvalidHandle);
        EXPECT_EQ(otherProgram->lastError(), code(EBUSY));
        EXPECT_EQ(m_ports.closeHandle(h), ports::kSuccess);
    }
    // The port left open goes with its backend.
    EXPECT_GE(open(*otherProgram, "COM1"), 1);
    otherProgram.reset();
    EXPECT_EQ(openDescriptors(), before);
    EXPECT_TRUE(sameLine(lineOf(m_pty.master()), found)) << "the line as it was found";
}

TEST_F(PosixPortSystemTest, OnlyAPortIsTakenAndNothingIsWrittenToAnythingElse) {
    const fs::path dir = tempPath("drawertest-not-ports");
    fs::remove_all(dir);
    fs::create_directories(dir / "directory");
    const std::string text = "a file a typo named: not a port\n";
    std::ofstream(dir / "file") << text;
    // A FIFO stands for a printer only while something reads it: one nobody reads would take a
    // page that goes nowhere.
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((dir / "read-fifo").c_str(), 0600), 0);
    const int reader = ::open((dir / "read-fifo").c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    fs::create_symlink(m_pty.slave(), dir / "pty-link");
    // A line another program holds exclusively; root's open gets through, the refusal must not.
    Pty heldPty;
    const int holder = ::open(heldPty.slave().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_EQ(::ioctl(holder, TIOCEXCL), 0);
    const termios held = lineOf(holder);

    const auto at = [&dir](const char* name) { return (dir / name).string(); };
    for (const auto& [port, path, expected] : {
             std::tuple{"COM1", at("file"), ENOTTY},
             std::tuple{"LPT1", at("file"), ENODEV},
             std::tuple{"COM1", at("directory"), ENOTTY},
             std::tuple{"COM1", at("fifo"), ENOTTY},
             std::tuple{"LPT1", at("fifo"), ENXIO},
             std::tuple{"LPT1", at("read-fifo"), 0},
             std::tuple{"COM1", at("pty-link"), 0},
             std::tuple{"COM1", heldPty.slave(), EBUSY},
         }) {
        ports::PosixPortSystem system(mapTo({{port, path}}));
        EXPECT_EQ(refusal(system, port), code(expected)) << port << " on " << path;
    }
    std::ifstream file(dir / "file");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), text);
    char byte = 0;
    int exclusive = 0;
    ::ioctl(holder, TIOCGEXCL, &exclusive);
    EXPECT_TRUE(::read(heldPty.master(), &byte, 1) == -1 && sameLine(lineOf(holder), held) &&
                exclusive == 1)
        << "the held line as its holder left it";
    ::close(holder);
    ::close(reader);
    fs::remove_all(dir);
}

TEST_F(PosixPortSystemTest, TheKernelsListsTellLinesPrintersAndTheActiveConsole) {
    const fs::path root = tempPath("drawertest-root");
    put(root, "proc/tty/drivers",
        "pty_slave /dev/pts 136 0-1048575 pty:slave\n/dev/tty /dev/tty 5 0 system:/dev/tty\n"
        "serial /dev/ttyX 240 64 serial\nusbserial /dev/ttyUSB 188 0-511 serial");
    fs::create_directories(root / "sys/dev/char");
    fs::create_symlink("../../devices/usb1/usbmisc/lp0", root / "sys/dev/char/180:0");
    fs::create_symlink("../../devices/usb1/usbmisc/hiddev0", root / "sys/dev/char/180:96");
    const ports::PosixDeviceRules rules(root.string());
    using ports::PortKind;
    for (const auto& [kind, mode, device, expected] : {
             std::tuple{PortKind::Serial, S_IFCHR, makedev(240, 64), 0},
             std::tuple{PortKind::Serial, S_IFCHR, makedev(240, 65), ENOTTY},
             std::tuple{PortKind::Serial, S_IFCHR, makedev(188, 511), 0},
             std::tuple{PortKind::Serial, S_IFCHR, makedev(5, 0), ENOTTY},
             std::tuple{PortKind::Serial, S_IFBLK, makedev(240, 64), ENOTTY},
             std::tuple{PortKind::Serial, S_IFCHR, makedev(180, 0), 0},  // a USB printer
             std::tuple{PortKind::Serial, S_IFCHR, makedev(180, 96), ENOTTY},
             std::tuple{PortKind::Parallel, S_IFCHR, makedev(6, 0), 0},
             std::tuple{PortKind::Parallel, S_IFCHR, makedev(180, 0), 0},
             std::tuple{PortKind::Parallel, S_IFCHR, makedev(180, 96), ENODEV},
             std::tuple{PortKind::Parallel, S_IFCHR, makedev(180, 1), ENODEV},
             std::tuple{PortKind::Parallel, S_IFBLK, makedev(6, 0), ENODEV},
         }) {
        struct stat node {};
        node.st_mode = mode;
        node.st_rdev = device;
        EXPECT_EQ(rules.judge(kind, node), code(expected)) << major(device) << ":" << minor(device);
    }

    struct stat info {};
    ASSERT_EQ(::stat(m_pty.slave().c_str(), &info), 0);
    const auto ttyClass = [&root](const std::string& file, const std::string& text) {
        put(root, "sys/class/tty/" + file, text);
    };
    ttyClass("console/dev", "5:1");
    ttyClass("ptyconsole/dev",
             std::to_string(major(info.st_rdev)) + ":" + std::to_string(minor(info.st_rdev)));
    ttyClass("tty0/dev", "4:0");
    // What the console names, what its virtual terminal names as foreground, whether it's held.
    for (const auto& [console, foreground, held] :
         {std::tuple{"ttyX9 ptyconsole", "tty1", true}, std::tuple{"tty0", "ptyconsole", true},
          std::tuple{"tty0", "tty1", false}}) {
        ttyClass("console/active", console);
        ttyClass("tty0/active", foreground);
        ports::PosixPortSystem system(mapTo({{"COM1", m_pty.slave()}}), root.string());
        EXPECT_EQ(refusal(system, "COM1"), code(held ? EBUSY : 0))
            << console << " / " << foreground;
    }
    fs::remove_all(root);
}

TEST_F(PosixPortSystemTest, TheProgramsOwnTerminalCountsAsHeld) {
    // The terminal the program runs in: on its standard input, or as its controlling terminal.
    const int input = ::dup(0);
    const int terminal = ::open(m_pty.slave().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ::dup2(terminal, 0);
    ::close(terminal);
    EXPECT_EQ(refusal(m_ports, "COM1"), code(EBUSY));
    ::dup2(input, 0);
    ::close(input);
    const pid_t child = ::fork();
    if (child == 0) {
        ::setsid();
        ::close(::open(m_pty.slave().c_str(), O_RDWR | O_CLOEXEC));
        ::_exit(static_cast<int>(refusal(m_ports, "COM1")));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_EQ(WEXITSTATUS(status), EBUSY) << "the controlling terminal";
}

TEST_F(PosixPortSystemTest, APtyHasNoModemLinesAndAHungUpLineFailsEveryCall) {
    const ports::Handle h = open(m_ports, "COM1");
    ASSERT_GE(h, 1);
    // A pty has no modem lines: the kernel answers ENOTTY to TIOCMGET and TIOCMBIS.
    std::uint32_t status = 0x12345;
    EXPECT_EQ(m_ports.getCommModemStatus(h, status), code(ENOTTY));
    EXPECT_EQ(status, 0x12345u);
    EXPECT_EQ(m_ports.escapeCommFunction(h, ports::EscapeFunction::SetRts), code(ENOTTY));

    // A hung-up line fails every call but the close.
    std::uint8_t byte = 0;
    std::uint32_t read = 0;
    std::uint32_t errors = 0;
    ports::CommStat queues;
    m_pty.hangUp();
    EXPECT_EQ(m_ports.clearCommError(h, errors, queues), code(EIO));
    EXPECT_EQ(m_ports.readFile(h, byte, read, nullptr), code(EIO));
    EXPECT_EQ(write(m_ports, h, {0x41}), code(EIO));
    EXPECT_EQ(m_ports.getCommModemStatus(h, status), code(EIO));
    EXPECT_EQ(m_ports.flushFileBuffers(h), code(EIO));
    EXPECT_EQ(m_ports.closeHandle(h), ports::kSuccess);
}

TEST_F(PosixPortSystemTest, PeerThatReadsNothingCannotHoldWrites) {
    const ports::Handle h = open(m_ports, "COM1");
    ASSERT_GE(h, 1);
    // Fast, so that the close gives what went out little time on the line.
    ASSERT_EQ(setUp(m_ports, h, "COM1:115200,n,8,1"), ports::kSuccess);
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

// A close lets a second of bytes leave the 300-baud line in the background. An open of the same
// device waits for it, under whatever name (a /dev/serial/by-id link and its tty), telling its
// listener what it waits for; a listener that will not wait has the rest dropped at once.
TEST_F(PosixPortSystemTest, AnOpenWaitsForTheSameDevicesCloseWhateverItsName) {
    struct Listener final : ports::CloseWaitListener {
        bool keepWaiting(const ports::ClosingPort& closing) override {
            told.push_back(closing);
            return keep;
        }
        std::vector<ports::ClosingPort> told;
        bool keep = true;
    } listener;
    const fs::path link = tempPath("drawertest-by-id");
    fs::remove(link);
    fs::create_symlink(m_pty.slave(), link);
    ports::PosixPortSystem system(mapTo({{"COM1", link.string()}, {"COM2", m_pty.slave()}}));
    system.setCloseWaitListener(&listener);
    const auto sendASecondAndClose = [&](ports::Handle h) {
        ASSERT_EQ(setUp(system, h, "COM1:300,n,8,1"), ports::kSuccess);
        ASSERT_EQ(write(system, h, Bytes(30, 'x')), ports::kSuccess);
        ASSERT_EQ(system.closeHandle(h), ports::kSuccess);
    };
    sendASecondAndClose(open(system, "COM1"));
    const ports::Handle h = open(system, "COM2");
    ASSERT_GE(h, 1) << system.lastError();
    ASSERT_FALSE(listener.told.empty());
    EXPECT_EQ(listener.told.front().port, "COM2");
    EXPECT_GT(listener.told.front().left.count(), 0);
    EXPECT_LE(listener.told.front().left.count(), 1000);
    EXPECT_EQ(m_pty.receive(30).size(), 30u);

    listener.told.clear();
    listener.keep = false;
    sendASecondAndClose(h);
    EXPECT_EQ(system.closingPorts().size(), 1u);
    EXPECT_GE(open(system, "COM1"), 1) << system.lastError();
    EXPECT_EQ(listener.told.size(), 1u);
    EXPECT_TRUE(system.closingPorts().empty());
    fs::remove(link);
}

TEST(PosixParallelPort, ADeviceWithoutALineTakesWritesWithinTheBound) {
    const fs::path fifo = tempPath("drawertest-lpt-fifo");
    fs::remove(fifo);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);  // reads nothing
    ports::PosixPortSystem system(mapTo({{"LPT2", fifo.string()}}));
    const ports::Handle h = open(system, "LPT2");
    ASSERT_GE(h, 1);
    // A device that cannot be polled and takes nothing still lets the write go.
    std::uint32_t written = 0;
    EXPECT_EQ(write(system, h, Bytes(256 * 1024, 'x'), &written), code(ETIMEDOUT));
    EXPECT_GT(written, 0u);
    EXPECT_LT(written, 256u * 1024u);
    // Its reader gone, the FIFO fails the write as a device that went away, and the program
    // lives on (no SIGPIPE).
    ::close(reader);
    EXPECT_EQ(write(system, h, {0x41}), code(EIO));
    EXPECT_EQ(system.closeHandle(h), ports::kSuccess);
    fs::remove(fifo);
}

// A search names the devices themselves: a path opens as a serial port where the rules take it
// for one and as a parallel port otherwise; only a printer has an ID to give.
TEST_F(PosixPortSystemTest, OpensADeviceByItsPathAndAsksOnlyAPrinterForItsId) {
    const fs::path fifo = tempPath("drawertest-direct-fifo");
    const fs::path file = tempPath("drawertest-direct-file");
    fs::remove(fifo);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);  // a FIFO somebody reads
    std::ofstream(file) << "not a port\n";
    std::string id = "untouched";
    for (const auto& [name, expected, idCode] :
         {std::tuple{m_pty.slave(), 0, ENOTTY}, std::tuple{fifo.string(), 0, ENOTTY},
          std::tuple{file.string(), ENOTTY, 0}, std::tuple{std::string("COM9"), ENOENT, 0},
          std::tuple{std::string("no such thing"), ENOENT, 0}}) {
        const ports::Handle h = open(m_ports, name);
        EXPECT_EQ(h >= 1 ? 0 : m_ports.lastError(), code(expected)) << name;
        if (h < 1)
            continue;
        EXPECT_EQ(m_ports.getDeviceId(h, id), code(idCode)) << name;
        EXPECT_EQ(m_ports.closeHandle(h), ports::kSuccess);
    }
    EXPECT_EQ(id, "untouched");
    // The FIFO was taken for a parallel port: it has no line to set.
    const ports::Handle h = open(m_ports, fifo.string());
    ports::CommDcb dcb;
    EXPECT_NE(m_ports.getCommState(h, dcb), ports::kSuccess);
    m_ports.closeHandle(h);
    ::close(reader);
    fs::remove(fifo);
    fs::remove(file);
}

TEST(PosixDeviceId, IsTheTextBehindItsLength) {
    using Answer = std::vector<std::uint8_t>;
    EXPECT_EQ(ports::deviceIdOf(Answer{0x00, 0x07, 'M', 'F', 'G', ':', 'X', 0, 0}), "MFG:X");
    EXPECT_EQ(ports::deviceIdOf(Answer{0x00, 0x02, 'M'}), "");
    EXPECT_EQ(ports::deviceIdOf(Answer{0x01, 0x00, 'M'}), "") << "longer than the answer";
    EXPECT_EQ(ports::deviceIdOf(Answer{0x00, 0x01}), "");
    EXPECT_EQ(ports::deviceIdOf(Answer{0x00}), "");
}

}  // namespace
