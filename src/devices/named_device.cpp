// The devices by name.
#include "devices/named_device.h"

#include "devices/drawer_interface.h"
#include "devices/printer.h"

namespace devices {

std::shared_ptr<Device> makeDevice(std::string_view name) {
    if (const auto brand = brandNamed(name))
        return std::make_shared<Printer>(*brand);
    if (auto settings = interfaceSettings(name))
        return std::make_shared<DrawerInterface>(std::move(*settings));
    return nullptr;
}

}  // namespace devices
