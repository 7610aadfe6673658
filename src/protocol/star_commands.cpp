// Star Micronics printers: single drawer characters, ESC d cuts, and ENQ for the status.
#include "protocol/command_table.h"

namespace protocol {

namespace {

std::optional<std::uint8_t> reply(const Command& /*request*/, bool drawerOpen) {
    return drawerOpen ? 0x00 : 0x80;
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
                commands.push_back({{kEnq}, 0, Action::StatusRequest, "status request"});
                return commands;
            }(),
        .reply = reply,
        .readReply = readReply,
    };
    return kSet;
}

}  // namespace protocol
