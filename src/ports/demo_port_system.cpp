// The demo's ports.
#include "ports/demo_port_system.h"

#include <thread>

#include "devices/named_device.h"

namespace ports {

void MachineClock::waitUntil(devices::Time t) {
    std::this_thread::sleep_until(m_start + t);
}

std::string DemoPortSystem::openPort() const {
    const std::vector<Handle> open = openHandles();
    return open.empty() ? std::string() : portOf(open.back());
}

void DemoPortSystem::castDevice(const std::string& port) {
    if (port.empty())
        return;
    const std::string name = m_cast(port);
    if (name == m_deviceNames[port])
        return;
    std::shared_ptr<devices::Device> device = devices::makeDevice(name);
    if (device) {
        device->setClosesAfter(kDrawerClosesAfter);
        device->setListener([this, port](const devices::Notice& notice) {
            if (m_listener)
                m_listener(port, notice);
        });
    }
    attach(port, std::move(device));
    m_deviceNames[port] = name;
}

Handle DemoPortSystem::createFile(const std::string& device, std::uint32_t access,
                                  std::uint32_t shareMode, std::uint32_t creation,
                                  std::uint32_t flags) {
    const Handle handle =
        SimulatedPortSystem::createFile(device, access, shareMode, creation, flags);
    if (handle != kInvalidHandle)
        castDevice(portOf(handle));
    return handle;
}

ErrorCode DemoPortSystem::setCommState(Handle handle, const CommDcb& dcb) {
    castDevice(portOf(handle));
    return SimulatedPortSystem::setCommState(handle, dcb);
}

}  // namespace ports
