// The simulated ports.
#include "sim/simulated_port_system.h"

#include <algorithm>

#include "ports/dcb_text.h"

namespace sim {

// A simulated port while a screen holds it open: its settings, and every call on its line.
class SimulatedPortSystem::OpenPort final : public ports::Medium {
public:
    OpenPort(Port& port, WaitClock& clock) : m_port(port), m_clock(clock) {}

    ports::ErrorCode getState(ports::CommDcb& dcb) override {
        dcb = m_port.dcb;
        return ports::kSuccess;
    }
    ports::ErrorCode setState(const ports::CommDcb& dcb) override {
        if (dcb.baudRate == 0)
            return kBadSetting;
        m_port.dcb = dcb;
        m_port.simulated.setLine(dcb, m_clock.now());
        return ports::kSuccess;
    }
    ports::ErrorCode escape(ports::EscapeFunction /*function*/) override {
        // The devices answer whether or not RTS and DTR are up.
        return ports::kSuccess;
    }
    ports::ErrorCode modemStatus(std::uint32_t& status) override {
        status = m_port.simulated.modemStatus(m_clock.now());
        return ports::kSuccess;
    }
    // A printer on a parallel link gives its ID, as one on a real parallel port answers the
    // port's probe; a serial line has no way to ask.
    ports::ErrorCode deviceId(std::string& id) override {
        m_port.simulated.advance(m_clock.now());
        const Line& line = m_port.simulated.line();
        const Device* device = line.farEnd() == Line::FarEnd::SwitchedOff ? nullptr : line.device();
        if (!line.isParallel() || device == nullptr || device->deviceId().empty())
            return ports::kNoDeviceId;
        id = device->deviceId();
        return ports::kSuccess;
    }
    ports::ErrorCode getTimeouts(ports::CommTimeoutsRec& timeouts) override {
        timeouts = m_port.timeouts;
        return ports::kSuccess;
    }
    ports::ErrorCode setTimeouts(const ports::CommTimeoutsRec& timeouts) override {
        m_port.timeouts = timeouts;
        return ports::kSuccess;
    }
    ports::ErrorCode flush() override { return m_port.simulated.drain(m_clock); }
    ports::ErrorCode purge(std::uint32_t flags) override {
        m_port.simulated.purge(flags, m_clock.now());
        return ports::kSuccess;
    }
    ports::ErrorCode queues(std::uint32_t& errors, ports::CommStat& stat) override {
        errors = 0;
        stat = m_port.simulated.queues(m_clock.now());
        return ports::kSuccess;
    }
    ports::ErrorCode write(std::span<const std::uint8_t> bytes, std::uint32_t& written) override {
        return m_port.simulated.write(bytes, written, m_clock);
    }
    ports::ErrorCode read(std::uint8_t& byte) override {
        return m_port.simulated.read(byte, m_clock.now());
    }
    // The line drains on behind the close, in the simulated time.
    ports::ErrorCode close() override {
        m_port.simulated.close(m_clock.now());
        m_port.handle = ports::kInvalidHandle;
        return ports::kSuccess;
    }

private:
    Port& m_port;
    WaitClock& m_clock;
};

SimulatedPortSystem::SimulatedPortSystem(WaitClock& clock)
    : PortSystemBase({kBadHandle, ports::kTimedOut}),
      m_clock(clock),
      m_portNames(ports::DeviceMap::fromEnvironment([](const char*) { return nullptr; })) {
    for (const ports::DeviceMap::Entry& entry : m_portNames.entries()) {
        Port port{SimulatedPort(entry.kind == ports::PortKind::Serial ? Line() : Line::parallel()),
                  ports::kInvalidHandle,
                  {},
                  {},
                  {}};
        port.dcb.baudRate = 9600;
        m_ports.emplace(entry.portName, std::move(port));
    }
}

SimulatedPortSystem::~SimulatedPortSystem() {
    // The open ports go before the lines they hold.
    closeAll();
}

std::string SimulatedPortSystem::portNamed(const std::string& device) const {
    const ports::DeviceMap::Entry* entry = m_portNames.find(device);
    return entry == nullptr ? std::string() : entry->portName;
}

void SimulatedPortSystem::attach(const std::string& port, std::shared_ptr<Device> device) {
    SimulatedPort& simulated = m_ports.at(port).simulated;
    simulated.line().attach(std::move(device), now());
    // The device starts its time now.
    simulated.advance(now());
}

Line& SimulatedPortSystem::line(const std::string& port) {
    SimulatedPort& simulated = m_ports.at(port).simulated;
    simulated.advance(now());
    return simulated.line();
}

void SimulatedPortSystem::advance() {
    for (auto& [name, port] : m_ports)
        port.simulated.advance(now());
}

std::string SimulatedPortSystem::portOf(ports::Handle handle) const {
    for (const auto& [name, port] : m_ports) {
        if (port.handle == handle && handle != ports::kInvalidHandle)
            return name;
    }
    return {};
}

std::vector<ports::Handle> SimulatedPortSystem::openHandles() const {
    std::vector<ports::Handle> handles;
    for (const auto& [name, port] : m_ports) {
        if (port.handle != ports::kInvalidHandle)
            handles.push_back(port.handle);
    }
    std::sort(handles.begin(), handles.end());
    return handles;
}

ports::Handle SimulatedPortSystem::createFile(const std::string& device, std::uint32_t /*access*/,
                                              std::uint32_t /*shareMode*/,
                                              std::uint32_t /*creation*/, std::uint32_t /*flags*/) {
    const std::string name = portNamed(device);
    if (name.empty()) {
        fail(kNoSuchPort);
        return ports::kInvalidHandle;
    }
    Port& port = m_ports.at(name);
    if (port.handle != ports::kInvalidHandle) {
        fail(kPortInUse);
        return ports::kInvalidHandle;
    }
    SimulatedPort& simulated = port.simulated;
    ports::awaitClose(
        device, closeWaitListener(),
        [&]() -> std::optional<std::chrono::milliseconds> {
            const auto left = simulated.closingLeft(now());
            if (!left)
                return std::nullopt;
            return std::chrono::ceil<std::chrono::milliseconds>(*left);
        },
        [&](std::chrono::milliseconds limit) {
            const Time left = simulated.closingLeft(now()).value_or(Time::zero());
            m_clock.waitUntil(now() + std::min<Time>(limit, left));
        },
        [&] { simulated.stopClosing(now()); });
    simulated.open(m_clock);
    port.openedAs = device;
    port.handle = adopt(std::make_unique<OpenPort>(port, m_clock), device);
    return port.handle;
}

ports::ErrorCode SimulatedPortSystem::buildCommDcb(const std::string& settings,
                                                   ports::CommDcb& dcb) {
    const ports::ErrorCode code = ports::parseDcbText(settings, dcb);
    return code == ports::kSuccess ? ports::kSuccess : fail(kBadSetting);
}

std::vector<ports::ClosingPort> SimulatedPortSystem::closingPorts() const {
    std::vector<ports::ClosingPort> closing;
    for (auto& [name, port] : m_ports) {
        if (const auto left = port.simulated.closingLeft(now()))
            closing.push_back({port.openedAs, std::chrono::ceil<std::chrono::milliseconds>(*left)});
    }
    return closing;
}

void SimulatedPortSystem::stopClosing() {
    for (auto& [name, port] : m_ports)
        port.simulated.stopClosing(now());
}

void SimulatedPortSystem::sleepFor(std::chrono::milliseconds duration) {
    m_clock.waitUntil(now() + duration);
}

}  // namespace sim
