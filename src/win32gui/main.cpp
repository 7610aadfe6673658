// Starts drawertest.exe and drawertest.com, its console twin: the ports as this machine names
// them, or as the user chose them in the Ports dialog (kept in the registry), or as the
// environment sets them; then with arguments the command line, and without them (or with --demo
// alone) the windows, the model and the splash. In demo mode every port is a simulated device
// inside the program and every window says so in its title.
#include <objbase.h>
#include <windows.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "app/startup.h"
#include "cli/command_line.h"
#include "toolkit/application.h"
#include "win32gui/registry_store.h"
#include "win32gui/simulated_drawer_window.h"
#include "win32gui/win32_window_system.h"
#include "win32gui/wire_log_window.h"

int main(int argc, char** argv) {
    // The only place the environment is read: where each port really is.
    win32gui::RegistryStore store;
    app::PortChoices choices([](const char* name) { return std::getenv(name); }, store);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const app::StartMode mode = app::startMode(arguments);
    if (mode == app::StartMode::CommandLine)
        return cli::runCommandLine(arguments, choices.devices());

    // drawertest.com started from Explorer got a console of its own, which the window does not
    // need; one it shares with the command prompt that started it stays.
    DWORD consoleProcesses[2];
    if (::GetConsoleProcessList(consoleProcesses, 2) == 1)
        ::FreeConsole();
    // Accessibility tools reach the controls' names through COM.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    toolkit::RealClock clock;
    toolkit::Application application(clock);
    win32gui::Win32WindowSystem windows(application);
    app::Startup startup(application, choices, mode == app::StartMode::Demo);
    windows.setTitleSuffix(startup.titleSuffix());
    std::optional<win32gui::SimulatedDrawerWindow> drawers;
    if (sim::DemoPortSystem* simulated = startup.demoPorts())
        drawers.emplace(*simulated);
    win32gui::WireLogWindow wireLog(startup.program(), windows);
    startup.program().start();
    const int status = windows.run();
    CoUninitialize();
    return status;
}
