// The port-name map: standard paths, environment overrides, both COM spellings, unknown names.
#include "ports/device_map.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

ports::DeviceMap mapFrom(const std::map<std::string, std::string>& environment) {
    return ports::DeviceMap::fromEnvironment([&environment](const char* name) -> const char* {
        const auto it = environment.find(name);
        return it == environment.end() ? nullptr : it->second.c_str();
    });
}

TEST(DeviceMap, StandardPathsAndOverrides) {
    const ports::DeviceMap standard = mapFrom({});
#ifdef _WIN32
    // Windows knows its ports by name.
    const char* const paths[] = {"\\\\.\\COM1", "\\\\.\\COM2", "LPT1", "LPT2"};
#else
    // COM1 is the first serial port, which on the test machines is the console: it is only
    // compared here, never opened.
    const char* const paths[] = {"/dev/ttyS0", "/dev/ttyS1", "/dev/lp0", "/dev/lp1"};
#endif
    const ports::DeviceMap changed = mapFrom({{"DRAWERTEST_COM1", "/dev/pts/7"},
                                              {"DRAWERTEST_COM2", "/dev/ttyUSB0"},
                                              {"DRAWERTEST_LPT1", "/tmp/lp-fifo"},
                                              {"DRAWERTEST_LPT2", ""}});
    const char* const overrides[] = {"/dev/pts/7", "/dev/ttyUSB0", "/tmp/lp-fifo", paths[3]};
    const char* const names[] = {"COM1", "COM2", "LPT1", "LPT2"};
    for (int i = 0; i < 4; ++i) {
        const std::string name = names[i];
        EXPECT_EQ(standard.entries()[i].portName, name);
        EXPECT_EQ(standard.pathOf(name), paths[i]) << name;
        EXPECT_EQ(changed.pathOf(name), overrides[i]) << name << " (an empty variable keeps it)";
        if (name.starts_with("COM")) {
            EXPECT_EQ(changed.pathOf("\\\\.\\" + name), overrides[i]) << name;
        }
    }
    for (const char* name : {"", "COM3", "LPT3", "COM", "\\\\.\\", "COM1:", "/dev/pts/7", "PRN"})
        EXPECT_EQ(changed.pathOf(name), "") << name;
}

}  // namespace
