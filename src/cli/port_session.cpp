#include "cli/port_session.h"

#include <chrono>
#include <thread>

#include "screens/common/port_steps.h"

namespace cli {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// A parallel port or a line whose rate was never set: its bytes are given the time they take
// at this rate.
constexpr int kAssumedRate = 9600;
constexpr int kBitsPerByte = 10;  // start bit, 8 data bits, stop bit
constexpr auto kDrainSlack = 1s;
constexpr auto kFarEndSlack = 100ms;

}  // namespace

PortSession::PortSession(const PortArgument& port, const ports::DeviceMap& devices,
                         bool makerInterface)
    : m_devices(port.deviceMap(devices)),
      m_ports(m_devices),
      m_deviceName(port.deviceName(makerInterface)),
      m_shownName(port.shownName(makerInterface)) {}

// A process that ends right after its writes would drop what is still queued when it closes
// the port: the queue is given the wire time of everything written, and a little more, to
// drain. A pseudo-terminal tells nothing of what its far end has read, so the bytes are also
// given their wire time counted from the first write.
PortSession::~PortSession() {
    if (m_handle < 1)
        return;
    const int rate = m_baudRate > 0 ? m_baudRate : kAssumedRate;
    const auto wireTime = std::chrono::milliseconds(m_written * kBitsPerByte * 1000 / rate);
    const auto deadline = Clock::now() + kDrainSlack + wireTime;
    while (m_ports.flushFileBuffers(m_handle) == ports::kTimedOut && Clock::now() < deadline)
        std::this_thread::sleep_for(10ms);
    if (m_firstWrite)
        std::this_thread::sleep_until(*m_firstWrite + wireTime + kFarEndSlack);
    m_ports.closeHandle(m_handle);
}

std::optional<Failure> PortSession::open(bool clearOutput) {
    m_handle = screens::openPort(m_ports, m_deviceName, clearOutput);
    if (m_handle >= 1)
        return std::nullopt;
    const ports::ErrorCode code = m_ports.lastError();
    return Failure{screens::openFailureText(m_shownName, code), code};
}

std::optional<Failure> PortSession::setUpSerial(int baudRate, bool raiseDtr,
                                                bool capitalisedTexts) {
    const screens::LineSetup setup = screens::setUpSerialLine(m_ports, m_handle, m_records.commDcb,
                                                              m_deviceName, baudRate, raiseDtr);
    if (setup.failed != screens::LineSetup::Failed::Nothing)
        return Failure{screens::lineSetupFailureText(setup, capitalisedTexts), setup.code};
    m_baudRate = baudRate;
    return std::nullopt;
}

void PortSession::setUpParallel() {
    screens::setUpParallelPort(m_ports, m_handle, m_records.commTimeouts);
}

ports::ErrorCode PortSession::write(std::span<const std::uint8_t> bytes) {
    std::uint32_t written = 0;
    if (!m_firstWrite)
        m_firstWrite = Clock::now();
    const ports::ErrorCode code = m_ports.writeFile(m_handle, bytes, written, nullptr);
    m_written += written;
    return code;
}

void PortSession::flush() {
    m_ports.flushFileBuffers(m_handle);
}

}  // namespace cli
