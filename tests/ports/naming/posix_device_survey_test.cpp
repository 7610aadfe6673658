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

namespace fs = std::filesystem;
using ports::PathKind;

TEST(DeviceSurvey, TellsWhatAPathNamesAndLeadsTo) {
    const fs::path root =
        fs::path(::testing::TempDir()) / ("drawertest-tree-" + std::to_string(getpid()));
    for (const auto& [file, text] : {std::pair{"proc/tty/drivers",
                                               "pty_slave /dev/pts 136 0-1048575 pty:slave\n"
                                               "serial /dev/ttyS 4 64-111 serial\n"},
                                     {"sys/class/tty/console/active", "ttyS0\n"},
                                     {"sys/class/tty/ttyS0/dev", "4:64\n"},
                                     {"dev/ttyUSB0", ""}}) {
        fs::create_directories((root / file).parent_path());
        std::ofstream(root / file) << text;
    }
    fs::create_directories(root / "sys/dev/char");
    fs::create_symlink("../../devices/usb1/usbmisc/lp0", root / "sys/dev/char/180:0");
    const ports::PosixDeviceRules rules(root.string());
    for (const auto& [mode, device, kind] : {
             std::tuple{S_IFCHR, makedev(4, 65), PathKind::Serial},
             std::tuple{S_IFCHR, makedev(4, 64), PathKind::Serial},  // the console: held, a line
             std::tuple{S_IFIFO, makedev(0, 0), PathKind::Parallel},
             std::tuple{S_IFCHR, makedev(180, 0), PathKind::UsbPrinter},
             std::tuple{S_IFCHR, makedev(1, 3), PathKind::Other},  // /dev/null
         }) {
        struct stat node {};
        node.st_mode = mode;
        node.st_rdev = device;
        EXPECT_EQ(rules.kindOf(node), kind) << mode << " " << major(device) << ":" << minor(device);
    }
    // Through the path, following it.
    porttest::Pty pty;
    ASSERT_EQ(::mkfifo((root / "fifo").c_str(), 0600), 0);
    fs::create_symlink(root / "fifo", root / "link");
    EXPECT_EQ(ports::pathKind(pty.slave(), root.string()), PathKind::Serial);
    EXPECT_EQ(ports::pathKind((root / "link").string(), root.string()), PathKind::Parallel);
    EXPECT_EQ(ports::pathKind((root / "gone").string(), root.string()), PathKind::Other);

    // A bare name is the device of that name, where there is one.
    for (const auto& [text, path] : {std::pair{"ttyUSB0", (root / "dev/ttyUSB0").string()},
                                     {"ttyUSB9", ""},
                                     {"serial/by-id/x", "serial/by-id/x"},
                                     {"printer.local", ""},
                                     {"..", ""}})
        EXPECT_EQ(ports::devicePath(text, root.string()).value_or(""), path) << text;
    const auto map = ports::DeviceMap::fromEnvironment([](const char* name) {
        return std::string_view(name) == "DRAWERTEST_LPT1" ? "null" : "printer";
    });
    EXPECT_EQ(std::pair(map.find("LPT1")->path, map.find("COM2")->path),
              std::pair(std::string("/dev/null"), std::string("printer")));
    fs::remove_all(root);
}
