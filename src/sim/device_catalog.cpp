// The devices by name.
#include "sim/device_catalog.h"

#include "sim/drawer_interface.h"
#include "sim/loopback.h"
#include "sim/printer.h"

namespace sim {

std::shared_ptr<Device> makeDevice(std::string_view name) {
    if (const protocol::CommandSet* commands = protocol::commandSetNamed(name))
        return std::make_shared<Printer>(*commands);
    if (name == "loopback")
        return std::make_shared<Loopback>();
    if (auto settings = interfaceSettings(name))
        return std::make_shared<DrawerInterface>(std::move(*settings));
    return nullptr;
}

}  // namespace sim
