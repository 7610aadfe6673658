// The devices of a Linux machine, told from /sys and /dev, and their states, told from stat,
// access and the locks the kernel lists.
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

#include "ports/naming/device_survey.h"
#include "ports/naming/network_address.h"
#include "ports/naming/posix_device_rules.h"

namespace ports {

namespace fs = std::filesystem;

namespace {

// The names in a directory that start with `prefix` and go on with a number, in number order.
// The digits are compared as text, shorter first, so that a number of any length sorts.
std::vector<std::string> numbered(const fs::path& directory, const std::string& prefix) {
    std::vector<std::tuple<std::size_t, std::string, std::string>> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(directory, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() <= prefix.size() || !name.starts_with(prefix))
            continue;
        std::string digits = name.substr(prefix.size());
        if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
        found.emplace_back(digits.size(), std::move(digits), name);
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> names;
    for (auto& [length, digits, name] : found)
        names.push_back(std::move(name));
    return names;
}

// A serial core port reports its UART type; the placeholders for ports a machine may have
// report 0 (no UART).
bool hasUart(const fs::path& ttyClass, const std::string& name) {
    std::ifstream type(ttyClass / name / "type");
    int uart = 0;
    return type >> uart && uart != 0;
}

// Whether a program holds the device the way this one would: a lock on its node, which the
// kernel lists in /proc/locks by the node's file system and inode ("1: FLOCK ADVISORY WRITE
// 1234 00:05:87 0 EOF"), or a UUCP lock file of the serial programs.
bool heldByAnyone(const std::string& root, const std::string& path, const struct stat& node) {
    std::ifstream locks(root + "/proc/locks");
    for (std::string line; std::getline(locks, line);) {
        std::istringstream fields(line);
        std::string number, kind, mode, access, pid, file;
        unsigned int fsMajor = 0, fsMinor = 0;
        unsigned long inode = 0;
        if (fields >> number >> kind) {
            // A lock that waits for another is listed with "->" before its kind.
            if (kind == "->")
                fields >> kind;
            if (fields >> mode >> access >> pid >> file &&
                std::sscanf(file.c_str(), "%x:%x:%lu", &fsMajor, &fsMinor, &inode) == 3 &&
                makedev(fsMajor, fsMinor) == node.st_dev && inode == node.st_ino)
                return true;
        }
    }
    const std::string name = fs::path(path).filename().string();
    std::error_code error;
    for (const char* directory : {"/run/lock/LCK..", "/var/lock/LCK.."}) {
        if (fs::exists(root + directory + name, error))
            return true;
    }
    return false;
}

}  // namespace

std::vector<FoundDevice> findDevices(const std::string& root) {
    std::vector<FoundDevice> found;
    const fs::path dev = root + "/dev";
    const fs::path ttyClass = root + "/sys/class/tty";
    const std::vector<std::string> console = activeConsoleNames(root);
    const auto isConsole = [&console](const std::string& name) {
        return std::find(console.begin(), console.end(), name) != console.end();
    };
    for (const std::string& name : numbered(ttyClass, "ttyS")) {
        if (hasUart(ttyClass, name) && !isConsole(name))
            found.push_back({"/dev/" + name, PortKind::Serial, false, "serial port"});
    }
    for (const auto& [prefix, note] :
         {std::pair{"ttyUSB", "USB serial adapter"}, std::pair{"ttyACM", "USB serial device"}}) {
        for (const std::string& name : numbered(dev, prefix)) {
            if (!isConsole(name))
                found.push_back({"/dev/" + name, PortKind::Serial, false, note});
        }
    }
    // The lasting names of the USB adapters, which keep to the adapter whatever its number.
    std::error_code error;
    std::vector<FoundDevice> byId;
    for (const auto& link : fs::directory_iterator(dev / "serial/by-id", error)) {
        const std::string target = fs::read_symlink(link.path(), error).filename().string();
        // A link left behind by an adapter that is gone leads nowhere.
        std::error_code gone;
        if (!error && fs::exists(link.path(), gone) && !isConsole(target))
            byId.push_back({"/dev/serial/by-id/" + link.path().filename().string(),
                            PortKind::Serial, false, "-> " + target});
    }
    std::sort(byId.begin(), byId.end(),
              [](const FoundDevice& a, const FoundDevice& b) { return a.path < b.path; });
    found.insert(found.end(), byId.begin(), byId.end());
    for (const std::string& name : numbered(dev, "lp"))
        found.push_back({"/dev/" + name, PortKind::Parallel, false, "printer port"});
    for (const std::string& name : numbered(dev / "usb", "lp"))
        found.push_back({"/dev/usb/" + name, PortKind::Parallel, true, "USB printer"});
    return found;
}

std::optional<std::string> devicePath(std::string_view text, const std::string& root) {
    if (text.find('/') != std::string_view::npos)
        return std::string(text);
    if (text.empty() || text == "." || text == "..")
        return std::nullopt;
    const std::string underDev = root + "/dev/" + std::string(text);
    std::error_code error;
    if (fs::exists(underDev, error))
        return underDev;
    return std::nullopt;
}

PathKind pathKind(const std::string& path, const std::string& root) {
    struct stat node {};
    if (::stat(path.c_str(), &node) != 0)
        return PathKind::Other;
    return PosixDeviceRules(root).kindOf(node);
}

Reach reachOf(const std::string& path, const std::string& root) {
    if (!path.starts_with('/') && parseNetworkAddress(path))
        return Reach::Network;
    switch (pathKind(path, root)) {
        case PathKind::UsbPrinter:
            return Reach::UsbPrinter;
        case PathKind::Parallel:
            return Reach::ParallelPort;
        default:
            return Reach::SerialLine;
    }
}

std::string deviceIdentity(const std::string& path) {
    std::error_code error;
    const fs::path real = fs::canonical(path, error);
    return error ? path : real.string();
}

std::string searchName(const std::string& path) {
    return path;
}

DeviceState deviceState(const std::string& name, PortKind kind, const std::string& root) {
    const std::optional<std::string> device = devicePath(name, root);
    if (!device)
        return parseNetworkAddress(name) ? DeviceState::Network : DeviceState::Missing;
    const std::string& path = *device;
    struct stat node {};
    if (::stat(path.c_str(), &node) != 0)
        return errno == EACCES ? DeviceState::NotPermitted : DeviceState::Missing;
    const ErrorCode judged = PosixDeviceRules(root).judge(kind, node);
    if (judged == EBUSY)
        return DeviceState::Held;
    if (judged != kSuccess)
        return DeviceState::Unsuitable;
    if (::access(path.c_str(), R_OK | W_OK) != 0)
        return DeviceState::NotPermitted;
    if (heldByAnyone(root, path, node))
        return DeviceState::Held;
    return DeviceState::Ready;
}

}  // namespace ports
