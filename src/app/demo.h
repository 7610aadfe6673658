// drawertest --demo: every port a simulated device inside the program, the one the open test
// screen expects, so that each screen can be tried with no hardware. The devices are the same
// models drawer_sim plays on a pseudo-terminal; their drawers close by themselves a few seconds
// after they open.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/program.h"
#include "screens/screen_table.h"
#include "sim/demo_port_system.h"
#include "toolkit/application.h"

namespace app {

// The device the demo plays for a screen, by its name (sim::makeDevice): the interface or
// printer the screen tests, set up as the screen starts. The Alder alternate screen's interface
// is switched to the mode the screen shows (`form` is the screen, once it is there).
std::string demoDevice(const screens::ScreenEntry& screen, const toolkit::Form* form);

// The device the demo plays on each port while Find asks them: a printer or an interface of
// each kind the search tells apart.
std::string demoFindDevice(const std::string& port);

class Demo {
public:
    // The program's windows, whose open screen says which device belongs on a port.
    Demo(const toolkit::Application& app, sim::WaitClock& clock);

    sim::DemoPortSystem& ports() { return m_ports; }
    // What the About box lists for the ports.
    static std::vector<PortDevice> portDevices();
    // Tells the demo of each screen as it opens (Program::addScreenListener).
    void screenOpened(const screens::ScreenEntry& screen) { m_screen = &screen; }

private:
    const toolkit::Application& m_app;
    const screens::ScreenEntry* m_screen = nullptr;
    sim::DemoPortSystem m_ports;
};

}  // namespace app
