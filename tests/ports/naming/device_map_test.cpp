// The port-name map: standard paths, environment overrides, both COM spellings, unknown names.
#include "ports/naming/device_map.h"
#include "ports/naming/network_address.h"

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
    const std::string paths[] = {"\\\\.\\COM1", "\\\\.\\COM2", "LPT1", "LPT2"};
#else
    // COMn is the kernel's serial port number n-1, LPTn its printer port number n-1. (The
    // first serial port is the console on the test machines: compared here, never opened.)
    const auto serial = [](int n) { return "/dev/ttyS" + std::to_string(n); };
    const std::string paths[] = {serial(0), serial(1), "/dev/lp0", "/dev/lp1"};
#endif
    const ports::DeviceMap changed = mapFrom({{"DRAWERTEST_COM1", "/dev/pts/7"},
                                              {"DRAWERTEST_COM2", "/dev/ttyUSB0"},
                                              {"DRAWERTEST_LPT1", "/tmp/lp-fifo"},
                                              {"DRAWERTEST_LPT2", ""}});
    const std::string overrides[] = {"/dev/pts/7", "/dev/ttyUSB0", "/tmp/lp-fifo", paths[3]};
    const char* const names[] = {"COM1", "COM2", "LPT1", "LPT2"};
    for (int i = 0; i < 4; ++i) {
        const std::string name = names[i];
        EXPECT_EQ(standard.entries()[i].portName, name);
        EXPECT_EQ(standard.find(name)->path, paths[i]) << name;
        EXPECT_EQ(changed.find(name)->path, overrides[i])
            << name << " (an empty variable keeps it)";
        EXPECT_EQ(changed.withPath("LPT2", "/tmp/lp").find(name)->path,
                  i == 3 ? "/tmp/lp" : overrides[i]);
        if (name.starts_with("COM")) {
            EXPECT_EQ(changed.find("\\\\.\\" + name), changed.find(name)) << name;
        }
    }
    for (const char* name : {"", "COM3", "LPT3", "COM", "\\\\.\\", "COM1:", "/dev/pts/7", "PRN"})
        EXPECT_EQ(changed.find(name), nullptr) << name;
}

TEST(NetworkAddress, HostAndPortOrTheRawPrintingPortButNeverADevice) {
    for (const auto& [text, address] : {
             std::pair{"printer.local", "printer.local:9100"},
             std::pair{"10.0.0.7:9101", "10.0.0.7:9101"},
             std::pair{"[::1]:9102", "[::1]:9102"},
             std::pair{"[fe80::1%eth0]", "[fe80::1%eth0]:9100"},
             std::pair{"fd00::7", "[fd00::7]:9100"},
             std::pair{"fe80::", "[fe80::]:9100"},
             std::pair{"::", "[::]:9100"},
             std::pair{"[fe80::]:9101", "[fe80::]:9101"},
             std::pair{"[::1]:", ""},
             std::pair{"/dev/ttyUSB0", ""},
             std::pair{"\\\\.\\COM3", ""},
             std::pair{"com3", ""},
             std::pair{"lpt3", ""},
             std::pair{"NUL", ""},
             std::pair{"con", ""},
             std::pair{"Prn", ""},
             std::pair{"aux", ""},
             std::pair{"nul.local", "nul.local:9100"},
             std::pair{"host:65535", "host:65535"},
             std::pair{"host:", ""},
             std::pair{"host:0", ""},
             std::pair{"host:65536", ""},
             std::pair{"host:91x", ""},
             std::pair{"[::1", ""},
             std::pair{"[::1]9100", ""},
             std::pair{":9100", ""},
             std::pair{"a b:9100", ""},
         }) {
        const auto parsed = ports::parseNetworkAddress(text);
        EXPECT_EQ(parsed ? parsed->text() : "", address) << text;
    }
}

}  // namespace
