// The program: its start (the splash), and the navigation between its windows.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ports/device_map.h"
#include "ports/port_system.h"
#include "ports/records.h"
#include "screens/common/context.h"
#include "toolkit/application.h"

namespace app {

// A port name and the device behind it, as the About box lists them.
using PortDevice = std::pair<std::string, std::string>;
// The four ports and their devices as the device map has them.
std::vector<PortDevice> portDevicesOf(const ports::DeviceMap& devices);

class Program final : public screens::Navigator {
public:
    // Told of each test screen as it opens, before its load takes a port.
    using ScreenListener = std::function<void(screens::ScreenId)>;

    Program(toolkit::Application& app, ports::PortSystem& ports,
            std::vector<PortDevice> portDevices);

    void addScreenListener(ScreenListener listener);

    // Starting the program means showing the splash; nothing else happens at start.
    void start();

    void showNotice();
    void showSelector() override;
    void showScreen(screens::ScreenId screen) override;
    // The About box: the program's name, its version and the device behind each port, each
    // shown as visibleText has it (the paths come from the environment).
    void showAbout();

    toolkit::Application& application() const { return m_app; }

private:
    toolkit::Application& m_app;
    ports::SharedRecords m_records;
    screens::Context m_context;
    std::vector<PortDevice> m_portDevices;
    std::vector<ScreenListener> m_screenListeners;
};

}  // namespace app
