// Which devices the POSIX backend takes for a port. A serial port is a serial line, a
// pseudo-terminal or a USB printer, never a console or the terminal the program runs in; a
// parallel port is a printer device or a FIFO. Anything else (files, disks, /dev/null, the pty
// multiplexer, ...) would take the test page without complaint, so it is refused before a byte is
// written.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "ports/naming/device_map.h"
#include "ports/port_types.h"

struct stat;

namespace ports {

// The parallel-port printer driver's devices, /dev/lpN.
inline constexpr unsigned int kLpMajor = 6;

// The ttys the console writes to ("ttyS0", "tty1", ...) as root + "/sys" lists them: those
// console/active names, and the foreground terminal of a virtual terminal it names.
std::vector<std::string> activeConsoleNames(const std::string& root);

class PosixDeviceRules {
public:
    // The kernel describes its devices under root + "/sys" and its tty drivers under
    // root + "/proc"; root is empty but in tests, which point it at a tree of their own.
    explicit PosixDeviceRules(std::string root) : m_root(std::move(root)) {}

    // kSuccess when a node of this status may serve as a port of this kind. Otherwise the code
    // that refuses it: ENOTTY for a serial port that is no serial line and no USB printer (which
    // serves a serial printer screen as a line without settings), ENODEV for a parallel
    // port that is no printer, EBUSY for the active console or the program's own terminal.
    // Judged on the path before it is opened (opening some devices has effects of its own) and
    // again on the open descriptor, since the path may have changed in between.
    ErrorCode judge(PortKind kind, const struct stat& node) const;
    // What a node of this status is, by the same judgement: the console and the program's own
    // terminal are serial lines, if ones no port may take.
    PathKind kindOf(const struct stat& node) const;
    // A USB printer's node (/dev/usb/lpN).
    bool isUsbPrinter(dev_t device) const;

private:
    std::string ttyDriverType(dev_t device) const;
    bool isActiveConsole(dev_t device) const;

    std::string m_root;
};

}  // namespace ports
