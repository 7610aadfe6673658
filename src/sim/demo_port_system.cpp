// The demo's ports.
#include "sim/demo_port_system.h"

#include <thread>

#include "sim/device_catalog.h"

namespace sim {

void MachineClock::waitUntil(Time t) {
    std::this_thread::sleep_until(m_start + t);
}

std::string DemoPortSystem::openPort() const {
    const std::vector<ports::Handle> open = openHandles();
    return open.empty() ? std::string() : portOf(open.back());
}

void DemoPortSystem::placeDevice(const std::string& port) {
    if (port.empty())
        return;
    const std::string name = m_chooseDevice(port);
    if (name == m_deviceNames[port])
        return;
    std::shared_ptr<Device> device = makeDevice(name);
    if (device) {
        device->setClosesAfter(kDrawerClosesAfter);
        device->setListener([this, port](const Notice& notice) {
            if (m_listener)
                m_listener(port, notice);
        });
    }
    attach(port, std::move(device));
    m_deviceNames[port] = name;
}

ports::Handle DemoPortSystem::createFile(const std::string& device, std::uint32_t access,
                                         std::uint32_t shareMode, std::uint32_t creation,
                                         std::uint32_t flags) {
    const ports::Handle handle =
        SimulatedPortSystem::createFile(device, access, shareMode, creation, flags);
    if (handle != ports::kInvalidHandle)
        placeDevice(portOf(handle));
    return handle;
}

ports::ErrorCode DemoPortSystem::setCommState(ports::Handle handle, const ports::CommDcb& dcb) {
    placeDevice(portOf(handle));
    return SimulatedPortSystem::setCommState(handle, dcb);
}

}  // namespace sim
