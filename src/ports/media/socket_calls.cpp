// The socket calls. Only the section below differs between the platforms; the rest is written
// once against it.
#include "ports/media/socket_calls.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
// In this order: each needs the one before.
#include <winsock2.h>

#include <ws2tcpip.h>

#include <mstcpip.h>
#else
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#endif

#include <algorithm>
#include <array>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

namespace ports::net {

namespace {

// ---- what differs ----

#ifdef _WIN32
using PollEntry = WSAPOLLFD;

ErrorCode lastSocketError() {
    return static_cast<ErrorCode>(::WSAGetLastError());
}
bool wouldBlock(ErrorCode code) {
    return code == WSAEWOULDBLOCK;
}
constexpr ErrorCode kConnectTimedOut = WSAETIMEDOUT;
// getaddrinfo answers Winsock's own code: 11001 for no such host.
ErrorCode lookupFailure(int result) {
    return static_cast<ErrorCode>(result);
}
constexpr ErrorCode kNoLineCode = ERROR_NOT_SUPPORTED;
constexpr ErrorCode kEndedCode = WSAECONNRESET;
constexpr int kSendFlags = 0;

// Winsock's codes say what ended a connection well enough.
ErrorCode asEnded(ErrorCode code) {
    return code;
}
void closeNative(Socket socket) {
    ::closesocket(static_cast<SOCKET>(socket));
}
void shutdownSending(Socket socket) {
    ::shutdown(static_cast<SOCKET>(socket), SD_SEND);
}

// Winsock wants starting once per process, before its first call (a name lookup too).
ErrorCode startSockets() {
    static const ErrorCode started = [] {
        WSADATA data{};
        return static_cast<ErrorCode>(::WSAStartup(MAKEWORD(2, 2), &data));
    }();
    return started;
}
Socket openSocket(int family) {
    const SOCKET s = ::socket(family, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        return kNoSocket;
    u_long on = 1;
    ::ioctlsocket(s, FIONBIO, &on);
    return static_cast<Socket>(s);
}
SOCKET native(Socket socket) {
    return static_cast<SOCKET>(socket);
}
int pollOne(PollEntry& entry, int timeoutMs) {
    return ::WSAPoll(&entry, 1, timeoutMs);
}
// Whether a connection being made got its answer within the time: WSAPoll does not report a
// refused connection on every Windows (it waits out its time), select does.
bool connectAnswered(Socket socket, int timeoutMs) {
    fd_set writable;
    fd_set failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(native(socket), &writable);
    FD_SET(native(socket), &failed);
    timeval limit{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    return ::select(0, nullptr, &writable, &failed, &limit) > 0;
}
std::size_t readable(Socket socket) {
    u_long count = 0;
    return ::ioctlsocket(native(socket), FIONREAD, &count) == 0 ? count : 0;
}
std::size_t unsent(Socket socket) {
#ifdef SIO_TCP_INFO
    DWORD version = 0;
    TCP_INFO_v0 info{};
    DWORD size = 0;
    if (::WSAIoctl(native(socket), SIO_TCP_INFO, &version, sizeof version, &info, sizeof info,
                   &size, nullptr, nullptr) == 0)
        return info.BytesInFlight;
#else
    (void)socket;
#endif
    return 0;
}
#else
using PollEntry = pollfd;

ErrorCode lastSocketError() {
    return static_cast<ErrorCode>(errno);
}
bool wouldBlock(ErrorCode code) {
    return code == EAGAIN || code == EWOULDBLOCK || code == EINTR || code == EINPROGRESS;
}
constexpr ErrorCode kConnectTimedOut = ETIMEDOUT;
// getaddrinfo's codes are no errno values: a name that leads nowhere is a host out of reach.
ErrorCode lookupFailure(int /*result*/) {
    return EHOSTUNREACH;
}
constexpr ErrorCode kNoLineCode = ENOTTY;
constexpr ErrorCode kEndedCode = EIO;
// A peer gone must fail the send, not end the program with SIGPIPE.
constexpr int kSendFlags = MSG_NOSIGNAL;

ErrorCode startSockets() {
    return kSuccess;
}
Socket openSocket(int family) {
    const int fd = ::socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    return fd < 0 ? kNoSocket : fd;
}
int native(Socket socket) {
    return static_cast<int>(socket);
}
// A connection that went away reads and writes as a device that went away.
ErrorCode asEnded(ErrorCode code) {
    return code == EPIPE || code == ECONNRESET ? EIO : code;
}
void closeNative(Socket socket) {
    ::close(native(socket));
}
void shutdownSending(Socket socket) {
    ::shutdown(native(socket), SHUT_WR);
}
int pollOne(PollEntry& entry, int timeoutMs) {
    return ::poll(&entry, 1, timeoutMs);
}
bool connectAnswered(Socket socket, int timeoutMs) {
    PollEntry entry{native(socket), POLLOUT, 0};
    return pollOne(entry, timeoutMs) > 0;
}
std::size_t readable(Socket socket) {
    int count = 0;
    return ::ioctl(native(socket), FIONREAD, &count) == 0 && count > 0
               ? static_cast<std::size_t>(count)
               : 0;
}
std::size_t unsent(Socket socket) {
    int count = 0;
    return ::ioctl(native(socket), TIOCOUTQ, &count) == 0 && count > 0
               ? static_cast<std::size_t>(count)
               : 0;
}
#endif

// ---- written once ----

using SteadyClock = std::chrono::steady_clock;

int millisUntil(SteadyClock::time_point end) {
    const auto left = std::max(SteadyClock::duration::zero(), end - SteadyClock::now());
    return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
}

int millisOf(std::chrono::nanoseconds limit) {
    return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(limit).count());
}

// A host name's addresses, looked up while the limit lasts: a name server that does not answer
// must not hold the window. A lookup that outlives its wait ends on its own and frees its answer.
struct Lookup {
    std::mutex mutex;
    bool abandoned = false;
};
using AddressList = std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)>;

AddressList resolve(const NetworkAddress& address, SteadyClock::time_point end, ErrorCode& code) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
    const std::string service = std::to_string(address.port);
    addrinfo* list = nullptr;
    if (::getaddrinfo(address.host.c_str(), service.c_str(), &hints, &list) == 0)
        return {list, &::freeaddrinfo};
    hints.ai_flags = AI_NUMERICSERV;
    auto lookup = std::make_shared<Lookup>();
    auto answer = std::make_shared<std::promise<std::pair<addrinfo*, int>>>();
    std::future<std::pair<addrinfo*, int>> result = answer->get_future();
    std::thread([lookup, answer, hints, host = address.host, service] {
        addrinfo* found = nullptr;
        const int failure = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
        if (failure != 0)
            found = nullptr;
        const std::lock_guard lock(lookup->mutex);
        if (lookup->abandoned) {
            if (found != nullptr)
                ::freeaddrinfo(found);
        } else {
            answer->set_value({found, failure});
        }
    }).detach();
    if (result.wait_for(end - SteadyClock::now()) != std::future_status::ready) {
        const std::lock_guard lock(lookup->mutex);
        if (result.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
            lookup->abandoned = true;
            code = kConnectTimedOut;
            return {nullptr, &::freeaddrinfo};
        }
    }
    const auto [found, failure] = result.get();
    code = found == nullptr ? lookupFailure(failure) : kSuccess;
    return {found, &::freeaddrinfo};
}

}  // namespace

const ErrorCode kNoLine = kNoLineCode;
const ErrorCode kEnded = kEndedCode;

ErrorCode endedCode(ErrorCode code) {
    return asEnded(code);
}

void closeSocket(Socket socket) {
    closeNative(socket);
}

Socket connectTo(const NetworkAddress& address, std::chrono::milliseconds limit, ErrorCode& code) {
    const auto end = SteadyClock::now() + limit;
    if ((code = startSockets()) != kSuccess)
        return kNoSocket;
    const AddressList list = resolve(address, end, code);
    for (const addrinfo* a = list.get(); a != nullptr; a = a->ai_next) {
        const Socket socket = openSocket(a->ai_family);
        if (socket == kNoSocket) {
            code = lastSocketError();
            continue;
        }
        ErrorCode error =
            ::connect(native(socket), a->ai_addr, static_cast<int>(a->ai_addrlen)) == 0
                ? kSuccess
                : lastSocketError();
        if (wouldBlock(error)) {
            if (!connectAnswered(socket, millisUntil(end))) {
                error = kConnectTimedOut;
            } else {
                int pending = 0;
                socklen_t size = sizeof pending;
                error = ::getsockopt(native(socket), SOL_SOCKET, SO_ERROR,
                                     reinterpret_cast<char*>(&pending), &size) == 0
                            ? static_cast<ErrorCode>(pending)
                            : lastSocketError();
            }
        }
        if (error == kSuccess) {
            // Each status request goes out as it is written, not after the next one.
            const int on = 1;
            ::setsockopt(native(socket), IPPROTO_TCP, TCP_NODELAY,
                         reinterpret_cast<const char*>(&on), sizeof on);
            code = kSuccess;
            return socket;
        }
        closeSocket(socket);
        code = error;
    }
    return kNoSocket;
}

ErrorCode sendSome(Socket socket, std::span<const std::uint8_t> bytes, std::size_t& taken) {
    taken = 0;
    const auto n = ::send(native(socket), reinterpret_cast<const char*>(bytes.data()),
                          static_cast<int>(bytes.size()), kSendFlags);
    if (n > 0) {
        taken = static_cast<std::size_t>(n);
        return kSuccess;
    }
    const ErrorCode code = n < 0 ? lastSocketError() : kSuccess;
    return n == 0 || wouldBlock(code) ? kSuccess : endedCode(code);
}

void awaitRoom(Socket socket, std::chrono::nanoseconds limit) {
    PollEntry entry{native(socket), POLLOUT, 0};
    pollOne(entry, millisOf(limit));
}

void awaitInput(Socket socket, std::chrono::nanoseconds limit) {
    PollEntry entry{native(socket), POLLIN, 0};
    pollOne(entry, millisOf(limit));
}

ErrorCode receiveOne(Socket socket, std::uint8_t& byte, Input& input) {
    char value = 0;
    const auto n = ::recv(native(socket), &value, 1, 0);
    input = n == 1 ? Input::Byte : n == 0 ? Input::End : Input::Nothing;
    if (n == 1)
        byte = static_cast<std::uint8_t>(value);
    const ErrorCode code = n < 0 ? lastSocketError() : kSuccess;
    return wouldBlock(code) ? kSuccess : code;
}

std::size_t bytesWaiting(Socket socket) {
    // A closed connection polls as readable with nothing to read.
    PollEntry entry{native(socket), POLLIN, 0};
    if (pollOne(entry, 0) <= 0 || (entry.revents & (POLLIN | POLLHUP | POLLERR)) == 0)
        return 0;
    return std::max<std::size_t>(readable(socket), 1);
}

std::size_t bytesUnacknowledged(Socket socket) {
    return unsent(socket);
}

ErrorCode pendingError(Socket socket) {
    int pending = 0;
    socklen_t size = sizeof pending;
    if (::getsockopt(native(socket), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&pending),
                     &size) != 0)
        return lastSocketError();
    if (pending != 0)
        return endedCode(static_cast<ErrorCode>(pending));
    // A reset whose code a failed call took already leaves the connection hung up.
    PollEntry entry{native(socket), POLLOUT, 0};
    return pollOne(entry, 0) > 0 && (entry.revents & POLLHUP) != 0 ? kEnded : kSuccess;
}

void endSending(Socket socket) {
    shutdownSending(socket);
}

}  // namespace ports::net
