#include "app/port_choices.h"

namespace app {

PortChoices::PortChoices(ports::DeviceMap::Lookup environment, ChoiceStore& store,
                         std::string systemRoot)
    : m_environment(std::move(environment)),
      m_store(store),
      m_root(std::move(systemRoot)),
      m_devices(build()) {}

ports::DeviceMap PortChoices::build() const {
    return ports::DeviceMap::fromEnvironment(
        m_environment, [this](const std::string& port) { return m_store.load(port); });
}

void PortChoices::choose(const std::string& port, const std::string& device) {
    m_store.save(port, device == ports::DeviceMap::standardPath(port) ? std::string() : device);
    m_devices = build();
    if (m_apply)
        m_apply(m_devices);
}

}  // namespace app
