// The program-wide records every screen shares (one screen exists at a time, so their uses
// never overlap), and the handle, error and constant types of the port calls.
#pragma once

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdint>

namespace ports {

// A port handle: 1 or more when the open succeeded, kInvalidHandle after a failed open.
using Handle = std::int32_t;
inline constexpr Handle kInvalidHandle = -1;

// A write-completion event: 0 when it could not be created.
using EventHandle = std::int32_t;

// The platform's error code: errno values on POSIX, GetLastError values on Windows.
// 0 means success.
using ErrorCode = std::uint32_t;
inline constexpr ErrorCode kSuccess = 0;
// A write that is still under way (ERROR_IO_PENDING); not a failure for most callers.
inline constexpr ErrorCode kIoPending = 997;
inline bool writeFailed(ErrorCode code) {
    return code != kSuccess && code != kIoPending;
}
// Nothing came in time: no byte to read, no status reply within its bound, or a device that
// took no data within the port's stall budget.
#ifdef _WIN32
inline constexpr ErrorCode kTimedOut = 1460;  // ERROR_TIMEOUT
#else
inline constexpr ErrorCode kTimedOut = ETIMEDOUT;
#endif

// A port that has no printer's device ID to give: a serial line, a network connection.
#ifdef _WIN32
inline constexpr ErrorCode kNoDeviceId = 50;  // ERROR_NOT_SUPPORTED
#else
inline constexpr ErrorCode kNoDeviceId = ENOTTY;
#endif

// The arguments every screen opens its port with.
inline constexpr std::uint32_t kGenericReadWrite = 0xC0000000;  // GENERIC_READ | GENERIC_WRITE
inline constexpr std::uint32_t kShareReadWrite = 3;  // FILE_SHARE_READ | FILE_SHARE_WRITE
inline constexpr std::uint32_t kOpenExisting = 3;    // OPEN_EXISTING
inline constexpr std::uint32_t kPlainFile = 0;       // not overlapped

inline constexpr std::uint32_t kPurgeTxClear = 4;  // PURGE_TXCLEAR
inline constexpr std::uint32_t kPurgeRxClear = 8;  // PURGE_RXCLEAR

enum class EscapeFunction : std::uint32_t {
    SetRts = 3,  // SETRTS
    SetDtr = 5,  // SETDTR
};

// Modem-status bits as GetCommModemStatus reports them.
inline constexpr std::uint32_t kCtsOn = 0x10;
inline constexpr std::uint32_t kDsrOn = 0x20;
inline constexpr std::uint32_t kRingOn = 0x40;
inline constexpr std::uint32_t kCarrierOn = 0x80;

enum class Parity : std::uint8_t { None = 0, Odd = 1, Even = 2, Mark = 3, Space = 4 };
enum class StopBits : std::uint8_t { One = 0, OneAndHalf = 1, Two = 2 };

// The device-control block: the line settings of a serial port.
struct CommDcb {
    std::uint32_t baudRate = 0;
    std::uint8_t byteSize = 8;
    Parity parity = Parity::None;
    StopBits stopBits = StopBits::One;
    bool outxCtsFlow = false;
    bool outxDsrFlow = false;
    bool outX = false;  // XON/XOFF on output
    bool inX = false;   // XON/XOFF on input
};

// The time `bytes` take on a serial line at `baud` as this program sets every line up (8N1: a
// start bit, eight data bits and a stop bit, ten bits a byte).
constexpr std::chrono::microseconds wireTime(std::size_t bytes, std::uint32_t baud) {
    return std::chrono::microseconds(bytes * 10 * 1'000'000 / baud);
}

// How many bytes a serial driver's output queue takes before a write has to wait for the line
// (Linux's; Windows' drivers take as many).
inline constexpr std::size_t kSerialOutputQueue = 4096;

// A serial line's queues as ClearCommError reports them (the counts of its COMSTAT): bytes
// that have come and are not read yet, and bytes written that have not left yet.
struct CommStat {
    std::uint32_t inQueue = 0;
    std::uint32_t outQueue = 0;
};

// Time-outs of a port, in milliseconds.
struct CommTimeoutsRec {
    std::uint32_t readIntervalTimeout = 0;
    std::uint32_t readTotalTimeoutMultiplier = 0;
    std::uint32_t readTotalTimeoutConstant = 0;
    std::uint32_t writeTotalTimeoutMultiplier = 0;
    std::uint32_t writeTotalTimeoutConstant = 0;
};

// The overlapped-write record passed to every write. The offsets are never set; the event
// member holds the last sequence's event, closed or not.
struct WriteOverlapped {
    std::uint32_t internal = 0;
    std::uint32_t internalHigh = 0;
    std::uint32_t offset = 0;
    std::uint32_t offsetHigh = 0;
    EventHandle event = 0;
};

// One of each for the whole program.
struct SharedRecords {
    CommDcb commDcb;
    CommTimeoutsRec commTimeouts;
    WriteOverlapped writeOverlapped;
};

}  // namespace ports
