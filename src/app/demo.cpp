// Which device the demo plays for each screen.
#include "app/demo.h"

#include "screens/interfaces/alder_form2.h"

namespace app {

using screens::ScreenId;

std::string demoDevice(ScreenId screen, const toolkit::Form* form) {
    switch (screen) {
        case ScreenId::Alderform:
            return "alder";
        case ScreenId::Alderform2: {
            const auto* alternate = dynamic_cast<const screens::Alderform2*>(form);
            return alternate != nullptr && alternate->mode() == "Level" ? "alder-level"
                                                                        : "alder-char";
        }
        case ScreenId::Birchform:
            return "birch";
        case ScreenId::Cedarform:
            return "cedar";
        case ScreenId::Mapleform:
            return "maple";
        case ScreenId::StarParallelform:
        case ScreenId::StarSerialform:
            return "star";
        case ScreenId::EPSONParallelform:
        case ScreenId::EPSONSerialform:
            return "epson";
        case ScreenId::CITIZENParallelform:
        case ScreenId::CITIZENSerialform:
            return "citizen";
        case ScreenId::ITHACAParallelform:
        case ScreenId::ITHACASerialform:
            return "ithaca";
    }
    return {};
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
