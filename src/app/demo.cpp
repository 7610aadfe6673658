// Which device the demo plays for each screen.
#include "app/demo.h"

#include "screens/interfaces/alder_form2.h"

namespace app {

std::string demoDevice(const screens::ScreenEntry& screen, const toolkit::Form* form) {
    const auto* alternate = dynamic_cast<const screens::Alderform2*>(form);
    if (alternate != nullptr && alternate->mode() == "Level")
        return "alder-level";
    return screen.device;
}

Demo::Demo(const toolkit::Application& app, sim::WaitClock& clock)
    : m_app(app), m_ports(clock, [this](const std::string&) {
          return m_screen ? demoDevice(*m_screen, m_app.activeForm()) : std::string();
      }) {}

std::vector<PortDevice> Demo::portDevices() {
    std::vector<PortDevice> list;
    for (const char* port : {"COM1", "COM2", "LPT1", "LPT2"})
        list.emplace_back(port, "a simulated device (demo)");
    return list;
}

}  // namespace app
