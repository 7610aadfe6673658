// The port seam on Windows: the kernel32 communications calls themselves, behind small handle
// numbers, with every wait on a device bounded. Error codes are GetLastError values.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "ports/backends/closing_ports.h"
#include "ports/naming/device_map.h"
#include "ports/port_system.h"
#include "ports/stall_budget.h"

namespace ports {

class Win32PortSystem final : public PortSystem {
public:
    explicit Win32PortSystem(DeviceMap devices);
    ~Win32PortSystem() override;
    Win32PortSystem(const Win32PortSystem&) = delete;
    Win32PortSystem& operator=(const Win32PortSystem&) = delete;

    // The devices the ports lead to from now on; a port already open keeps its device.
    void setDevices(DeviceMap devices) { m_devices = std::move(devices); }

    // The access, share and creation arguments go to CreateFileA as given. The overlapped flag
    // does not: a port is always opened for synchronous I/O, so that every read and write has
    // ended, within its time-out, when the call returns. Only a device is taken for a port:
    // a file, a pipe or a disk is refused with ERROR_BAD_DEVICE, and a serial port that does not
    // answer GetCommState with that call's code.
    Handle createFile(const std::string& device, std::uint32_t access, std::uint32_t shareMode,
                      std::uint32_t creation, std::uint32_t flags) override;
    ErrorCode lastError() const override { return m_lastError; }

    ErrorCode getCommState(Handle handle, CommDcb& dcb) override;
    ErrorCode buildCommDcb(const std::string& settings, CommDcb& dcb) override;
    ErrorCode setCommState(Handle handle, const CommDcb& dcb) override;
    ErrorCode escapeCommFunction(Handle handle, EscapeFunction function) override;

    ErrorCode flushFileBuffers(Handle handle) override;
    ErrorCode purgeComm(Handle handle, std::uint32_t flags) override;
    ErrorCode clearCommError(Handle handle, std::uint32_t& errors, CommStat& stat) override;
    ErrorCode setupComm(Handle handle, std::uint32_t inQueue, std::uint32_t outQueue) override;
    // The time-outs as the screens set them. The port itself runs on this backend's bounds,
    // which the screens never see.
    ErrorCode getCommTimeouts(Handle handle, CommTimeoutsRec& timeouts) override;
    ErrorCode setCommTimeouts(Handle handle, const CommTimeoutsRec& timeouts) override;

    EventHandle createEvent(bool manualReset, bool initialState, const char* name) override;
    ErrorCode closeEvent(EventHandle event) override;
    ErrorCode waitForSingleObject(EventHandle event, std::uint32_t timeoutMs) override;

    ErrorCode writeFile(Handle handle, std::span<const std::uint8_t> bytes, std::uint32_t& written,
                        WriteOverlapped* overlapped) override;
    ErrorCode readFile(Handle handle, std::uint8_t& byte, std::uint32_t& read,
                       WriteOverlapped* overlapped) override;
    ErrorCode getOverlappedResult(Handle handle, WriteOverlapped& overlapped,
                                  std::uint32_t& transferred, bool wait) override;

    ErrorCode getCommModemStatus(Handle handle, std::uint32_t& status) override;

    ErrorCode closeHandle(Handle handle) override;

private:
    // A HANDLE, kept as the pointer it is: <windows.h> stays out of this header.
    using NativeHandle = void*;
    struct NativeOverlapped;
    // The port's settings and time-outs as they were found, put back when it closes.
    struct FoundLine;

    struct Port {
        NativeHandle native = nullptr;
        std::shared_ptr<const FoundLine> found;
        // What the screens last set, or what the port had when it opened.
        CommTimeoutsRec timeouts;
        // Why this backend's bounds could not be set (0 when they are in force): such a device
        // is never read, as a read could wait for ever.
        ErrorCode boundsRefused = 0;
        // The write time-out in force, in milliseconds.
        std::uint32_t writeLimitMs = 0;
        StallBudget stallBudget;
        std::string path;
    };

    Port* find(Handle handle);
    static ErrorCode release(const Port& port);
    NativeHandle eventOf(EventHandle event) const;
    ErrorCode fail(ErrorCode code);
    // The port's read and write time-outs: reads that never wait, and a write limit from the
    // stall budget. Returns kSuccess or the code that refused them.
    ErrorCode applyBounds(Port& port, std::uint32_t writeLimitMs);
    // The OS's record behind a program record, alive from the first transfer through it until
    // its event closes; filled from the program record for the next transfer.
    NativeOverlapped& nativeRecord(const WriteOverlapped& overlapped);
    static void copyBack(const NativeOverlapped& native, WriteOverlapped& overlapped);

    DeviceMap m_devices;
    std::map<Handle, Port> m_ports;
    std::map<EventHandle, NativeHandle> m_events;
    std::map<const WriteOverlapped*, std::unique_ptr<NativeOverlapped>> m_overlapped;
    // Never reused, so a handle kept after its close can never reach a later port.
    Handle m_nextHandle = 1;
    EventHandle m_nextEvent = 1;
    ErrorCode m_lastError = kSuccess;
    // Last, so that it waits for the closes before anything else goes.
    ClosingPorts m_closing;
};

}  // namespace ports
