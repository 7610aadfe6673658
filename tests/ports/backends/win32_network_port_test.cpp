// The Windows backend with a network printer behind a port, through Winsock: the port contract
// against a loopback server of the test's own (IPv4, and IPv6 where the machine has it), and the
// printers that are not there or go away, each told with Winsock's own code.
// In this order: each needs the one before.
#include <winsock2.h>

#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <thread>

#include "ports/backends/win32_port_system.h"
#include "ports/port_contract.h"

namespace {

using namespace porttest;

ports::DeviceMap mapTo(const std::map<std::string, std::string>& devices) {
    return porttest::mapTo(devices, "\\\\.\\COM250");
}

// A TCP server on a loopback port of its own (IPv4 or IPv6), its port number in `port`;
// INVALID_SOCKET where the machine has no such loopback.
SOCKET listening(int family, std::string& port) {
    static const bool started = [] {
        WSADATA data{};
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    EXPECT_TRUE(started);
    const SOCKET server = ::socket(family, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_storage address{};
    int size = 0;
    if (family == AF_INET6) {
        auto& ipv6 = reinterpret_cast<sockaddr_in6&>(address);
        ipv6.sin6_family = AF_INET6;
        ipv6.sin6_addr = in6addr_loopback;
        size = sizeof ipv6;
    } else {
        auto& ipv4 = reinterpret_cast<sockaddr_in&>(address);
        ipv4.sin_family = AF_INET;
        ipv4.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        size = sizeof ipv4;
    }
    auto* named = reinterpret_cast<sockaddr*>(&address);
    if (server == INVALID_SOCKET || ::bind(server, named, size) != 0 || ::listen(server, 4) != 0 ||
        ::getsockname(server, named, &size) != 0) {
        if (server != INVALID_SOCKET)
            ::closesocket(server);
        return INVALID_SOCKET;
    }
    const auto number = family == AF_INET6 ? reinterpret_cast<sockaddr_in6&>(address).sin6_port
                                           : reinterpret_cast<sockaddr_in&>(address).sin_port;
    port = std::to_string(ntohs(number));
    return server;
}

// What the peer received, waiting (bounded) until `count` bytes came.
Bytes receiveFrom(SOCKET peer, std::size_t count) {
    Bytes bytes;
    for (int look = 0; look < 200 && bytes.size() < count; ++look) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(peer, &readable);
        timeval wait{0, 10000};
        if (::select(0, &readable, nullptr, nullptr, &wait) <= 0)
            continue;
        char chunk[256];
        const int n = ::recv(peer, chunk, sizeof chunk, 0);
        if (n <= 0)
            break;
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    return bytes;
}

// The contract on a serial port that leads to a network printer at `host`, as on Linux: each
// open a connection of its own, the line's settings kept for the screens to read back.
void expectNetworkContract(int family, const std::string& host) {
    std::string port;
    const SOCKET server = listening(family, port);
    if (server == INVALID_SOCKET)
        GTEST_SKIP() << "no loopback for this address family here";
    ports::Win32PortSystem system(mapTo({{"COM1", host + ":" + port}}));
    SOCKET peer = INVALID_SOCKET;  // the first connection, taken once the port has opened
    expectContract(system, {code(ERROR_FILE_NOT_FOUND), ports::kSuccess, code(ERROR_INVALID_HANDLE),
                            ports::kSuccess, code(WAIT_TIMEOUT),
                            [&](std::size_t n) {
                                if (peer == INVALID_SOCKET)
                                    peer = ::accept(server, nullptr, nullptr);
                                return receiveFrom(peer, n);
                            },
                            [&](const Bytes& bytes) {
                                ASSERT_EQ(::send(peer, reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<int>(bytes.size()), 0),
                                          static_cast<int>(bytes.size()));
                            }});
    ::closesocket(peer);
    ::closesocket(server);
}

TEST(Win32NetworkPort, HoldsThePortContractByName) {
    expectNetworkContract(AF_INET, "localhost");
}

TEST(Win32NetworkPort, HoldsThePortContractOverIpv6) {
    expectNetworkContract(AF_INET6, "[::1]");
}

// Nothing listening, a name no server knows, and a printer that resets the connection: each
// told with Winsock's code, reads and writes ending with the reset.
TEST(Win32NetworkPort, APrinterThatIsNotThereOrResetsIsToldWithWinsockCodes) {
    std::string free;
    const SOCKET probe = listening(AF_INET, free);
    ::closesocket(probe);
    std::string port;
    const SOCKET server = listening(AF_INET, port);
    ports::Win32PortSystem system(mapTo({{"COM1", "127.0.0.1:" + free},
                                         {"COM2", "no-such-printer.invalid"},
                                         {"LPT1", "127.0.0.1:" + port}}));
    EXPECT_EQ(open(system, "COM1"), ports::kInvalidHandle);
    EXPECT_EQ(system.lastError(), code(WSAECONNREFUSED));
    EXPECT_EQ(open(system, "COM2"), ports::kInvalidHandle);
    // No such host; where no name server answers in time, the bound of the lookup.
    EXPECT_TRUE(system.lastError() == code(WSAHOST_NOT_FOUND) ||
                system.lastError() == code(WSAETIMEDOUT))
        << system.lastError();

    // A parallel port on the network has no line to set.
    const ports::Handle h = open(system, "LPT1");
    ASSERT_GE(h, 1) << system.lastError();
    ports::CommDcb dcb;
    EXPECT_EQ(system.getCommState(h, dcb), code(ERROR_NOT_SUPPORTED));
    const SOCKET peer = ::accept(server, nullptr, nullptr);
    const linger abort{1, 0};
    ::setsockopt(peer, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort), sizeof abort);
    ::closesocket(peer);
    std::uint8_t byte = 0;
    std::uint32_t read = 0;
    ports::ErrorCode result = ports::kTimedOut;
    for (int look = 0; look < 200 && result == ports::kTimedOut; ++look) {
        if ((result = system.readFile(h, byte, read, nullptr)) == ports::kTimedOut)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(result, code(WSAECONNRESET));
    EXPECT_NE(write(system, h, {0x41}), ports::kSuccess);
    ::closesocket(server);
}

}  // namespace
