// A serial or parallel port on Windows: the kernel32 communications calls themselves on a handle
// opened for synchronous I/O, so that every read and write has ended, within its time-out, when
// the call returns. The port runs on this program's bounds (reads that never wait, a write
// limit from the stall budget), which the screens never see: the time-outs they set are kept for
// them to read back. The settings and time-outs found at the open are put back at the close.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "ports/medium.h"
#include "ports/naming/device_map.h"
#include "ports/stall_budget.h"

namespace ports {

class Win32CommPort final : public Medium {
public:
    // CreateFileA with the screens' arguments (the overlapped flag dropped); null with `code`
    // telling why. Only a device is taken for a port: a file, a pipe or a disk is refused with
    // ERROR_BAD_DEVICE, and a serial port that does not answer GetCommState with that call's
    // code.
    static std::unique_ptr<Win32CommPort> open(const std::string& path, PortKind kind,
                                               std::uint32_t access, std::uint32_t shareMode,
                                               std::uint32_t creation, std::uint32_t flags,
                                               ErrorCode& code);
    ~Win32CommPort() override;
    Win32CommPort(const Win32CommPort&) = delete;
    Win32CommPort& operator=(const Win32CommPort&) = delete;

    ErrorCode getState(CommDcb& dcb) override;
    ErrorCode setState(const CommDcb& dcb) override;
    ErrorCode escape(EscapeFunction function) override;
    ErrorCode modemStatus(std::uint32_t& status) override;
    ErrorCode flush() override;
    ErrorCode purge(std::uint32_t flags) override;
    ErrorCode queues(std::uint32_t& errors, CommStat& stat) override;
    ErrorCode setupQueues(std::uint32_t inQueue, std::uint32_t outQueue) override;
    ErrorCode getTimeouts(CommTimeoutsRec& timeouts) override;
    ErrorCode setTimeouts(const CommTimeoutsRec& timeouts) override;
    ErrorCode write(std::span<const std::uint8_t> bytes, std::uint32_t& written) override;
    ErrorCode read(std::uint8_t& byte) override;
    std::optional<std::chrono::nanoseconds> stillSending() override;
    ErrorCode finishSending(const std::atomic<bool>& stop) override;
    ErrorCode close() override;
    std::string deviceKey() const override { return m_deviceKey; }

    // BuildCommDCBA over the block, which keeps what the text does not name.
    static ErrorCode buildDcb(const std::string& settings, CommDcb& dcb);
    // The device a path names, whichever spelling: "\\.\COM1" and "com1" are one.
    static std::string keyOf(const std::string& path);

private:
    // A HANDLE, kept as the pointer it is: <windows.h> stays out of this header.
    using NativeHandle = void*;
    struct FoundLine;

    Win32CommPort(NativeHandle native, std::shared_ptr<const FoundLine> found, std::string key);
    // The port's read and write time-outs: reads that never wait, and a write limit from the
    // stall budget. Returns kSuccess or the code that refused them.
    ErrorCode applyBounds(std::uint32_t writeLimitMs);
    std::uint32_t outputQueued() const;
    std::uint32_t baud() const;

    NativeHandle m_native;
    std::shared_ptr<const FoundLine> m_found;
    std::string m_deviceKey;
    // Why this program's bounds could not be set (0 when they are in force): such a device is
    // never read, as a read could wait for ever.
    ErrorCode m_boundsRefused = 0;
    // The write time-out in force, in milliseconds.
    std::uint32_t m_writeLimitMs = 0;
    StallBudget m_stallBudget;
};

}  // namespace ports
