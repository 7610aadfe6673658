#include "app/port_choices.h"

namespace app {

PortChoices::PortChoices(ports::DeviceMap::Lookup environment, ChoiceStore& store,
                         std::string systemRoot)
    : m_environment(std::move(environment)),
      m_store(store),
      m_root(std::move(systemRoot)),
      m_devices(build()) {}

ports::DeviceMap PortChoices::build() const {
    ports::DeviceMap devices = ports::DeviceMap::fromEnvironment(
        m_environment, [this](const std::string& port) { return m_store.load(port); });
    for (const auto& [port, device] : m_unsaved)
        devices = devices.withChoice(port, device);
    return devices;
}

std::string PortChoices::choose(const std::string& port, const std::string& device) {
    const std::string choice = device == ports::DeviceMap::standardPath(port) ? "" : device;
    if (!m_unsaved.contains(port) && m_store.load(port) == choice)
        return {};  // kept already
    std::string failure = m_store.save(port, choice);
    if (failure.empty()) {
        m_unsaved.erase(port);
    } else {
        m_unsaved[port] = choice;
    }
    m_devices = build();
    if (m_apply)
        m_apply(m_devices);
    return failure;
}

}  // namespace app
