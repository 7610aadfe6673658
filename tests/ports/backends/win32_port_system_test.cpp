// The Windows backend on kernel32 itself: names and handles that lead nowhere, events; and,
// under Wine, a pseudo-terminal behind COM5 whose far end is a peer process
// on the Linux side (scripts/wine-run starts it). Without that peer, as on Windows, the
// pseudo-terminal tests are skipped. The codes expected are the ones the system really gives,
// Wine's where they differ from a real serial port's (noted at each).
#include "ports/backends/win32_port_system.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <tuple>

#include "ports/port_contract.h"

namespace {

namespace fs = std::filesystem;
using namespace porttest;

ports::DeviceMap mapTo(const std::map<std::string, std::string>& devices) {
    return porttest::mapTo(devices, "\\\\.\\COM250");
}

TEST(Win32PortSystem, MissingPortsUnknownHandlesAndEvents) {
    ports::Win32PortSystem system(mapTo({{"LPT2", "LPT9"}}));
    for (const char* name : {"\\\\.\\COM2", "LPT2", "COM3"}) {
        EXPECT_EQ(open(system, name), ports::kInvalidHandle) << name;
        EXPECT_EQ(system.lastError(), code(ERROR_FILE_NOT_FOUND)) << name;
    }
    // A failed open's -1 is the current process to Windows, which "closes" it happily; it and
    // every other number that is no open port get the invalid-handle code.
    for (const ports::Handle never : {ports::kInvalidHandle, 0, 1000}) {
        EXPECT_EQ(system.closeHandle(never), code(ERROR_INVALID_HANDLE)) << never;
        EXPECT_EQ(write(system, never, {0x41}), code(ERROR_INVALID_HANDLE)) << never;
        std::uint32_t status = 0x1234;
        EXPECT_EQ(system.getCommModemStatus(never, status), code(ERROR_INVALID_HANDLE));
        EXPECT_EQ(status, 0x1234u);
    }

    // An endless wait for an event nothing signals ends at the bound.
    const ports::EventHandle event = system.createEvent(true, false, "0");
    ASSERT_GE(event, 1);
    EXPECT_EQ(system.waitForSingleObject(event, INFINITE), code(WAIT_TIMEOUT));
    EXPECT_EQ(system.closeEvent(event), ports::kSuccess);
}

TEST(Win32PortSystem, OnlyADeviceIsTakenForAPort) {
    const fs::path file = fs::temp_directory_path() / "drawertest-not-a-port.txt";
    std::ofstream(file) << "not a port";
    // NUL is a character device, but no serial port: GetCommState fails on it (Wine: 6).
    for (const auto& [port, path, expected] :
         {std::tuple{"COM1", file.string(), ERROR_BAD_DEVICE},
          std::tuple{"LPT1", file.string(), ERROR_BAD_DEVICE},
          std::tuple{"COM1", std::string("NUL"), ERROR_INVALID_HANDLE}}) {
        ports::Win32PortSystem system(mapTo({{port, path}}));
        EXPECT_EQ(open(system, port), ports::kInvalidHandle) << port << " on " << path;
        EXPECT_EQ(system.lastError(), code(expected)) << port << " on " << path;
    }
    fs::remove(file);
}

// The peer of scripts/wine-run, reached through Wine's drive Z:, which is the Linux root.
class Peer {
public:
    static std::optional<Peer> fromEnvironment() {
        const char* directory = std::getenv("DRAWERTEST_WINE_PEER");
        if (directory == nullptr || *directory == '\0')
            return std::nullopt;
        return Peer(fs::path(std::string("Z:") + directory));
    }

    // The bytes that arrived since the last call: waits (bounded) until `count` came or
    // nothing more does.
    Bytes receive(std::size_t count) {
        Bytes bytes;
        for (int quiet = 0; bytes.size() < count && quiet < 200; ++quiet) {
            std::ifstream in(m_directory / "received", std::ios::binary);
            in.seekg(static_cast<std::streamoff>(m_seen));
            const Bytes fresh{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            if (!fresh.empty())
                quiet = 0;
            bytes.insert(bytes.end(), fresh.begin(), fresh.end());
            m_seen += fresh.size();
            if (bytes.size() < count)
                ::Sleep(10);
        }
        return bytes;
    }
    void send(const Bytes& bytes) {
        std::ofstream(m_directory / "send.new", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        fs::rename(m_directory / "send.new", m_directory / "send");
    }
    // Like a device that takes no data while held.
    void hold(bool held) {
        if (held) {
            std::ofstream(m_directory / "hold");
            ::Sleep(100);  // the peer looks every 10 ms
        } else {
            fs::remove(m_directory / "hold");
        }
    }

private:
    explicit Peer(fs::path directory) : m_directory(std::move(directory)) {
        std::error_code ignored;
        m_seen = static_cast<std::size_t>(fs::file_size(m_directory / "received", ignored));
    }

    fs::path m_directory;
    std::size_t m_seen = 0;
};

class Win32PtyTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!m_peer)
            GTEST_SKIP() << "no pty peer: the runner under Wine, scripts/wine-run, provides it";
        m_handle = open(m_ports, "\\\\.\\COM1");
        ASSERT_GE(m_handle, 1) << m_ports.lastError();
        ASSERT_EQ(m_ports.getCommState(m_handle, m_found), ports::kSuccess);
        m_peer->receive(0);
    }
    void TearDown() override {
        if (m_peer)
            m_peer->hold(false);
    }

    std::optional<Peer> m_peer = Peer::fromEnvironment();
    ports::Win32PortSystem m_ports{mapTo({{"COM1", "\\\\.\\COM5"}})};
    ports::Handle m_handle = ports::kInvalidHandle;
    ports::CommDcb m_found;
};

TEST(Win32Contract, HoldsThePortContract) {
    std::optional<Peer> peer = Peer::fromEnvironment();
    if (!peer)
        GTEST_SKIP() << "no pty peer: the runner under Wine, scripts/wine-run, provides it";
    ports::Win32PortSystem system(mapTo({{"COM1", "\\\\.\\COM5"}}));
    peer->receive(0);
    // Wine lets a second open of the port through; a real port answers ERROR_ACCESS_DENIED.
    expectContract(system, {code(ERROR_FILE_NOT_FOUND), ports::kSuccess, code(ERROR_INVALID_HANDLE),
                            code(ERROR_INVALID_PARAMETER), code(WAIT_TIMEOUT),
                            [&](std::size_t n) { return peer->receive(n); },
                            [&](const Bytes& bytes) { peer->send(bytes); }});
}

TEST_F(Win32PtyTest, TheLineIsLeftAsFoundAndHasNoModemLines) {
    ASSERT_EQ(setUp(m_ports, m_handle, "COM1:4800,n,8,1"), ports::kSuccess);
    EXPECT_EQ(m_ports.purgeComm(m_handle, ports::kPurgeTxClear), ports::kSuccess);
    ASSERT_EQ(m_ports.closeHandle(m_handle), ports::kSuccess);
    m_handle = open(m_ports, "COM1");
    ports::CommDcb dcb;
    ASSERT_EQ(m_ports.getCommState(m_handle, dcb), ports::kSuccess);
    EXPECT_EQ(dcb.baudRate, m_found.baudRate);

    // Wine answers ERROR_NOT_SUPPORTED where the pty has no modem lines; a real port answers.
    std::uint32_t status = 0x12345;
    EXPECT_EQ(m_ports.getCommModemStatus(m_handle, status), code(ERROR_NOT_SUPPORTED));
    EXPECT_EQ(status, 0x12345u);
    EXPECT_EQ(m_ports.escapeCommFunction(m_handle, ports::EscapeFunction::SetRts),
              code(ERROR_NOT_SUPPORTED));
}

TEST_F(Win32PtyTest, NoTimeOutsSetByAScreenLetReadsOrWritesWaitForEver) {
    // The parallel set-up's "no write time-out", with a read time-out that never ends as well.
    ports::CommTimeoutsRec timeouts;
    ASSERT_EQ(m_ports.getCommTimeouts(m_handle, timeouts), ports::kSuccess);
    timeouts.readIntervalTimeout = 7;
    timeouts.readTotalTimeoutConstant = 0;
    timeouts.writeTotalTimeoutMultiplier = timeouts.writeTotalTimeoutConstant = 0;
    ASSERT_EQ(m_ports.setCommTimeouts(m_handle, timeouts), ports::kSuccess);
    std::uint8_t byte = 0;
    std::uint32_t read = 0;
    EXPECT_EQ(m_ports.readFile(m_handle, byte, read, nullptr), code(ERROR_TIMEOUT));

    // More than the pty holds, to a device that takes nothing: the write ends with what went
    // out, and so do the writes after it.
    m_peer->hold(true);
    const Bytes page(256 * 1024, 'x');
    std::uint32_t written = 0;
    EXPECT_EQ(write(m_ports, m_handle, page, &written), code(ERROR_TIMEOUT));
    EXPECT_GT(written, 0u);
    EXPECT_LT(written, page.size());
    std::uint32_t one = 0;
    const ports::ErrorCode next = write(m_ports, m_handle, {0x05}, &one);
    EXPECT_TRUE(next == ports::kSuccess || next == code(ERROR_TIMEOUT)) << next;
    EXPECT_EQ(m_ports.flushFileBuffers(m_handle), ports::kSuccess);
    // Once the device takes data again, so do the writes.
    m_peer->hold(false);
    EXPECT_EQ(m_peer->receive(written + one).size(), written + one);
    EXPECT_EQ(write(m_ports, m_handle, {0x41}), ports::kSuccess);
}

}  // namespace
