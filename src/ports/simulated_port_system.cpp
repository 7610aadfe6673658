// The simulated ports.
#include "ports/simulated_port_system.h"

#include <algorithm>

#include "ports/dcb_text.h"
#include "ports/wait_bounds.h"

namespace ports {

SimulatedPortSystem::SimulatedPortSystem(WaitClock& clock)
    : m_clock(clock), m_portNames(DeviceMap::fromEnvironment([](const char*) { return nullptr; })) {
    for (const DeviceMap::Entry& entry : m_portNames.entries()) {
        Port port{SimulatedPort(entry.kind == PortKind::Serial ? devices::Line()
                                                               : devices::Line::parallel()),
                  kInvalidHandle,
                  {},
                  {}};
        port.dcb.baudRate = 9600;
        m_ports.emplace(entry.portName, std::move(port));
    }
}

std::string SimulatedPortSystem::portNamed(const std::string& device) const {
    const DeviceMap::Entry* entry = m_portNames.find(device);
    return entry == nullptr ? std::string() : entry->portName;
}

void SimulatedPortSystem::attach(const std::string& port, std::shared_ptr<devices::Device> device) {
    SimulatedPort& simulated = m_ports.at(port).simulated;
    simulated.line().attach(std::move(device), now());
    // The device starts its time now.
    simulated.advance(now());
}

devices::Line& SimulatedPortSystem::line(const std::string& port) {
    SimulatedPort& simulated = m_ports.at(port).simulated;
    simulated.advance(now());
    return simulated.line();
}

void SimulatedPortSystem::advance() {
    for (auto& [name, port] : m_ports)
        port.simulated.advance(now());
}

std::string SimulatedPortSystem::portOf(Handle handle) const {
    for (const auto& [name, port] : m_ports) {
        if (port.handle == handle && handle != kInvalidHandle)
            return name;
    }
    return {};
}

std::vector<Handle> SimulatedPortSystem::openHandles() const {
    std::vector<Handle> handles;
    for (const auto& [name, port] : m_ports) {
        if (port.handle != kInvalidHandle)
            handles.push_back(port.handle);
    }
    std::sort(handles.begin(), handles.end());
    return handles;
}

SimulatedPortSystem::Port* SimulatedPortSystem::find(Handle handle) {
    const std::string name = portOf(handle);
    return name.empty() ? nullptr : &m_ports.at(name);
}

ErrorCode SimulatedPortSystem::fail(ErrorCode code) {
    m_lastError = code;
    return code;
}

ErrorCode SimulatedPortSystem::complete(WriteOverlapped* overlapped, ErrorCode code,
                                        std::uint32_t count) {
    m_events.end(overlapped, code, count);
    return code == kSuccess ? kSuccess : fail(code);
}

Handle SimulatedPortSystem::createFile(const std::string& device, std::uint32_t /*access*/,
                                       std::uint32_t /*shareMode*/, std::uint32_t /*creation*/,
                                       std::uint32_t /*flags*/) {
    const std::string name = portNamed(device);
    if (name.empty()) {
        fail(kNoSuchPort);
        return kInvalidHandle;
    }
    Port& port = m_ports.at(name);
    if (port.handle != kInvalidHandle) {
        fail(kPortInUse);
        return kInvalidHandle;
    }
    port.simulated.open(m_clock);
    port.handle = m_nextHandle++;
    return port.handle;
}

ErrorCode SimulatedPortSystem::getCommState(Handle handle, CommDcb& dcb) {
    const Port* port = find(handle);
    if (port == nullptr)
        return fail(kBadHandle);
    dcb = port->dcb;
    return kSuccess;
}

ErrorCode SimulatedPortSystem::buildCommDcb(const std::string& settings, CommDcb& dcb) {
    const ErrorCode code = parseDcbText(settings, dcb);
    return code == kSuccess ? kSuccess : fail(kBadSetting);
}

ErrorCode SimulatedPortSystem::setCommState(Handle handle, const CommDcb& dcb) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(kBadHandle);
    if (dcb.baudRate == 0)
        return fail(kBadSetting);
    port->dcb = dcb;
    port->simulated.setLine(dcb, now());
    return kSuccess;
}

ErrorCode SimulatedPortSystem::escapeCommFunction(Handle handle, EscapeFunction /*function*/) {
    // The devices answer whether or not RTS and DTR are up.
    return find(handle) == nullptr ? fail(kBadHandle) : kSuccess;
}

ErrorCode SimulatedPortSystem::flushFileBuffers(Handle handle) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(kBadHandle);
    const ErrorCode code = port->simulated.drain(m_clock);
    return code == kSuccess ? kSuccess : fail(code);
}

ErrorCode SimulatedPortSystem::purgeComm(Handle handle, std::uint32_t flags) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(kBadHandle);
    port->simulated.purge(flags, now());
    return kSuccess;
}

ErrorCode SimulatedPortSystem::clearCommError(Handle handle, std::uint32_t& errors,
                                              CommStat& stat) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(kBadHandle);
    errors = 0;
    stat = port->simulated.queues(now());
    return kSuccess;
}

ErrorCode SimulatedPortSystem::setupComm(Handle handle, std::uint32_t /*inQueue*/,
                                         std::uint32_t /*outQueue*/) {
    // The lines keep queues of a serial driver's size.
    return find(handle) == nullptr ? fail(kBadHandle) : kSuccess;
}

ErrorCode SimulatedPortSystem::getCommTimeouts(Handle handle, CommTimeoutsRec& timeouts) {
    const Port* port = find(handle);
    if (port == nullptr)
        return fail(kBadHandle);
    timeouts = port->timeouts;
    return kSuccess;
}

ErrorCode SimulatedPortSystem::setCommTimeouts(Handle handle, const CommTimeoutsRec& timeouts) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(kBadHandle);
    port->timeouts = timeouts;
    return kSuccess;
}

EventHandle SimulatedPortSystem::createEvent(bool manualReset, bool initialState,
                                             const char* /*name*/) {
    return m_events.create(manualReset, initialState);
}

ErrorCode SimulatedPortSystem::closeEvent(EventHandle event) {
    return m_events.close(event) ? kSuccess : fail(kBadHandle);
}

ErrorCode SimulatedPortSystem::waitForSingleObject(EventHandle event, std::uint32_t timeoutMs) {
    const EventTable::Found found = m_events.take(event);
    if (found == EventTable::Found::NoSuchEvent)
        return fail(kBadHandle);
    if (found == EventTable::Found::Signalled)
        return kSuccess;
    // Reads and writes end before they return: nothing signals the event now.
    m_clock.waitUntil(
        now() + std::min<devices::Time>(std::chrono::milliseconds(timeoutMs), kEventWaitLimit));
    return fail(kTimedOut);
}

ErrorCode SimulatedPortSystem::writeFile(Handle handle, std::span<const std::uint8_t> bytes,
                                         std::uint32_t& written, WriteOverlapped* overlapped) {
    written = 0;
    Port* port = find(handle);
    if (port == nullptr)
        return complete(overlapped, kBadHandle, 0);
    const ErrorCode code = port->simulated.write(bytes, written, m_clock);
    return complete(overlapped, code, written);
}

ErrorCode SimulatedPortSystem::readFile(Handle handle, std::uint8_t& byte, std::uint32_t& read,
                                        WriteOverlapped* overlapped) {
    read = 0;
    Port* port = find(handle);
    if (port == nullptr)
        return complete(overlapped, kBadHandle, 0);
    const ErrorCode code = port->simulated.read(byte, now());
    read = code == kSuccess ? 1 : 0;
    return complete(overlapped, code, read);
}

ErrorCode SimulatedPortSystem::getOverlappedResult(Handle handle, WriteOverlapped& overlapped,
                                                   std::uint32_t& transferred, bool /*wait*/) {
    if (find(handle) == nullptr)
        return fail(kBadHandle);
    transferred = overlapped.internalHigh;
    return overlapped.internal == kSuccess ? kSuccess : fail(overlapped.internal);
}

ErrorCode SimulatedPortSystem::getCommModemStatus(Handle handle, std::uint32_t& status) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(kBadHandle);
    status = port->simulated.modemStatus(now());
    return kSuccess;
}

ErrorCode SimulatedPortSystem::closeHandle(Handle handle) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(kBadHandle);
    port->simulated.close(now());
    port->handle = kInvalidHandle;
    return kSuccess;
}

}  // namespace ports
