// A printer's IEEE 1284 device ID, the text a USB or parallel printer gives when asked who it is
// ("MFG:EPSON;CMD:ESC/POS;MDL:TM-T88V;CLS:PRINTER;"), and the brand of the program's table whose
// commands such a printer takes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "protocol/command_set.h"

namespace protocol {

struct DeviceId {
    std::string maker;                  // MFG, or MANUFACTURER
    std::string model;                  // MDL, or MODEL
    std::vector<std::string> commands;  // CMD, or COMMAND SET: the languages it speaks

    bool empty() const { return maker.empty() && model.empty() && commands.empty(); }
    // "EPSON TM-T88V (ESC/POS)".
    std::string text() const;
};

// The fields of an ID, in either spelling of their keys and any letter case; what is no field
// of it is passed over.
DeviceId parseDeviceId(std::string_view text);

// The brand whose commands the printer takes: by the command languages it names (an Epson
// language from another maker is Epson's), or by its maker when it names none; null when it
// names only languages no brand here speaks (an office printer), or nothing known.
const CommandSet* brandOf(const DeviceId& id);

}  // namespace protocol
