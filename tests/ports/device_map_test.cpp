// The port-name map: standard paths, environment overrides, both COM spellings, unknown names.
#include "ports/device_map.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace {

using Environment = std::map<std::string, std::string>;

ports::DeviceMap mapFrom(const Environment& environment) {
    return ports::DeviceMap::fromEnvironment([&environment](const char* name) -> const char* {
        const auto it = environment.find(name);
        return it == environment.end() ? nullptr : it->second.c_str();
    });
}

TEST(DeviceMap, StandardPaths) {
    const ports::DeviceMap map = mapFrom({});
#ifdef _WIN32
    // Windows knows its ports by name.
    EXPECT_EQ(map.pathOf("COM1"), "\\\\.\\COM1");
    EXPECT_EQ(map.pathOf("\\\\.\\COM2"), "\\\\.\\COM2");
    EXPECT_EQ(map.pathOf("LPT1"), "LPT1");
    EXPECT_EQ(map.pathOf("LPT2"), "LPT2");
#else
    EXPECT_EQ(map.pathOf("COM2"), "/dev/ttyS1");
    EXPECT_EQ(map.pathOf("\\\\.\\COM2"), "/dev/ttyS1");
    EXPECT_EQ(map.pathOf("LPT1"), "/dev/lp0");
    EXPECT_EQ(map.pathOf("LPT2"), "/dev/lp1");
    // COM1 is the first serial port, which on the test machines is the console: its path is
    // only compared here, never written down or opened.
    EXPECT_TRUE(map.pathOf("COM1").starts_with("/dev/ttyS"));
#endif
    EXPECT_EQ(map.pathOf("COM1"), map.pathOf("\\\\.\\COM1"));
    EXPECT_NE(map.pathOf("COM1"), map.pathOf("COM2"));

    std::vector<std::string> names;
    for (const auto& entry : map.entries()) {
        names.push_back(entry.portName);
        EXPECT_EQ(entry.path, map.pathOf(entry.portName));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"COM1", "COM2", "LPT1", "LPT2"}));
}

TEST(DeviceMap, EnvironmentOverridesEachPort) {
    std::set<std::string> asked;
    const Environment environment{{"DRAWERTEST_COM1", "/dev/pts/7"},
                                  {"DRAWERTEST_COM2", "/dev/ttyUSB0"},
                                  {"DRAWERTEST_LPT1", "/tmp/lp-fifo"},
                                  {"DRAWERTEST_LPT2", ""}};
    const auto map = ports::DeviceMap::fromEnvironment([&](const char* name) -> const char* {
        asked.insert(name);
        const auto it = environment.find(name);
        return it == environment.end() ? nullptr : it->second.c_str();
    });
    EXPECT_EQ(asked, (std::set<std::string>{"DRAWERTEST_COM1", "DRAWERTEST_COM2", "DRAWERTEST_LPT1",
                                            "DRAWERTEST_LPT2"}));
    EXPECT_EQ(map.pathOf("COM1"), "/dev/pts/7");
    EXPECT_EQ(map.pathOf("\\\\.\\COM1"), "/dev/pts/7");
    EXPECT_EQ(map.pathOf("\\\\.\\COM2"), "/dev/ttyUSB0");
    EXPECT_EQ(map.pathOf("LPT1"), "/tmp/lp-fifo");
    EXPECT_EQ(map.pathOf("LPT2"), mapFrom({}).pathOf("LPT2"))
        << "an empty variable keeps the standard path";
}

TEST(DeviceMap, UnknownNamesResolveToNothing) {
    const ports::DeviceMap map = mapFrom({{"DRAWERTEST_COM1", "/dev/pts/7"}});
    for (const char* name : {"", "COM3", "LPT3", "COM", "\\\\.\\", "COM1:", "/dev/pts/7", "PRN"}) {
        EXPECT_EQ(map.pathOf(name), "") << name;
    }
}

}  // namespace
