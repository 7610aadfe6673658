// The devices the POSIX backend takes for a port, told from the kernel's own lists.
#include "ports/naming/posix_device_rules.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

namespace ports {

namespace {

constexpr unsigned int kUsbMajor = 180;  // USB class devices, /dev/usb/lpN among them

std::optional<dev_t> sysfsDevice(const std::string& file) {
    std::ifstream in(file);
    unsigned int major = 0;
    unsigned int minor = 0;
    char colon = 0;
    if (!(in >> major >> colon >> minor) || colon != ':')
        return std::nullopt;
    return makedev(major, minor);
}

// The terminal the program was started from: its controlling terminal, and any terminal its
// standard input, output or error lead to. A test page there would land in the user's shell.
bool isOwnTerminal(dev_t device) {
    for (int fd = 0; fd <= 2; ++fd) {
        struct stat node {};
        if (::fstat(fd, &node) == 0 && S_ISCHR(node.st_mode) && node.st_rdev == device)
            return true;
    }
    // The seventh field of /proc/self/stat, after a program name in brackets that may hold
    // blanks: the major number in bits 8 to 15, the minor in bits 0 to 7 and 20 to 31.
    std::ifstream self("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(self)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 1));
    std::string state;
    long parent = 0, group = 0, session = 0;
    unsigned long tty = 0;
    if (!(fields >> state >> parent >> group >> session >> tty) || tty == 0)
        return false;
    return makedev((tty >> 8) & 0xFFF, (tty & 0xFF) | ((tty >> 12) & 0xFFF00)) == device;
}

}  // namespace

ErrorCode PosixDeviceRules::judge(PortKind kind, const struct stat& node) const {
    if (kind == PortKind::Parallel) {
        const bool printer = S_ISCHR(node.st_mode) &&
                             (major(node.st_rdev) == kLpMajor || isUsbPrinter(node.st_rdev));
        return printer || S_ISFIFO(node.st_mode) ? kSuccess : ENODEV;
    }
    // Only real lines: not /dev/tty, the console, the pty multiplexer, pty masters or the
    // virtual terminals, which are ttys too.
    if (!S_ISCHR(node.st_mode))
        return ENOTTY;
    if (isUsbPrinter(node.st_rdev))
        return kSuccess;
    const std::string type = ttyDriverType(node.st_rdev);
    if (type != "serial" && type != "pty:slave")
        return ENOTTY;
    if (isActiveConsole(node.st_rdev) || isOwnTerminal(node.st_rdev))
        return EBUSY;
    return kSuccess;
}

PathKind PosixDeviceRules::kindOf(const struct stat& node) const {
    const ErrorCode serial = judge(PortKind::Serial, node);
    if (judge(PortKind::Parallel, node) == kSuccess)
        return serial == kSuccess ? PathKind::UsbPrinter : PathKind::Parallel;
    return serial == kSuccess || serial == EBUSY ? PathKind::Serial : PathKind::Other;
}

// The kind of tty driver behind a device number, as /proc/tty/drivers lists them ("serial",
// "pty:slave", "system:/dev/tty", "console", ...); empty for a device no tty driver serves.
std::string PosixDeviceRules::ttyDriverType(dev_t device) const {
    std::ifstream drivers(m_root + "/proc/tty/drivers");
    for (std::string line; std::getline(drivers, line);) {
        std::istringstream fields(line);
        std::string name, path, minors, type;
        unsigned int driverMajor = 0;
        if (!(fields >> name >> path >> driverMajor >> minors >> type) ||
            driverMajor != major(device))
            continue;
        // One minor number, or a range such as 64-111.
        unsigned long first = 0;
        unsigned long last = 0;
        const int numbers = std::sscanf(minors.c_str(), "%lu-%lu", &first, &last);
        if (numbers == 1)
            last = first;
        if (numbers >= 1 && minor(device) >= first && minor(device) <= last)
            return type;
    }
    return {};
}

// console/active names the ttys the console writes to; the virtual terminal tty0 names its
// foreground terminal in an active file of its own.
std::vector<std::string> activeConsoleNames(const std::string& root) {
    const std::string ttyClass = root + "/sys/class/tty/";
    std::vector<std::string> names{"console"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::ifstream active(ttyClass + names[i] + "/active");
        for (std::string name; active >> name;) {
            if (std::find(names.begin(), names.end(), name) == names.end())
                names.push_back(name);
        }
    }
    return names;
}

// Whether the device is the system console or a tty the console writes to.
bool PosixDeviceRules::isActiveConsole(dev_t device) const {
    for (const std::string& name : activeConsoleNames(m_root)) {
        if (sysfsDevice(m_root + "/sys/class/tty/" + name + "/dev") == device)
            return true;
    }
    return false;
}

// USB class devices share one major number; a printer's node is named lpN.
bool PosixDeviceRules::isUsbPrinter(dev_t device) const {
    if (major(device) != kUsbMajor)
        return false;
    std::error_code error;
    const auto node =
        std::filesystem::read_symlink(m_root + "/sys/dev/char/" + std::to_string(major(device)) +
                                          ":" + std::to_string(minor(device)),
                                      error);
    // No other class driver's nodes start so (hiddev, iowarrior, ldusb, usbtmc, ...).
    return !error && node.filename().string().starts_with("lp");
}

}  // namespace ports
