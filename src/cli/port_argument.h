// The PORT of a subcommand, read in this one place: COM1, COM2, LPT1 or LPT2 as the window
// names them (the DRAWERTEST_* variables point them elsewhere, as for the window), or a device
// path or a network printer's address, which stands behind port 1 of its kind for the run.
// Whether the port is serial or parallel decides which screen's definitions a printer
// subcommand uses.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ports/naming/device_map.h"

namespace cli {

using ports::PortKind;

struct PortArgument {
    std::string given;  // as typed
    std::string
        port;  // "COM1", "COM2", "LPT1" or "LPT2": the port, or the one a path stands behind
    bool isPath = false;
    PortKind kind = PortKind::Serial;
    std::string path;         // the device or address a path stands for: "/dev/ttyUSB0"
    bool usbPrinter = false;  // a USB printer, which a serial printer screen takes as well

    // The name a screen stores: "\\.\COM1" on the maker's interface screens, "COM1" on the
    // printer screens, "LPT1" on both.
    std::string deviceName(bool makerInterface) const;
    // The name the messages show: the device name, or the path as given.
    std::string shownName(bool makerInterface) const;
    // The devices the run opens through: `devices`, with a given path behind its port.
    ports::DeviceMap deviceMap(const ports::DeviceMap& devices) const;
    // The same path behind a serial port: a USB printer asked for the drawer state.
    PortArgument asSerial() const;
};

// COM1, COM2, LPT1 and LPT2 in any letter case; a device path (ports::devicePath: one with a
// slash, or the bare name of a device under /dev), a parallel port when it leads to a FIFO or a
// printer device (ports::pathKind), a serial one otherwise; a network printer's "host:port",
// behind COM1. Null for a text that is none of these.
std::optional<PortArgument> parsePort(std::string_view text);

}  // namespace cli
