// The port seam on Linux: termios serial lines in raw 8N1, /dev/lpN parallel ports, exclusive
// opens, and waits on a device that always end. Error codes are errno values. A serial port
// may also lead to a USB printer or a network printer ("host:port"): a line without settings,
// whose settings are kept as set and whose modem lines cannot be read.
#pragma once

#include <termios.h>

#include <map>
#include <string>

#include "ports/backends/closing_ports.h"
#include "ports/backends/event_table.h"
#include "ports/line_occupancy.h"
#include "ports/naming/device_map.h"
#include "ports/naming/posix_device_rules.h"
#include "ports/port_system.h"
#include "ports/stall_budget.h"

namespace ports {

// The modem-status word (kCtsOn, kDsrOn, kRingOn, kCarrierOn) of the kernel's TIOCM_ lines.
std::uint32_t modemStatusWord(int lines);

class PosixPortSystem final : public PortSystem {
public:
    // systemRoot is where /sys and /proc are found, which tell the devices apart: empty but in
    // tests, which point it at a tree of their own.
    explicit PosixPortSystem(DeviceMap devices, std::string systemRoot = {});
    ~PosixPortSystem() override;
    PosixPortSystem(const PosixPortSystem&) = delete;
    PosixPortSystem& operator=(const PosixPortSystem&) = delete;

    // The devices the ports lead to from now on; a port already open keeps its device.
    void setDevices(DeviceMap devices) { m_devices = std::move(devices); }

    // The access, share, creation and flag arguments are the screens' fixed ones and change
    // nothing: a port is always opened for reading and writing, exclusively, and only when it
    // is a device of the port's kind (PosixDeviceRules).
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
    struct Port {
        int fd = -1;
        bool isTty = false;
        // A tty's settings as they were found, put back when the port closes.
        termios foundLine{};
        StallBudget stallBudget;
        // Recorded only: these devices have no time-outs to set.
        CommTimeoutsRec timeouts;
        // A connection to a network printer.
        bool isSocket = false;
        // A serial port on a USB or network printer: no line to set, its settings kept as set.
        bool isVirtualLine = false;
        CommDcb virtualLine;
        std::string path;
        // When what was written will have left the line, for a close to wait for.
        LineOccupancy line{9600};
    };
    Port* find(Handle handle);
    ErrorCode fail(ErrorCode code);
    // Ends a read or write: fills the overlapped record and signals its event on success.
    ErrorCode complete(WriteOverlapped* overlapped, ErrorCode code, std::uint32_t count);

    DeviceMap m_devices;
    PosixDeviceRules m_rules;
    std::map<Handle, Port> m_ports;
    EventTable m_events;
    // Never reused, so a handle kept after its close can never reach a later port.
    Handle m_nextHandle = 1;
    ErrorCode m_lastError = kSuccess;
    // Last, so that it waits for the closes before anything else goes.
    ClosingPorts m_closing;
};

}  // namespace ports
