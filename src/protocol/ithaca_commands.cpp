// Ithaca printers: ESC x drawer commands, ESC v page end, and ENQ 1 for the status.
#include <string>

#include "protocol/command_table.h"

namespace protocol {

namespace {

void drawerNumber(Command& c) {
    c.drawer = c.bytes.back();
    c.meaning = "drawer " + std::to_string(c.drawer) + " kick";
}

std::optional<std::uint8_t> reply(const Command& /*request*/, const PrinterState& state) {
    return state.drawerOpen ? 0x48 : 0x08;
}

// 0x08 shut, 0x48 open; any other byte says nothing of the drawer.
DrawerReading readReply(std::uint8_t reply) {
    if (reply == 0x08)
        return DrawerReading::Closed;
    return reply == 0x48 ? DrawerReading::Open : DrawerReading::NotJudged;
}

}  // namespace

const CommandSet& ithacaCommands() {
    static const CommandSet kSet{
        .name = "ithaca",
        .title = "Ithaca",
        .kickSummary = "ESC x",
        .printer = "an Ithaca receipt printer",
        .paperColumns = 42,
        .commands = {{{kLf}, 0, Action::LineFeed, "line feed"},
                     {{kCr}, 0, Action::CarriageReturn, "carriage return"},
                     {{kEsc, 'd'}, 1, Action::Feed, "feed", 0, lineCount},
                     {{kCan}, 0, Action::Other, "cancel"},
                     {{kEsc, 'v'}, 0, Action::Other, "page end"},
                     {{kEsc, 'x'}, 1, Action::Kick, "drawer kick", 0, drawerNumber},
                     {{kEnq}, 1, Action::StatusRequest, "status request"}},
        .statusRequest = {kEnq, 1},
        .reply = reply,
        .readReply = readReply,
        // TransAct makes the Ithaca printers.
        .deviceIdMakers = {"ITHACA", "TRANSACT"},
    };
    return kSet;
}

}  // namespace protocol
