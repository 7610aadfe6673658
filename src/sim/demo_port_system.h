// The port seam of the demo: the simulated ports, each with the device on its far end that the
// program asks for each time a screen opens the port or sets it up, so that it is always the
// one the screen expects. Its drawers close by themselves a few seconds after they open.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <string>

#include "sim/device.h"
#include "sim/simulated_port_system.h"

namespace sim {

// The machine's time, from its construction on; a wait sleeps.
class MachineClock final : public WaitClock {
public:
    Time now() const override { return std::chrono::steady_clock::now() - m_start; }
    void waitUntil(Time t) override;

private:
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

class DemoPortSystem final : public SimulatedPortSystem {
public:
    // The name of the device that belongs on a port now ("COM1", ...): a name makeDevice knows,
    // or empty for none.
    using DeviceChooser = std::function<std::string(const std::string& port)>;
    // What a port's device tells.
    using Listener = std::function<void(const std::string& port, const Notice& notice)>;

    // A device's drawers close by themselves this long after they opened.
    static constexpr Time kDrawerClosesAfter = std::chrono::seconds(5);

    DemoPortSystem(WaitClock& clock, DeviceChooser chooseDevice)
        : SimulatedPortSystem(clock), m_chooseDevice(std::move(chooseDevice)) {}

    void setListener(Listener listener) { m_listener = std::move(listener); }
    // The port a screen holds open, "COM1" to "LPT2"; empty when none is.
    std::string openPort() const;
    // The device on a port, or null (none on no port).
    Device* device(const std::string& port) {
        return portNamed(port).empty() ? nullptr : line(port).device();
    }

    ports::Handle createFile(const std::string& device, std::uint32_t access,
                             std::uint32_t shareMode, std::uint32_t creation,
                             std::uint32_t flags) override;
    // A screen sets the line up as the device it tests is set: the device the screen expects
    // may have changed with its settings (the Alder's alternate modes).
    ports::ErrorCode setCommState(ports::Handle handle, const ports::CommDcb& dcb) override;

private:
    // Puts the chosen device on the port's line, unless it is there already.
    void placeDevice(const std::string& port);

    DeviceChooser m_chooseDevice;
    Listener m_listener;
    std::map<std::string, std::string> m_deviceNames;  // of the device on each port's line
};

}  // namespace sim
