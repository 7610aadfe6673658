// Starts drawertest: the ports as this machine names them, or as the user chose them in the
// Ports dialog, or as the environment sets them; then with arguments the command
// line, which needs no display, and without them (or with --demo alone) the Qt application, the
// model and the splash. In demo mode every port is a simulated device inside the program and
// every window says so in its title.
#include <QApplication>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/demo.h"
#include "app/program.h"
#include "cli/command_line.h"
#include "gui/logo_icon.h"
#include "gui/qt_window_system.h"
#include "gui/settings_store.h"
#include "gui/simulated_drawer_window.h"
#include "gui/wire_log_window.h"
#include "ports/backends/platform_port_system.h"
#include "ports/naming/device_map.h"
#include "toolkit/application.h"

int main(int argc, char** argv) {
    // The only place the environment is read: where each port really is.
    gui::SettingsStore store;
    app::PortChoices choices([](const char* name) { return std::getenv(name); }, store);
    const bool demo = argc == 2 && std::string_view(argv[1]) == "--demo";
    if (argc > 1 && !demo)
        return cli::runCommandLine(std::vector<std::string>(argv + 1, argv + argc),
                                   choices.devices());

    QApplication qtApp(argc, argv);
    QApplication::setWindowIcon(gui::logoIcon());
    // Desktops match the windows to the installed desktop entry by this name.
    QGuiApplication::setDesktopFileName("drawertest");

    toolkit::RealClock clock;
    toolkit::Application application(clock);
    gui::QtWindowSystem windows(application);
    if (demo) {
        sim::MachineClock lineClock;
        app::Demo simulation(application, lineClock);
        app::Program program(application, simulation.ports(), app::Demo::portDevices());
        program.addScreenListener(
            [&simulation](const screens::ScreenEntry& screen) { simulation.screenOpened(screen); });
        windows.setTitleSuffix(QStringLiteral(" - Demo"));
        gui::SimulatedDrawerWindow drawers(simulation.ports());
        drawers.show();
        gui::WireLogWindow wireLog(program, windows);
        program.start();
        return windows.run();
    }
    ports::PlatformPortSystem portSystem(choices.devices());
    app::Program program(application, portSystem, app::portDevicesOf(choices.devices()));
    program.setPortChoices(&choices);
    choices.setApply([&portSystem, &program](const ports::DeviceMap& devices) {
        portSystem.setDevices(devices);
        program.setPortDevices(app::portDevicesOf(devices));
    });
    gui::WireLogWindow wireLog(program, windows);
    program.start();
    return windows.run();
}
