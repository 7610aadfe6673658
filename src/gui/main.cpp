// Starts drawertest: the ports as this machine names them; then with arguments the command
// line, which needs no display, and without them the Qt application, the model and the splash.
#include <QApplication>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/program.h"
#include "cli/command_line.h"
#include "gui/logo_icon.h"
#include "gui/qt_window_system.h"
#include "ports/device_map.h"
#include "ports/platform_port_system.h"
#include "toolkit/application.h"

int main(int argc, char** argv) {
    // The only place the environment is read: where each port really is.
    const auto devices =
        ports::DeviceMap::fromEnvironment([](const char* name) { return std::getenv(name); });
    if (argc > 1)
        return cli::runCommandLine(std::vector<std::string>(argv + 1, argv + argc), devices);

    QApplication qtApp(argc, argv);
    QApplication::setWindowIcon(gui::logoIcon());
    // Desktops match the windows to the installed desktop entry by this name.
    QGuiApplication::setDesktopFileName("drawertest");

    ports::PlatformPortSystem portSystem(devices);
    toolkit::RealClock clock;
    toolkit::Application application(clock);
    gui::QtWindowSystem windows(application);
    app::Program program(application, portSystem, app::portDevicesOf(devices));
    program.start();
    return windows.run();
}
