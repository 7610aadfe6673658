// Star Micronics printers: single drawer characters, ESC d cuts, ENQ for the status and EOT for
// the paper.
#include <string>

#include "protocol/command_table.h"

namespace protocol {

namespace {

// ESC BEL n1 n2: the pulse that the next BEL or FS sends to drawer 1, in 10 ms steps.
void pulseWidth(Command& c) {
    c.meaning = "drawer 1 pulse for the next BEL or FS, " + std::to_string(c.bytes[2] * 10) +
                " ms on, " + std::to_string(c.bytes[3] * 10) + " ms off";
}

// ENQ: the drawer's switch in bit 7, set while it is shut (bit 4 always clear). EOT: bit 4
// always set, 0x08 the paper's end, 0x04 near it.
std::optional<std::uint8_t> reply(const Command& request, const PrinterState& state) {
    if (request.bytes.front() == kEot) {
        const PrinterCondition& c = state.condition;
        return static_cast<std::uint8_t>(0x10 | (c.paperOut ? 0x08 : 0) | (c.paperLow ? 0x04 : 0));
    }
    return state.drawerOpen ? 0x00 : 0x80;
}

// Bit 7 set while the drawer is shut.
DrawerReading readReply(std::uint8_t reply) {
    return reply < 0x80 ? DrawerReading::Open : DrawerReading::Closed;
}

// The ENQ status keeps bit 4 clear; the EOT status sets it.
bool fitsStatusReply(std::uint8_t reply) {
    return (reply & 0x10) == 0;
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
                commands.push_back({{kEot}, 0, Action::StatusRequest, "paper status request"});
                return commands;
            }(),
        .statusRequest = {kEnq},
        .reply = reply,
        .readReply = readReply,
        .fitsStatusReply = fitsStatusReply,
        .deviceIdMakers = {"STAR"},
        .deviceIdCommands = {"STAR", "STARPRNT"},
    };
    return kSet;
}

}  // namespace protocol
