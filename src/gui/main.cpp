// Starts drawertest: the ports as this machine names them, or as the user chose them in the
// Ports dialog, or as the environment sets them; then with arguments the command
// line, which needs no display, and without them (or with --demo alone) the Qt application, the
// model and the splash. In demo mode every port is a simulated device inside the program and
// every window says so in its title.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "app/startup.h"
#include "cli/command_line.h"
#include "cli/report.h"
#include "gui/logo_icon.h"
#include "gui/qt_window_system.h"
#include "gui/settings_store.h"
#include "gui/simulated_drawer_window.h"
#include "gui/wire_log_window.h"
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
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const app::StartMode mode = app::startMode(arguments);
    if (mode == app::StartMode::CommandLine)
        return cli::runCommandLine(arguments, choices.devices());

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
    app::Startup startup(application, choices, mode == app::StartMode::Demo);
    windows.setTitleSuffix(QString::fromStdString(startup.titleSuffix()));
    std::optional<gui::SimulatedDrawerWindow> drawers;
    if (sim::DemoPortSystem* simulated = startup.demoPorts()) {
        drawers.emplace(*simulated);
        drawers->show();
    }
    gui::WireLogWindow wireLog(startup.program(), windows);
    startup.program().start();
    return windows.run();
}
