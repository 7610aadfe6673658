// The Windows backend on kernel32 itself: names and handles that lead nowhere, events, line
// settings texts; and, under Wine, a pseudo-terminal behind COM5 whose far end is a peer process
// on the Linux side (scripts/wine-run starts it). Without that peer, as on Windows, the
// pseudo-terminal tests are skipped. The codes expected are the ones the system really gives,
// Wine's where they differ from a real serial port's (noted at each).
#include "ports/win32_port_system.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>

namespace {

namespace fs = std::filesystem;
using ports::ErrorCode;

constexpr ErrorCode code(DWORD windowsError) {
    return static_cast<ErrorCode>(windowsError);
}

// Ports mapped to the given devices; unnamed ones to a port no machine here has.
ports::DeviceMap mapTo(std::map<std::string, std::string> paths) {
    return ports::DeviceMap::fromEnvironment([&paths](const char* variable) -> const char* {
        const std::string name = std::string(variable).substr(std::string("DRAWERTEST_").size());
        auto [it, added] = paths.try_emplace(name, "\\\\.\\COM250");
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

TEST(Win32PortSystem, MissingPortsAndUnknownHandles) {
    ports::Win32PortSystem system(mapTo({{"LPT2", "LPT9"}}));
    for (const char* name : {"COM1", "\\\\.\\COM2", "LPT1", "LPT2", "COM3", ""}) {
        EXPECT_EQ(open(system, name), ports::kInvalidHandle) << name;
        EXPECT_EQ(system.lastError(), code(ERROR_FILE_NOT_FOUND)) << name;
    }

    // A failed open's -1 is the current process to Windows, which "closes" it happily; it and
    // every other number that is no open port get the invalid-handle code.
    for (const ports::Handle never : {ports::kInvalidHandle, 0, 1, 1000}) {
        EXPECT_EQ(system.closeHandle(never), code(ERROR_INVALID_HANDLE)) << never;
        EXPECT_EQ(write(system, never, {0x41}), code(ERROR_INVALID_HANDLE));
        std::uint8_t byte = 0;
        std::uint32_t read = 9;
        EXPECT_EQ(system.readFile(never, byte, read, nullptr), code(ERROR_INVALID_HANDLE));
        EXPECT_EQ(read, 0u);
        std::uint32_t status = 0x1234;
        EXPECT_EQ(system.getCommModemStatus(never, status), code(ERROR_INVALID_HANDLE));
        EXPECT_EQ(status, 0x1234u);
        ports::CommDcb dcb;
        EXPECT_EQ(system.getCommState(never, dcb), code(ERROR_INVALID_HANDLE));
        EXPECT_EQ(system.flushFileBuffers(never), code(ERROR_INVALID_HANDLE));
        EXPECT_EQ(system.lastError(), code(ERROR_INVALID_HANDLE));
    }
}

TEST(Win32PortSystem, SettingsTextsReadByTheSystem) {
    ports::Win32PortSystem system(mapTo({}));
    ports::CommDcb dcb;
    dcb.outxCtsFlow = true;
    dcb.outX = true;
    ASSERT_EQ(system.buildCommDcb("COM2:4800,n,8,1", dcb), ports::kSuccess);
    EXPECT_EQ(dcb.baudRate, 4800u);
    EXPECT_EQ(dcb.byteSize, 8);
    EXPECT_EQ(dcb.parity, ports::Parity::None);
    EXPECT_EQ(dcb.stopBits, ports::StopBits::One);
    EXPECT_FALSE(dcb.outxCtsFlow || dcb.outxDsrFlow || dcb.outX || dcb.inX)
        << "a text without flow control switches it off";

    ASSERT_EQ(system.buildCommDcb("COM1:2400,e,7,2", dcb), ports::kSuccess);
    EXPECT_EQ(dcb.baudRate, 2400u);
    EXPECT_EQ(dcb.byteSize, 7);
    EXPECT_EQ(dcb.parity, ports::Parity::Even);
    EXPECT_EQ(dcb.stopBits, ports::StopBits::Two);

    // A rate of 0 reads; it is the set-up that refuses it.
    ASSERT_EQ(system.buildCommDcb("COM1:0,n,8,1", dcb), ports::kSuccess);
    EXPECT_EQ(dcb.baudRate, 0u);

    const ports::CommDcb before = dcb;
    EXPECT_EQ(system.buildCommDcb("COM1:fast,n,8,1", dcb), code(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(system.lastError(), code(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(dcb.baudRate, before.baudRate);
}

TEST(Win32PortSystem, Events) {
    ports::Win32PortSystem system(mapTo({}));
    const ports::EventHandle named = system.createEvent(true, false, "0");
    const ports::EventHandle unnamed = system.createEvent(true, false, nullptr);
    ASSERT_GE(named, 1);
    ASSERT_GE(unnamed, 1);
    EXPECT_NE(named, unnamed);
    EXPECT_EQ(system.waitForSingleObject(named, 0), code(WAIT_TIMEOUT));
    EXPECT_EQ(system.lastError(), code(WAIT_TIMEOUT));
    // An endless wait for an event nothing signals ends at the bound; a signalled event ends it
    // at once.
    EXPECT_EQ(system.waitForSingleObject(unnamed, INFINITE), code(WAIT_TIMEOUT));
    const ports::EventHandle signalled = system.createEvent(true, true, nullptr);
    EXPECT_EQ(system.waitForSingleObject(signalled, INFINITE), ports::kSuccess);
    EXPECT_EQ(system.waitForSingleObject(signalled, INFINITE), ports::kSuccess)
        << "manual reset: it stays signalled";

    EXPECT_EQ(system.closeEvent(named), ports::kSuccess);
    EXPECT_EQ(system.closeEvent(named), code(ERROR_INVALID_HANDLE));
    EXPECT_EQ(system.waitForSingleObject(named, 0), code(ERROR_INVALID_HANDLE));
    EXPECT_GT(system.createEvent(true, false, "0"), signalled) << "event numbers are not reused";
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
    std::vector<std::uint8_t> receive(std::size_t count) {
        std::vector<std::uint8_t> bytes;
        for (int quiet = 0; bytes.size() < count && quiet < 200; ++quiet) {
            std::ifstream in(m_directory / "received", std::ios::binary);
            in.seekg(static_cast<std::streamoff>(m_seen));
            const std::vector<std::uint8_t> fresh{std::istreambuf_iterator<char>(in),
                                                  std::istreambuf_iterator<char>()};
            if (!fresh.empty())
                quiet = 0;
            bytes.insert(bytes.end(), fresh.begin(), fresh.end());
            m_seen += fresh.size();
            if (bytes.size() < count)
                ::Sleep(10);
        }
        return bytes;
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
        m_peer->receive(0);
    }
    void TearDown() override {
        if (m_peer)
            m_peer->hold(false);
    }

    std::optional<Peer> m_peer = Peer::fromEnvironment();
    ports::Win32PortSystem m_ports{mapTo({{"COM1", "\\\\.\\COM5"}})};
    ports::Handle m_handle = ports::kInvalidHandle;
};

TEST_F(Win32PtyTest, SetUpAndWritesArriveAsWritten) {
    ASSERT_EQ(setUp(m_ports, m_handle, "COM1:4800,n,8,1"), ports::kSuccess);
    ports::CommDcb dcb;
    ASSERT_EQ(m_ports.getCommState(m_handle, dcb), ports::kSuccess);
    EXPECT_EQ(dcb.baudRate, 4800u);
    EXPECT_EQ(dcb.byteSize, 8);
    EXPECT_EQ(dcb.parity, ports::Parity::None);
    EXPECT_EQ(dcb.stopBits, ports::StopBits::One);
    EXPECT_FALSE(dcb.outxCtsFlow || dcb.outxDsrFlow || dcb.outX || dcb.inX);

    // A rate of 0 is refused before the line sees it (Wine would take it as the hang-up rate).
    EXPECT_EQ(setUp(m_ports, m_handle, "COM1:0,n,8,1"), code(ERROR_INVALID_PARAMETER));
    ASSERT_EQ(m_ports.getCommState(m_handle, dcb), ports::kSuccess);
    EXPECT_EQ(dcb.baudRate, 4800u);

    EXPECT_EQ(m_ports.flushFileBuffers(m_handle), ports::kSuccess);
    EXPECT_EQ(m_ports.purgeComm(m_handle, ports::kPurgeTxClear), ports::kSuccess);
    EXPECT_EQ(m_ports.setupComm(m_handle, 0, 0), ports::kSuccess);

    const std::vector<std::vector<std::uint8_t>> sent{
        {0x0A}, {0x41, 0x00}, {0x0D, 0x0A}, {0x1B, 'p', 0, 25, 250}, {0x00, 0xFF, 0x11, 0x13}};
    std::vector<std::uint8_t> all;
    for (const auto& bytes : sent) {
        std::uint32_t written = 0;
        EXPECT_EQ(write(m_ports, m_handle, bytes, &written), ports::kSuccess);
        EXPECT_EQ(written, bytes.size());
        all.insert(all.end(), bytes.begin(), bytes.end());
    }
    EXPECT_EQ(m_peer->receive(all.size()), all);
}

TEST_F(Win32PtyTest, StatusReplyAndSilence) {
    // A sequence's own record and event, as a printer's status tick passes them.
    ports::WriteOverlapped own;
    own.event = m_ports.createEvent(true, false, "0");
    ASSERT_GE(own.event, 1);
    std::uint32_t count = 0;
    const std::uint8_t request = 0x05;
    ASSERT_EQ(m_ports.writeFile(m_handle, std::span(&request, 1), count, &own), ports::kSuccess);
    EXPECT_EQ(count, 1u);
    // The write ended within the call and signalled the record's event.
    EXPECT_EQ(m_ports.waitForSingleObject(own.event, 1000), ports::kSuccess);
    std::uint32_t transferred = 0;
    EXPECT_EQ(m_ports.getOverlappedResult(m_handle, own, transferred, false), ports::kSuccess);
    EXPECT_EQ(transferred, 1u);
    EXPECT_EQ(own.internalHigh, 1u);

    std::uint8_t reply = 0;
    std::uint32_t read = 0;
    ErrorCode result = code(ERROR_TIMEOUT);
    for (int attempt = 0; attempt < 40 && result == code(ERROR_TIMEOUT); ++attempt)
        result = m_ports.readFile(m_handle, reply, read, &own);
    EXPECT_EQ(result, ports::kSuccess);
    EXPECT_EQ(reply, 0x12);
    EXPECT_EQ(read, 1u);
    EXPECT_EQ(m_ports.getOverlappedResult(m_handle, own, transferred, false), ports::kSuccess);
    EXPECT_EQ(transferred, 1u);

    // Nothing asked, nothing comes: the read gives up with the time-out code.
    reply = 0;
    EXPECT_EQ(m_ports.readFile(m_handle, reply, read, nullptr), code(ERROR_TIMEOUT));
    EXPECT_EQ(read, 0u);
    EXPECT_EQ(reply, 0);
    EXPECT_EQ(m_ports.lastError(), code(ERROR_TIMEOUT));
    EXPECT_EQ(m_ports.closeEvent(own.event), ports::kSuccess);
}

TEST_F(Win32PtyTest, ModemLinesOnAPtyAreNotSupported) {
    // Wine answers ERROR_NOT_SUPPORTED where the pty has no modem lines; a real port answers.
    std::uint32_t status = 0x12345;
    EXPECT_EQ(m_ports.getCommModemStatus(m_handle, status), code(ERROR_NOT_SUPPORTED));
    EXPECT_EQ(status, 0x12345u);
    EXPECT_EQ(m_ports.escapeCommFunction(m_handle, ports::EscapeFunction::SetRts),
              code(ERROR_NOT_SUPPORTED));
    EXPECT_EQ(m_ports.escapeCommFunction(m_handle, ports::EscapeFunction::SetDtr),
              code(ERROR_NOT_SUPPORTED));
    EXPECT_EQ(m_ports.lastError(), code(ERROR_NOT_SUPPORTED));
}

TEST_F(Win32PtyTest, NoTimeOutsSetByAScreenLetReadsOrWritesWaitForEver) {
    // The parallel set-up's "no write time-out", with a read time-out that never ends as well.
    ports::CommTimeoutsRec timeouts;
    ASSERT_EQ(m_ports.getCommTimeouts(m_handle, timeouts), ports::kSuccess);
    timeouts.readIntervalTimeout = 7;
    timeouts.readTotalTimeoutConstant = 0;
    timeouts.writeTotalTimeoutMultiplier = 0;
    timeouts.writeTotalTimeoutConstant = 0;
    ASSERT_EQ(m_ports.setCommTimeouts(m_handle, timeouts), ports::kSuccess);
    ports::CommTimeoutsRec readBack;
    ASSERT_EQ(m_ports.getCommTimeouts(m_handle, readBack), ports::kSuccess);
    EXPECT_EQ(readBack.readIntervalTimeout, 7u);
    EXPECT_EQ(readBack.writeTotalTimeoutConstant, 0u);

    std::uint8_t byte = 0;
    std::uint32_t read = 0;
    EXPECT_EQ(m_ports.readFile(m_handle, byte, read, nullptr), code(ERROR_TIMEOUT));

    // More than the pty holds, to a device that takes nothing: the write ends with what went
    // out.
    m_peer->hold(true);
    const std::vector<std::uint8_t> page(256 * 1024, 'x');
    std::uint32_t written = 0;
    EXPECT_EQ(write(m_ports, m_handle, page, &written), code(ERROR_TIMEOUT));
    EXPECT_GT(written, 0u);
    EXPECT_LT(written, page.size());
    // A screen writing on to the stuck device keeps getting its answers.
    std::uint32_t total = written;
    for (int tick = 0; tick < 20; ++tick) {
        std::uint32_t one = 0;
        const ErrorCode result = write(m_ports, m_handle, {0x05}, &one);
        EXPECT_TRUE(result == ports::kSuccess || result == code(ERROR_TIMEOUT)) << result;
        total += one;
    }
    EXPECT_EQ(m_ports.flushFileBuffers(m_handle), ports::kSuccess);

    // Once the device takes data again, so do the writes.
    m_peer->hold(false);
    EXPECT_EQ(m_peer->receive(total).size(), total);
    EXPECT_EQ(write(m_ports, m_handle, {0x41}), ports::kSuccess);
    EXPECT_EQ(m_peer->receive(1), (std::vector<std::uint8_t>{0x41}));
}

TEST_F(Win32PtyTest, HandlesAreSmallAndNeverReused) {
    const ports::Handle first = m_handle;
    ASSERT_EQ(m_ports.closeHandle(first), ports::kSuccess);
    EXPECT_EQ(m_ports.closeHandle(first), code(ERROR_INVALID_HANDLE));
    EXPECT_EQ(write(m_ports, first, {0x41}), code(ERROR_INVALID_HANDLE));
    for (int cycle = 0; cycle < 20; ++cycle) {
        const ports::Handle h = open(m_ports, "COM1");
        ASSERT_GT(h, first);
        EXPECT_LE(h, first + cycle + 1);
        EXPECT_EQ(m_ports.closeHandle(h), ports::kSuccess);
    }
    m_handle = open(m_ports, "COM1");
    EXPECT_EQ(write(m_ports, m_handle, {0x42}), ports::kSuccess);
    EXPECT_EQ(m_peer->receive(1), (std::vector<std::uint8_t>{0x42}));
}

}  // namespace
