// Star Micronics printers: single drawer characters, ESC d cuts, and ENQ for the status.
#include <string>

#include "protocol/command_table.h"

namespace protocol {

namespace {

// ESC BEL n1 n2: the pulse that the next BEL or FS sends to drawer 1, in 10 ms steps.
void pulseWidth(Command& c) {
    c.meaning = "drawer 1 pulse for the next BEL or FS, " + std::to_string(c.bytes[2] * 10) +
                " ms on, " + std::to_string(c.bytes[3] * 10) + " ms off";
}

std::optional<std::uint8_t> reply(const Command& /*request*/, const PrinterState& state) {
    return state.drawerOpen ? 0x00 : 0x80;
}

// Bit 7 set while the drawer is shut.
DrawerReading readReply(std::uint8_t reply) {
    return reply < 0x80 ? DrawerReading::Open : DrawerReading::Closed;
}

}  // namespace

const CommandSet& starCommands() {
    static const CommandSet kSet{
        .name = "star",
        .title = "Star",
        .kickSummary = "one control character",
        .printer = "a Star Micronics receipt printer",
        .paperColumns = 48,
        .commands =
            [] {
                auto commands = characterKickCommands();
                commands.push_back({{kEsc, kBel}, 2, Action::Other, "pulse", 0, pulseWidth});
                commands.push_back({{kEnq}, 0, Action::StatusRequest, "status request"});
                return commands;
            }(),
        .statusRequest = {kEnq},
        .reply = reply,
        .readReply = readReply,
        .deviceIdMakers = {"STAR"},
        .deviceIdCommands = {"STAR", "STARPRNT"},
    };
    return kSet;
}

}  // namespace protocol
