// The POSIX backend of the port seam.
#include "ports/backends/posix_port_system.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
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
      m_rules(std::move(systemRoot)) {}

PosixPortSystem::~PosixPortSystem() {
    // What the ports still send goes out, each on its own line at once.
    closeAll();
}

Handle PosixPortSystem::createFile(const std::string& device, std::uint32_t /*access*/,
                                   std::uint32_t /*shareMode*/, std::uint32_t /*creation*/,
                                   std::uint32_t /*flags*/) {
    const DeviceMap::Entry* entry = m_devices.find(device);
    ErrorCode code = ENOENT;
    std::unique_ptr<Medium> medium;
    if (entry == nullptr) {
        // No port of this program.
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
        // A USB printer serves a serial port too, as a line without settings.
        medium = std::make_unique<PrinterDevice>(fd, S_ISFIFO(opened.st_mode),
                                                 entry.kind == PortKind::Serial, key);
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
