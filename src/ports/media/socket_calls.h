// The socket calls of a network connection, the same on every platform: POSIX sockets on Linux,
// Winsock on Windows (socket_calls.cpp holds the few lines that differ). Every socket is
// non-blocking; codes are the platform's own: errno values, or WSA codes.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>

#include "ports/naming/network_address.h"
#include "ports/port_types.h"

namespace ports::net {

// A SOCKET on Windows, a descriptor elsewhere.
using Socket = std::intptr_t;
inline constexpr Socket kNoSocket = -1;

// What a connection answers for the line calls it cannot make: it has no line.
extern const ErrorCode kNoLine;

// A connection made within `limit`: its socket, or kNoSocket with `code` telling why (the
// platform's refused, unreachable or timed-out code).
Socket connectTo(const NetworkAddress& address, std::chrono::milliseconds limit, ErrorCode& code);
void closeSocket(Socket socket);

// What the connection takes now into `taken` (0: nothing fits yet), or the code that ended it.
ErrorCode sendSome(Socket socket, std::span<const std::uint8_t> bytes, std::size_t& taken);
// Waits up to `limit` for room to send, or for anything to read.
void awaitRoom(Socket socket, std::chrono::nanoseconds limit);
void awaitInput(Socket socket, std::chrono::nanoseconds limit);
// What a read without waiting found: a byte, nothing yet, or the peer's end of the stream (it
// closed the connection in order). A connection that failed (a reset) answers its code as the
// system gives it.
enum class Input { Byte, Nothing, End };
ErrorCode receiveOne(Socket socket, std::uint8_t& byte, Input& input);
// Bytes come and not read; 1 for a connection that ended, so that a read finds the end.
std::size_t bytesWaiting(Socket socket);
// Bytes sent that the peer has not acknowledged yet (and not sent yet), as far as the system
// tells: 0 where it cannot.
std::size_t bytesUnacknowledged(Socket socket);
// The error the connection has met (a reset, even one a failed call reported already), as the
// calls on the port report it, or kSuccess.
ErrorCode pendingError(Socket socket);
// Sends the end of the stream: the peer reads what came and then the end.
void endSending(Socket socket);

// A connection that went away, however it ended (kEnded: the peer closed it), as the calls on
// the port report it.
ErrorCode endedCode(ErrorCode code);
extern const ErrorCode kEnded;

}  // namespace ports::net
