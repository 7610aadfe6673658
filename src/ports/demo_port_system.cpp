// The demo's ports.
#include "ports/demo_port_system.h"

#include <algorithm>
#include <cerrno>
#include <thread>

#include "devices/named_device.h"
#include "ports/dcb_text.h"
#include "ports/wait_bounds.h"

namespace ports {

namespace {

// The codes the platform's own backend gives for the same faults.
#ifdef _WIN32
constexpr ErrorCode kNoSuchPort = 2;   // ERROR_FILE_NOT_FOUND
constexpr ErrorCode kPortInUse = 5;    // ERROR_ACCESS_DENIED
constexpr ErrorCode kBadHandle = 6;    // ERROR_INVALID_HANDLE
constexpr ErrorCode kBadSetting = 87;  // ERROR_INVALID_PARAMETER
#else
constexpr ErrorCode kNoSuchPort = ENOENT;
constexpr ErrorCode kPortInUse = EBUSY;
constexpr ErrorCode kBadHandle = EBADF;
constexpr ErrorCode kBadSetting = EINVAL;
#endif

}  // namespace

void MachineClock::waitUntil(devices::Time t) {
    std::this_thread::sleep_until(m_start + t);
}

DemoPortSystem::DemoPortSystem(WaitClock& clock, Cast cast)
    : m_clock(clock),
      m_cast(std::move(cast)),
      m_portNames(DeviceMap::fromEnvironment([](const char*) { return nullptr; })) {
    for (const DeviceMap::Entry& entry : m_portNames.entries()) {
        Port port{entry.portName,
                  SimulatedPort(entry.kind == PortKind::Serial ? devices::Line()
                                                               : devices::Line::parallel()),
                  {},
                  kInvalidHandle,
                  {},
                  {}};
        port.dcb.baudRate = 9600;
        m_ports.emplace(entry.portName, std::move(port));
    }
}

void DemoPortSystem::advance() {
    for (auto& [name, port] : m_ports)
        port.simulated.line().advance(now());
}

std::string DemoPortSystem::openPort() const {
    Handle newest = kInvalidHandle;
    std::string open;
    for (const auto& [name, port] : m_ports) {
        if (port.handle > newest) {
            newest = port.handle;
            open = name;
        }
    }
    return open;
}

devices::Device* DemoPortSystem::device(const std::string& port) {
    const auto it = m_ports.find(port);
    return it == m_ports.end() ? nullptr : it->second.simulated.line().device();
}

DemoPortSystem::Port* DemoPortSystem::find(Handle handle) {
    for (auto& [name, port] : m_ports) {
        if (port.handle == handle && handle != kInvalidHandle)
            return &port;
    }
    return nullptr;
}

void DemoPortSystem::castDevice(Port& port) {
    const std::string name = m_cast(port.name);
    if (name == port.deviceName)
        return;
    std::shared_ptr<devices::Device> device = devices::makeDevice(name);
    if (device) {
        device->setClosesAfter(kDrawerClosesAfter);
        device->setListener([this, portName = port.name](const devices::Notice& notice) {
            if (m_listener)
                m_listener(portName, notice);
        });
    }
    port.simulated.line().attach(std::move(device), now());
    port.deviceName = name;
}

ErrorCode DemoPortSystem::fail(ErrorCode code) {
    m_lastError = code;
    return code;
}

ErrorCode DemoPortSystem::complete(WriteOverlapped* overlapped, ErrorCode code,
                                   std::uint32_t count) {
    m_events.end(overlapped, code, count);
    return code == kSuccess ? kSuccess : fail(code);
}

Handle DemoPortSystem::createFile(const std::string& device, std::uint32_t /*access*/,
                                  std::uint32_t /*shareMode*/, std::uint32_t /*creation*/,
                                  std::uint32_t /*flags*/) {
    const DeviceMap::Entry* entry = m_portNames.find(device);
    if (entry == nullptr) {
        fail(kNoSuchPort);
        return kInvalidHandle;
    }
    Port& port = m_ports.at(entry->portName);
    if (port.handle != kInvalidHandle) {
        fail(kPortInUse);
        return kInvalidHandle;
    }
    castDevice(port);
    port.simulated.open();
    port.handle = m_nextHandle++;
    return port.handle;
}

ErrorCode DemoPortSystem::getCommState(Handle handle, CommDcb& dcb) {
    const Port* port = find(handle);
    if (port == nullptr)
        return fail(kBadHandle);
    dcb = port->dcb;
    return kSuccess;
}

ErrorCode DemoPortSystem::buildCommDcb(const std::string& settings, CommDcb& dcb) {
    const ErrorCode code = parseDcbText(settings, dcb);
    return code == kSuccess ? kSuccess : fail(kBadSetting);
}

ErrorCode DemoPortSystem::setCommState(Handle handle, const CommDcb& dcb) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(kBadHandle);
    if (dcb.baudRate == 0)
        return fail(kBadSetting);
    // A screen sets the line up as the device it tests is set: the device the screen expects
    // may have changed with its settings (the Alder's alternate modes).
    castDevice(*port);
    port->dcb = dcb;
    port->simulated.setLine(dcb, now());
    return kSuccess;
}

ErrorCode DemoPortSystem::escapeCommFunction(Handle handle, EscapeFunction /*function*/) {
    // The devices answer whether or not RTS and DTR are up.
    return find(handle) == nullptr ? fail(kBadHandle) : kSuccess;
}

ErrorCode DemoPortSystem::flushFileBuffers(Handle handle) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(kBadHandle);
    const ErrorCode code = port->simulated.drain(m_clock);
    return code == kSuccess ? kSuccess : fail(code);
}

ErrorCode DemoPortSystem::purgeComm(Handle handle, std::uint32_t flags) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(kBadHandle);
    port->simulated.purge(flags, now());
    return kSuccess;
}

ErrorCode DemoPortSystem::clearCommError(Handle handle, std::uint32_t& errors, CommStat& stat) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(kBadHandle);
    errors = 0;
    stat = port->simulated.queues(now());
    return kSuccess;
}

ErrorCode DemoPortSystem::setupComm(Handle handle, std::uint32_t /*inQueue*/,
                                    std::uint32_t /*outQueue*/) {
    // The lines keep queues of a serial driver's size.
    return find(handle) == nullptr ? fail(kBadHandle) : kSuccess;
}

ErrorCode DemoPortSystem::getCommTimeouts(Handle handle, CommTimeoutsRec& timeouts) {
    const Port* port = find(handle);
    if (port == nullptr)
        return fail(kBadHandle);
    timeouts = port->timeouts;
    return kSuccess;
}

ErrorCode DemoPortSystem::setCommTimeouts(Handle handle, const CommTimeoutsRec& timeouts) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(kBadHandle);
    port->timeouts = timeouts;
    return kSuccess;
}

EventHandle DemoPortSystem::createEvent(bool manualReset, bool initialState, const char* /*name*/) {
    return m_events.create(manualReset, initialState);
}

ErrorCode DemoPortSystem::closeEvent(EventHandle event) {
    return m_events.close(event) ? kSuccess : fail(kBadHandle);
}

ErrorCode DemoPortSystem::waitForSingleObject(EventHandle event, std::uint32_t timeoutMs) {
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

ErrorCode DemoPortSystem::writeFile(Handle handle, std::span<const std::uint8_t> bytes,
                                    std::uint32_t& written, WriteOverlapped* overlapped) {
    written = 0;
    Port* port = find(handle);
    if (port == nullptr)
        return complete(overlapped, kBadHandle, 0);
    const ErrorCode code = port->simulated.write(bytes, written, m_clock);
    return complete(overlapped, code, written);
}

ErrorCode DemoPortSystem::readFile(Handle handle, std::uint8_t& byte, std::uint32_t& read,
                                   WriteOverlapped* overlapped) {
    read = 0;
    Port* port = find(handle);
    if (port == nullptr)
        return complete(overlapped, kBadHandle, 0);
    const ErrorCode code = port->simulated.read(byte, now());
    read = code == kSuccess ? 1 : 0;
    return complete(overlapped, code, read);
}

ErrorCode DemoPortSystem::getOverlappedResult(Handle handle, WriteOverlapped& overlapped,
                                              std::uint32_t& transferred, bool /*wait*/) {
    if (find(handle) == nullptr)
        return fail(kBadHandle);
    transferred = overlapped.internalHigh;
    return overlapped.internal == kSuccess ? kSuccess : fail(overlapped.internal);
}

ErrorCode DemoPortSystem::getCommModemStatus(Handle handle, std::uint32_t& status) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(kBadHandle);
    status = port->simulated.modemStatus(now());
    return kSuccess;
}

ErrorCode DemoPortSystem::closeHandle(Handle handle) {
    Port* port = find(handle);
    if (port == nullptr)
        return fail(kBadHandle);
    port->simulated.close(m_clock);
    port->handle = kInvalidHandle;
    return kSuccess;
}

}  // namespace ports
