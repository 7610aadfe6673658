// Citizen printers: single drawer characters like Star's, page commands of their own, and no
// status reply at all.
#include "protocol/command_table.h"

namespace protocol {

namespace {

std::optional<std::uint8_t> reply(const Command& /*request*/, const PrinterState& /*state*/) {
    return std::nullopt;
}

DrawerReading readReply(std::uint8_t /*reply*/) {
    return DrawerReading::NotJudged;
}

}  // namespace

const CommandSet& citizenCommands() {
    static const CommandSet kSet{
        .name = "citizen",
        .title = "Citizen",
        .kickSummary = "one control character",
        .printer = "a Citizen receipt printer",
        .paperColumns = 42,
        .commands =
            [] {
                auto commands = characterKickCommands();
                commands.push_back({{kFf}, 0, Action::Other, "form feed"});
                commands.push_back({{kStx}, 0, Action::Other, "start of text"});
                commands.push_back({{kEsc, 'P'}, 1, Action::Other, "page end"});
                return commands;
            }(),
        .reply = reply,
        .readReply = readReply,
        .deviceIdMakers = {"CITIZEN"},
    };
    return kSet;
}

}  // namespace protocol
