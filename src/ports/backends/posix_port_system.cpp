// The POSIX backend of the port seam.
#include "ports/backends/posix_port_system.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>

#include "ports/dcb_text.h"
#include "ports/media/network_connection.h"
#include "ports/media/posix_io.h"
#include "ports/media/printer_device.h"
#include "ports/media/serial_line.h"
#include "ports/naming/network_address.h"

namespace ports {

using posix::errnoCode;

PosixPortSystem::PosixPortSystem(DeviceMap devices, std::string systemRoot)
    : PortSystemBase({EBADF, ETIMEDOUT}),
      m_devices(std::move(devices)),
      m_root(systemRoot),
      m_rules(std::move(systemRoot)) {}

PosixPortSystem::~PosixPortSystem() {
    // What the ports still send goes out, each on its own line at once.
    closeAll();
}

Handle PosixPortSystem::createFile(const std::string& device, std::uint32_t /*access*/,
                                   std::uint32_t /*shareMode*/, std::uint32_t /*creation*/,
                                   std::uint32_t /*flags*/) {
    const std::optional<DeviceMap::Entry> entry = entryFor(device);
    ErrorCode code = ENOENT;
    std::unique_ptr<Medium> medium;
    if (!entry) {
        // No port of this program, no device.
    } else if (const auto address = parseNetworkAddress(entry->path)) {
        medium = NetworkConnection::open(*address, entry->kind == PortKind::Serial, code);
    } else {
        medium = openDevice(*entry, device, code);
    }
    if (!medium) {
        fail(code);
        return kInvalidHandle;
    }
    return adopt(std::move(medium), device);
}

std::optional<DeviceMap::Entry> PosixPortSystem::entryFor(const std::string& name) const {
    if (const DeviceMap::Entry* entry = m_devices.find(name))
        return *entry;
    if (!name.starts_with('/')) {
        if (!parseNetworkAddress(name))
            return std::nullopt;
        return DeviceMap::Entry{name, name, PortKind::Serial};
    }
    // What the rules take for a serial port is one; a path that leads nowhere fails its open
    // as one would.
    struct stat node {};
    const bool parallel = ::stat(name.c_str(), &node) == 0 &&
                          m_rules.judge(PortKind::Serial, node) != kSuccess &&
                          m_rules.judge(PortKind::Parallel, node) == kSuccess;
    return DeviceMap::Entry{name, name, parallel ? PortKind::Parallel : PortKind::Serial};
}

std::unique_ptr<Medium> PosixPortSystem::openDevice(const DeviceMap::Entry& entry,
                                                    const std::string& device, ErrorCode& code) {
    // Judged before the open as well: opening some devices does something by itself (the
    // console's line changes, a watchdog starts, a tape rewinds).
    struct stat node {};
    if (::stat(entry.path.c_str(), &node) != 0) {
        code = errnoCode();
        return nullptr;
    }
    if (code = m_rules.judge(entry.kind, node); code != kSuccess)
        return nullptr;
    // The device may still be sending what it was given before its last close here.
    const std::string key = posix::deviceKey(node);
    awaitClosing(key, device);
    const bool fifo = S_ISFIFO(node.st_mode);
    const int fd = PrinterDevice::openNode(entry.path, fifo, code);
    if (fd < 0)
        return nullptr;
    // The path may have led elsewhere by the time it was opened: what was opened is judged.
    struct stat opened {};
    code = ::fstat(fd, &opened) != 0 ? errnoCode() : m_rules.judge(entry.kind, opened);
    if (code == kSuccess && ::flock(fd, LOCK_EX | LOCK_NB) != 0)
        code = errno == EWOULDBLOCK ? EBUSY : errnoCode();
    std::unique_ptr<Medium> medium;
    if (code != kSuccess) {
        // Refused; nothing was written.
    } else if (entry.kind == PortKind::Serial && ::isatty(fd) != 0) {
        medium = SerialLine::take(fd, key, code);
    } else {
        // A USB printer serves a serial port too, as a line without settings. The lp driver
        // puts lpN on the Nth parallel port it finds, parportN but where its parport= option
        // says otherwise; the kernel keeps what that port's IEEE 1284 probe read.
        PrinterIdSource ids;
        if (S_ISCHR(opened.st_mode)) {
            ids.usbPrinter = m_rules.isUsbPrinter(opened.st_rdev);
            if (major(opened.st_rdev) == kLpMajor)
                ids.probeFile = m_root + "/proc/sys/dev/parport/parport" +
                                std::to_string(minor(opened.st_rdev)) + "/autoprobe";
        }
        medium = std::make_unique<PrinterDevice>(fd, S_ISFIFO(opened.st_mode),
                                                 entry.kind == PortKind::Serial, key, ids);
    }
    if (!medium)
        ::close(fd);
    return medium;
}

ErrorCode PosixPortSystem::buildCommDcb(const std::string& settings, CommDcb& dcb) {
    const ErrorCode code = parseDcbText(settings, dcb);
    return code == kSuccess ? kSuccess : fail(code);
}

}  // namespace ports
