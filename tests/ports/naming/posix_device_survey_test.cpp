// What a path names and leads to, told without opening it: the kind of device behind a node as
// the backend would judge it, and a bare name that is a device under /dev.
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>

#include "ports/naming/device_survey.h"
#include "ports/naming/posix_device_rules.h"
#include "ports/pty.h"

namespace {

namespace fs = std::filesystem;
using ports::PathKind;

struct DeviceTree : ::testing::Test {
    DeviceTree() {
        fs::create_directories(root / "proc/tty");
        std::ofstream(root / "proc/tty/drivers")
            << "pty_slave /dev/pts 136 0-1048575 pty:slave\n"
               "/dev/tty /dev/tty 5 0 system:/dev/tty\nserial /dev/ttyS 4 64-111 serial\n";
        fs::create_directories(root / "sys/dev/char");
        fs::create_symlink("../../devices/usb1/usbmisc/lp0", root / "sys/dev/char/180:0");
        fs::create_directories(root / "sys/class/tty/console");
        std::ofstream(root / "sys/class/tty/console/active") << "ttyS0\n";
        fs::create_directories(root / "sys/class/tty/ttyS0");
        std::ofstream(root / "sys/class/tty/ttyS0/dev") << "4:64\n";
        fs::create_directories(root / "dev");
        std::ofstream(root / "dev/ttyUSB0");
    }
    ~DeviceTree() override { fs::remove_all(root); }

    fs::path root =
        fs::path(::testing::TempDir()) / ("drawertest-tree-" + std::to_string(getpid()));
};

}  // namespace

TEST_F(DeviceTree, TellsEachNodeByTheBackendsOwnJudgement) {
    const ports::PosixDeviceRules rules(root.string());
    for (const auto& [mode, device, kind] : {
             std::tuple{S_IFCHR, makedev(4, 65), PathKind::Serial},
             std::tuple{S_IFCHR, makedev(4, 64), PathKind::Serial},  // the console: held, a line
             std::tuple{S_IFCHR, makedev(136, 3), PathKind::Serial},
             std::tuple{S_IFCHR, makedev(6, 0), PathKind::Parallel},
             std::tuple{S_IFIFO, makedev(0, 0), PathKind::Parallel},
             std::tuple{S_IFCHR, makedev(180, 0), PathKind::UsbPrinter},
             std::tuple{S_IFCHR, makedev(180, 1), PathKind::Other},
             std::tuple{S_IFCHR, makedev(5, 0), PathKind::Other},  // /dev/tty
             std::tuple{S_IFCHR, makedev(1, 3), PathKind::Other},  // /dev/null
             std::tuple{S_IFREG, makedev(0, 0), PathKind::Other},
             std::tuple{S_IFBLK, makedev(6, 0), PathKind::Other},
         }) {
        struct stat node {};
        node.st_mode = mode;
        node.st_rdev = device;
        EXPECT_EQ(rules.kindOf(node), kind) << mode << " " << major(device) << ":" << minor(device);
    }
    // Through the path, following it.
    porttest::Pty pty;
    const fs::path fifo = root / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink(fifo, root / "link");
    for (const auto& [path, kind] : {std::pair{pty.slave(), PathKind::Serial},
                                     {(root / "link").string(), PathKind::Parallel},
                                     {(root / "gone").string(), PathKind::Other},
                                     {std::string("printer.local:9100"), PathKind::Other}})
        EXPECT_EQ(ports::pathKind(path, root.string()), kind) << path;
}

TEST_F(DeviceTree, ABareNameIsTheDeviceOfThatNameWhereThereIsOne) {
    const std::string dev = root.string() + "/dev/";
    for (const auto& [text, path] : {
             std::pair{"ttyUSB0", dev + "ttyUSB0"},
             std::pair{"ttyUSB9", std::string()},
             std::pair{"/dev/ttyUSB9", std::string("/dev/ttyUSB9")},
             std::pair{"serial/by-id/x", std::string("serial/by-id/x")},
             std::pair{"printer.local", std::string()},
             std::pair{"..", std::string()},
             std::pair{"", std::string()},
         })
        EXPECT_EQ(ports::devicePath(text, root.string()).value_or(""), path) << text;
    // So a port's variable may name it.
    const auto map = ports::DeviceMap::fromEnvironment([](const char* name) {
        return std::string_view(name) == "DRAWERTEST_LPT1" ? "null" : "printer";
    });
    EXPECT_EQ(map.find("LPT1")->path, "/dev/null");
    EXPECT_EQ(map.find("COM2")->path, "printer");
}
