// Which device the demo plays for each screen.
#include "app/demo.h"

#include "app/find_form.h"
#include "screens/interfaces/alder_form2.h"

namespace app {

std::string demoDevice(const screens::ScreenEntry& screen, const toolkit::Form* form) {
    const auto* alternate = dynamic_cast<const screens::Alderform2*>(form);
    if (alternate != nullptr && alternate->mode() == "Level")
        return "alder-level";
    return screen.device;
}

std::string demoFindDevice(const std::string& port) {
    if (port == "COM1")
        return "epson";
    if (port == "COM2")
        return "alder";
    return port == "LPT1" ? "star" : "citizen";
}

Demo::Demo(const toolkit::Application& app, sim::WaitClock& clock)
    : m_app(app), m_ports(clock, [this](const std::string& port) {
          if (dynamic_cast<const FindForm*>(m_app.activeForm()) != nullptr)
              return demoFindDevice(port);
          return m_screen ? demoDevice(*m_screen, m_app.activeForm()) : std::string();
      }) {}

std::vector<PortDevice> Demo::portDevices() {
    std::vector<PortDevice> list;
    for (const char* port : {"COM1", "COM2", "LPT1", "LPT2"})
        list.emplace_back(port, "a simulated device (demo)");
    return list;
}

}  // namespace app
