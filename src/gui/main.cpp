// Starts drawertest: the ports as this machine names them, or as the user chose them in the
// Ports dialog, or as the environment sets them; then with arguments the command
// line, which needs no display, and without them (or with --demo alone) the Qt application, the
// model and the splash. In demo mode every port is a simulated device inside the program and
// every window says so in its title.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/demo.h"
#include "app/program.h"
#include "cli/command_line.h"
#include "cli/report.h"
#include "gui/logo_icon.h"
#include "gui/qt_window_system.h"
#include "gui/settings_store.h"
#include "gui/simulated_drawer_window.h"
#include "gui/wire_log_window.h"
#include "ports/backends/platform_port_system.h"
#include "ports/naming/device_map.h"
#include "toolkit/application.h"

namespace {

// Qt ends the process (an abort, a core dump) when it finds no display. The window was asked
// for: say what it needs, with a code a script can test.
[[noreturn]] void noDisplay() {
    std::fputs(
        "drawertest: the window needs a display, and none could be reached (DISPLAY or "
        "WAYLAND_DISPLAY); the command line needs none: drawertest --help\n",
        stderr);
    std::_Exit(cli::kNoDisplay);
}

bool isSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0';
}

QtMessageHandler g_qtMessages = nullptr;

// While Qt starts, the fatal message of a platform that could not start is the missing display.
void onStartMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg)
        noDisplay();
    g_qtMessages(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
    // The only place the environment is read: where each port really is.
    gui::SettingsStore store;
    app::PortChoices choices([](const char* name) { return std::getenv(name); }, store);
    const bool demo = argc == 2 && std::string_view(argv[1]) == "--demo";
    if (argc > 1 && !demo)
        return cli::runCommandLine(std::vector<std::string>(argv + 1, argv + argc),
                                   choices.devices());

    if (!isSet("QT_QPA_PLATFORM") && !isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY"))
        noDisplay();
    g_qtMessages = qInstallMessageHandler(onStartMessage);
    QApplication qtApp(argc, argv);
    qInstallMessageHandler(g_qtMessages);
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
