// The ports Windows lists in its device map and the print queues of its USB printers, read from a
// registry layout of the test's own.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "ports/naming/device_survey.h"

TEST(DeviceSurvey, ListsTheDeviceMapsPortsInNumberOrderAndTheUsbPrintQueues) {
    const std::string base = "Software\\drawertest-tests";
    const auto put = [&base](const std::string& key, const char* name, const std::string& value) {
        HKEY handle = nullptr;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, (base + "\\" + key).c_str(), 0, nullptr, 0,
                                    KEY_WRITE, nullptr, &handle, nullptr),
                  ERROR_SUCCESS);
        ::RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>(value.size() + 1));
        ::RegCloseKey(handle);
    };
    const std::string map = "HARDWARE\\DEVICEMAP\\";
    put(map + "SERIALCOMM", "\\Device\\Serial10", "COM10");
    put(map + "SERIALCOMM", "\\Device\\Serial2", "COM3");
    put(map + "SERIALCOMM", "\\Device\\VCP0", "COM4");
    put(map + "PARALLEL PORTS", "\\Device\\Parallel0", "\\DosDevices\\LPT1");
    // The spooler's queues: only a printer on a USB port is one no port leads to.
    const std::string spooler = "SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\";
    put(spooler + "Receipt TM-T20", "Port", "USB001");
    put(spooler + "Kitchen", "Port", "usb002,USB003");
    put(spooler + "Receipt on COM3", "Port", "COM3:");
    put(spooler + "Microsoft Print to PDF", "Port", "PORTPROMPT:");
    put(spooler + "Office", "Port", "IP_10.0.0.5");

    std::vector<std::string> paths;
    for (const ports::FoundDevice& device : ports::findDevices("HKCU\\" + base)) {
        paths.push_back(device.path + (device.printQueue                        ? " queue"
                                       : device.kind == ports::PortKind::Serial ? " COM"
                                                                                : " LPT"));
        if (device.printQueue) {
            EXPECT_FALSE(device.fits(ports::PortKind::Serial) ||
                         device.fits(ports::PortKind::Parallel))
                << "no port leads to a print queue";
            EXPECT_TRUE(device.note.starts_with("print queue on ")) << device.note;
        }
    }
    ::RegDeleteTreeA(HKEY_CURRENT_USER, base.c_str());
    EXPECT_EQ(paths,
              (std::vector<std::string>{"\\\\.\\COM3 COM", "\\\\.\\COM4 COM", "\\\\.\\COM10 COM",
                                        "LPT1 LPT", "Kitchen queue", "Receipt TM-T20 queue"}));
}
