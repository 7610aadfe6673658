// One port held for one subcommand: opened and set up with the screens' own steps, written one
// call per write as they write, its bytes' time on the line counted as the screens count it, and
// closed at the end once what is queued has gone out.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "cli/port_argument.h"
#include "cli/report.h"
#include "ports/backends/platform_port_system.h"
#include "ports/line_occupancy.h"

namespace cli {

class PortSession {
public:
    // `makerInterface`: named and set up as the maker's interface screens do it.
    PortSession(const PortArgument& port, const ports::DeviceMap& devices, bool makerInterface);
    PortSession(const PortSession&) = delete;
    PortSession& operator=(const PortSession&) = delete;

    // The name the messages show, and the device behind it.
    const std::string& shownName() const { return m_shownName; }
    std::string devicePath() const {
        const ports::DeviceMap::Entry* entry = m_devices.find(m_deviceName);
        return entry != nullptr ? entry->path : std::string();
    }

    // The Maple interface starts on an empty output queue (`clearOutput`).
    std::optional<Failure> open(bool clearOutput);
    // 8N1 at the rate, RTS raised (and DTR on request); the Alder screen's texts are capitalised.
    std::optional<Failure> setUpSerial(int baudRate, bool raiseDtr, bool capitalisedTexts);
    // The Maple interface's LPT2 set-up.
    void setUpParallel();

    ports::ErrorCode write(std::span<const std::uint8_t> bytes);
    void flush();
    // Lets what was written leave and closes the port: kSuccess once the device has taken every
    // byte (a network printer: acknowledged them all and answered the end without a reset),
    // else the code of what stopped it. Only then is a run done.
    ports::ErrorCode finish();
    // The machine's steady time, as the line's count keeps it.
    static std::chrono::microseconds now();
    // When what has been written will have left the line.
    std::chrono::microseconds lineFreeAt() const { return m_line.freeAt(); }
    ports::PortSystem& ports() { return m_ports; }
    ports::Handle handle() const { return m_handle; }

private:
    ports::DeviceMap m_devices;
    ports::PlatformPortSystem m_ports;
    ports::SharedRecords m_records;
    std::string m_deviceName;
    std::string m_shownName;
    bool m_bareHostName;
    ports::Handle m_handle = ports::kInvalidHandle;
    // A parallel port, or a line whose rate was never set, counts as 9600 baud.
    ports::LineOccupancy m_line{9600};
};

}  // namespace cli
