#include "app/startup.h"

namespace app {

StartMode startMode(const std::vector<std::string>& arguments) {
    if (arguments.empty())
        return StartMode::Window;
    if (arguments.size() == 1 && arguments.front() == "--demo")
        return StartMode::Demo;
    return StartMode::CommandLine;
}

Startup::Startup(toolkit::Application& app, PortChoices& choices, bool demo) {
    if (demo) {
        m_demo = std::make_unique<Demo>(app, m_lineClock);
        m_program = std::make_unique<Program>(app, m_demo->ports(), Demo::portDevices());
        Demo& simulation = *m_demo;
        m_program->addScreenListener(
            [&simulation](const screens::ScreenEntry& screen) { simulation.screenOpened(screen); });
        return;
    }
    m_portSystem = std::make_unique<ports::PlatformPortSystem>(choices.devices());
    m_program = std::make_unique<Program>(app, *m_portSystem, portDevicesOf(choices.devices()));
    m_program->setPortChoices(&choices);
    choices.setApply([this](const ports::DeviceMap& devices) {
        m_portSystem->setDevices(devices);
        m_program->setPortDevices(portDevicesOf(devices));
    });
}

Startup::~Startup() = default;

}  // namespace app
