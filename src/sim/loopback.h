// A loopback plug: its transmit pin joined to its receive pin, RTS to CTS and DTR to DSR and CD,
// as installers use to prove a serial port works. Every byte sent comes straight back; it is no
// drawer and no printer, and a search must not take its echo for a status reply.
#pragma once

#include "sim/device.h"

namespace sim {

class Loopback final : public Device {
public:
    Loopback() : Device(0) {}

    std::string description() const override { return "a loopback plug"; }
    // The program raises RTS and DTR on every line it sets up.
    ModemLines modemLines() const override { return {.cts = true, .dsr = true, .carrier = true}; }

protected:
    Bytes onByte(std::uint8_t byte, Time /*at*/) override { return {byte}; }
};

}  // namespace sim
