#include "cli/port_session.h"

#include <chrono>
#include <utility>

#include "screens/common/port_steps.h"

namespace cli {

namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

PortSession::PortSession(const PortArgument& port, const ports::DeviceMap& devices,
                         bool makerInterface)
    : m_devices(port.deviceMap(devices)),
      m_ports(m_devices),
      m_deviceName(port.deviceName(makerInterface)),
      m_shownName(port.shownName(makerInterface)),
      // A bare name that is no device was looked up as a network printer's.
      m_bareHostName(port.isPath && port.path == port.given &&
                     port.given.find_first_of(".:[") == std::string::npos) {}

std::chrono::microseconds PortSession::now() {
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch());
}

std::optional<Failure> PortSession::open(bool clearOutput) {
    m_handle = screens::openPort(m_ports, m_deviceName, clearOutput);
    if (m_handle >= 1)
        return std::nullopt;
    const ports::ErrorCode code = m_ports.lastError();
    std::string message = screens::openFailureText(m_shownName, code);
    if (m_bareHostName)
        message += " " + m_shownName +
                   " was taken for a network printer's name: a device is named "
                   "by its path.";
    return Failure{message, code};
}

std::optional<Failure> PortSession::setUpSerial(int baudRate, bool raiseDtr,
                                                bool capitalisedTexts) {
    const screens::LineSetup setup = screens::setUpSerialLine(m_ports, m_handle, m_records.commDcb,
                                                              m_deviceName, baudRate, raiseDtr);
    if (setup.failed != screens::LineSetup::Failed::Nothing)
        return Failure{screens::lineSetupFailureText(setup, capitalisedTexts), setup.code};
    m_line = ports::LineOccupancy(static_cast<std::uint32_t>(baudRate));
    return std::nullopt;
}

void PortSession::setUpParallel() {
    screens::setUpParallelPort(m_ports, m_handle, m_records.commTimeouts);
}

ports::ErrorCode PortSession::write(std::span<const std::uint8_t> bytes) {
    std::uint32_t written = 0;
    const ports::ErrorCode code = m_ports.writeFile(m_handle, bytes, written, nullptr);
    m_line.wrote(written, now());
    return code;
}

void PortSession::flush() {
    m_ports.flushFileBuffers(m_handle);
}

ports::ErrorCode PortSession::finish() {
    return m_ports.closeAndAwait(std::exchange(m_handle, ports::kInvalidHandle));
}

}  // namespace cli
