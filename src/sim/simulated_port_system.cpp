// The simulated ports.
#include "sim/simulated_port_system.h"

#include <algorithm>

#include "ports/dcb_text.h"
#include "ports/wait_bounds.h"

namespace sim {

SimulatedPortSystem::SimulatedPortSystem(WaitClock& clock)
    : m_clock(clock),
      m_portNames(ports::DeviceMap::fromEnvironment([](const char*) { return nullptr; })) {
    for (const ports::DeviceMap::Entry& entry : m_portNames.entries()) {
        Port port{SimulatedPort(entry.kind == ports::PortKind::Serial ? Line() : Line::parallel()),
                  ports::kInvalidHandle,
                  {},
                  {}};
        port.dcb.baudRate = 9600;
        m_ports.emplace(entry.portName, std::move(port));
    }
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

SimulatedPortSystem::Port* SimulatedPortSystem::find(ports::Handle handle) {
    const std::string name = portOf(handle);
    return name.empty() ? nullptr : &m_ports.at(name);
}

ports::ErrorCode SimulatedPortSystem::fail(ports::ErrorCode code) {
    m_lastError = code;
    return code;
}

ports::ErrorCode SimulatedPortSystem::complete(ports::WriteOverlapped* overlapped,
                                               ports::ErrorCode code, std::uint32_t count) {
    m_events.end(overlapped, code, count);
    return code == ports::kSuccess ? ports::kSuccess : fail(code);
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
    port.simulated.open(m_clock);
    port.handle = m_nextHandle++;
    return port.handle;
}

ports::ErrorCode SimulatedPortSystem::getCommState(ports::Handle handle, ports::CommDcb& dcb) {
    const Port* port = find(handle);
    if (port == nullptr)
        return fail(kBadHandle);
    dcb = port->dcb;
    return ports::kSuccess;
}

ports::ErrorCode SimulatedPortSystem::buildCommDcb(const std::string& settings,
                                                   ports::CommDcb& dcb) {
    const ports::ErrorCode code = ports::parseDcbText(settings, dcb);
    return code == ports::kSuccess ? ports::kSuccess : fail(kBadSetting);
}

ports::ErrorCode SimulatedPortSystem::setCommState(ports::Handle handle,
                                                   const ports::CommDcb& dcb) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(kBadHandle);
    if (dcb.baudRate == 0)
        return fail(kBadSetting);
    port->dcb = dcb;
    port->simulated.setLine(dcb, now());
    return ports::kSuccess;
}

ports::ErrorCode SimulatedPortSystem::escapeCommFunction(ports::Handle handle,
                                                         ports::EscapeFunction /*function*/) {
    // The devices answer whether or not RTS and DTR are up.
    return find(handle) == nullptr ? fail(kBadHandle) : ports::kSuccess;
}

ports::ErrorCode SimulatedPortSystem::flushFileBuffers(ports::Handle handle) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(kBadHandle);
    const ports::ErrorCode code = port->simulated.drain(m_clock);
    return code == ports::kSuccess ? ports::kSuccess : fail(code);
}

ports::ErrorCode SimulatedPortSystem::purgeComm(ports::Handle handle, std::uint32_t flags) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(kBadHandle);
    port->simulated.purge(flags, now());
    return ports::kSuccess;
}

ports::ErrorCode SimulatedPortSystem::clearCommError(ports::Handle handle, std::uint32_t& errors,
                                                     ports::CommStat& stat) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(kBadHandle);
    errors = 0;
    stat = port->simulated.queues(now());
    return ports::kSuccess;
}

ports::ErrorCode SimulatedPortSystem::setupComm(ports::Handle handle, std::uint32_t /*inQueue*/,
                                                std::uint32_t /*outQueue*/) {
    // The lines keep queues of a serial driver's size.
    return find(handle) == nullptr ? fail(kBadHandle) : ports::kSuccess;
}

ports::ErrorCode SimulatedPortSystem::getCommTimeouts(ports::Handle handle,
                                                      ports::CommTimeoutsRec& timeouts) {
    const Port* port = find(handle);
    if (port == nullptr)
        return fail(kBadHandle);
    timeouts = port->timeouts;
    return ports::kSuccess;
}

ports::ErrorCode SimulatedPortSystem::setCommTimeouts(ports::Handle handle,
                                                      const ports::CommTimeoutsRec& timeouts) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(kBadHandle);
    port->timeouts = timeouts;
    return ports::kSuccess;
}

ports::EventHandle SimulatedPortSystem::createEvent(bool manualReset, bool initialState,
                                                    const char* /*name*/) {
    return m_events.create(manualReset, initialState);
}

ports::ErrorCode SimulatedPortSystem::closeEvent(ports::EventHandle event) {
    return m_events.close(event) ? ports::kSuccess : fail(kBadHandle);
}

ports::ErrorCode SimulatedPortSystem::waitForSingleObject(ports::EventHandle event,
                                                          std::uint32_t timeoutMs) {
    const ports::EventTable::Found found = m_events.take(event);
    if (found == ports::EventTable::Found::NoSuchEvent)
        return fail(kBadHandle);
    if (found == ports::EventTable::Found::Signalled)
        return ports::kSuccess;
    // Reads and writes end before they return: nothing signals the event now.
    m_clock.waitUntil(now() +
                      std::min<Time>(std::chrono::milliseconds(timeoutMs), ports::kEventWaitLimit));
    return fail(ports::kTimedOut);
}

ports::ErrorCode SimulatedPortSystem::writeFile(ports::Handle handle,
                                                std::span<const std::uint8_t> bytes,
                                                std::uint32_t& written,
                                                ports::WriteOverlapped* overlapped) {
    written = 0;
    Port* port = find(handle);
    if (port == nullptr)
        return complete(overlapped, kBadHandle, 0);
    const ports::ErrorCode code = port->simulated.write(bytes, written, m_clock);
    return complete(overlapped, code, written);
}

ports::ErrorCode SimulatedPortSystem::readFile(ports::Handle handle, std::uint8_t& byte,
                                               std::uint32_t& read,
                                               ports::WriteOverlapped* overlapped) {
    read = 0;
    Port* port = find(handle);
    if (port == nullptr)
        return complete(overlapped, kBadHandle, 0);
    const ports::ErrorCode code = port->simulated.read(byte, now());
    read = code == ports::kSuccess ? 1 : 0;
    return complete(overlapped, code, read);
}

ports::ErrorCode SimulatedPortSystem::getOverlappedResult(ports::Handle handle,
                                                          ports::WriteOverlapped& overlapped,
                                                          std::uint32_t& transferred,
                                                          bool /*wait*/) {
    if (find(handle) == nullptr)
        return fail(kBadHandle);
    transferred = overlapped.internalHigh;
    return overlapped.internal == ports::kSuccess ? ports::kSuccess : fail(overlapped.internal);
}

ports::ErrorCode SimulatedPortSystem::getCommModemStatus(ports::Handle handle,
                                                         std::uint32_t& status) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(kBadHandle);
    status = port->simulated.modemStatus(now());
    return ports::kSuccess;
}

ports::ErrorCode SimulatedPortSystem::closeHandle(ports::Handle handle) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(kBadHandle);
    port->simulated.close(now());
    port->handle = ports::kInvalidHandle;
    return ports::kSuccess;
}

}  // namespace sim
