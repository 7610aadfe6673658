// The one seam between the screens and the operating system's port functions. Its calls are
// shaped like the communications calls the screens make; each returns kSuccess or the
// platform's error code, and lastError() answers what the last failed call reported.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "ports/closing_port.h"
#include "ports/port_types.h"

namespace ports {

class PortSystem {
public:
    virtual ~PortSystem() = default;

    // Opens a device by the name the screen stores ("COM1", "\\.\COM2", "LPT1", ...).
    // Returns a handle of 1 or more, or kInvalidHandle with lastError() telling why.
    virtual Handle createFile(const std::string& device, std::uint32_t access,
                              std::uint32_t shareMode, std::uint32_t creation,
                              std::uint32_t flags) = 0;
    // The code of the last call that failed (GetLastError).
    virtual ErrorCode lastError() const = 0;

    // Line settings.
    virtual ErrorCode getCommState(Handle handle, CommDcb& dcb) = 0;
    // Fills the block from a settings text such as "COM2:4800,n,8,1".
    virtual ErrorCode buildCommDcb(const std::string& settings, CommDcb& dcb) = 0;
    virtual ErrorCode setCommState(Handle handle, const CommDcb& dcb) = 0;
    virtual ErrorCode escapeCommFunction(Handle handle, EscapeFunction function) = 0;

    // Buffers and time-outs.
    virtual ErrorCode flushFileBuffers(Handle handle) = 0;
    // kPurgeTxClear drops output not yet sent, kPurgeRxClear input not yet read.
    virtual ErrorCode purgeComm(Handle handle, std::uint32_t flags) = 0;
    // The line's error flags, which the call clears, and the bytes waiting in its queues.
    virtual ErrorCode clearCommError(Handle handle, std::uint32_t& errors, CommStat& stat) = 0;
    virtual ErrorCode setupComm(Handle handle, std::uint32_t inQueue, std::uint32_t outQueue) = 0;
    virtual ErrorCode getCommTimeouts(Handle handle, CommTimeoutsRec& timeouts) = 0;
    virtual ErrorCode setCommTimeouts(Handle handle, const CommTimeoutsRec& timeouts) = 0;

    // The write-completion event of a sequence. createEvent returns 0 on failure; a null
    // name creates an unnamed event.
    virtual EventHandle createEvent(bool manualReset, bool initialState, const char* name) = 0;
    virtual ErrorCode closeEvent(EventHandle event) = 0;
    // 0 once the event is signalled; the platform's time-out code when timeoutMs passes.
    virtual ErrorCode waitForSingleObject(EventHandle event, std::uint32_t timeoutMs) = 0;

    // Writes a buffer; kIoPending means the write is still under way.
    virtual ErrorCode writeFile(Handle handle, std::span<const std::uint8_t> bytes,
                                std::uint32_t& written, WriteOverlapped* overlapped) = 0;
    // Reads one byte if one has come, without waiting: kTimedOut when none has.
    virtual ErrorCode readFile(Handle handle, std::uint8_t& byte, std::uint32_t& read,
                               WriteOverlapped* overlapped) = 0;
    virtual ErrorCode getOverlappedResult(Handle handle, WriteOverlapped& overlapped,
                                          std::uint32_t& transferred, bool wait) = 0;

    // The modem-status word: CTS 0x10, DSR 0x20, RI 0x40, CD 0x80.
    virtual ErrorCode getCommModemStatus(Handle handle, std::uint32_t& status) = 0;

    // The IEEE 1284 device ID of the printer on the port ("MFG:EPSON;CMD:ESC/POS;..."), as its
    // driver reads it from a USB printer or the parallel port's probe found it; fails with the
    // platform's code on a port that has none to give (a serial line, a network connection).
    virtual ErrorCode getDeviceId(Handle handle, std::string& id) = 0;

    virtual ErrorCode closeHandle(Handle handle) = 0;

    // Beyond the system's calls: the ports whose close still lets their output leave (a close
    // returns at once), for the program to show before it ends; dropping that output at once;
    // and who is told while an open waits for such a close of its device (none: it just waits).
    virtual std::vector<ClosingPort> closingPorts() const { return {}; }
    virtual void stopClosing() {}
    virtual void setCloseWaitListener(CloseWaitListener* /*listener*/) {}
};

}  // namespace ports
