// The ports Windows lists in its device map, read from a registry layout of the test's own.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "ports/naming/device_survey.h"

TEST(DeviceSurvey, ListsTheDeviceMapsSerialAndParallelPortsInNumberOrder) {
    const std::string base = "Software\\drawertest-tests";
    const auto put = [&base](const std::string& key, const char* name, const std::string& value) {
        HKEY handle = nullptr;
        ASSERT_EQ(
            ::RegCreateKeyExA(HKEY_CURRENT_USER, (base + "\\HARDWARE\\DEVICEMAP\\" + key).c_str(),
                              0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr),
            ERROR_SUCCESS);
        ::RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>(value.size() + 1));
        ::RegCloseKey(handle);
    };
    put("SERIALCOMM", "\\Device\\Serial10", "COM10");
    put("SERIALCOMM", "\\Device\\Serial2", "COM3");
    put("SERIALCOMM", "\\Device\\VCP0", "COM4");
    put("PARALLEL PORTS", "\\Device\\Parallel0", "\\DosDevices\\LPT1");

    std::vector<std::string> paths;
    for (const ports::FoundDevice& device : ports::findDevices("HKCU\\" + base))
        paths.push_back(device.path + (device.kind == ports::PortKind::Serial ? " COM" : " LPT"));
    ::RegDeleteTreeA(HKEY_CURRENT_USER, base.c_str());
    EXPECT_EQ(paths, (std::vector<std::string>{"\\\\.\\COM3 COM", "\\\\.\\COM4 COM",
                                               "\\\\.\\COM10 COM", "LPT1 LPT"}));
}
