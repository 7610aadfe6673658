#include "protocol/command_table.h"

#include <string>

namespace protocol {

void lineCount(Command& c) {
    c.lines = c.bytes.back();
    c.meaning += " " + std::to_string(c.lines) + (c.lines == 1 ? " line" : " lines");
}

void cutByParity(Command& c) {
    c.meaning = c.bytes.back() % 2 == 0 ? "full cut" : "partial cut";
}

std::vector<CommandEntry> characterKickCommands() {
    return {{{kLf}, 0, Action::LineFeed, "line feed"},
            {{kCr}, 0, Action::CarriageReturn, "carriage return"},
            {{kEsc, '@'}, 0, Action::Initialise, "initialise"},
            {{kEsc, 'a'}, 1, Action::Feed, "feed", 0, lineCount},
            {{kEsc, 'd'}, 1, Action::Cut, "cut", 0, cutByParity},
            {{kBel}, 0, Action::Kick, "drawer 1 kick", 1},
            {{kFs}, 0, Action::Kick, "drawer 1 kick, alternate character", 1},
            {{kSub}, 0, Action::Kick, "drawer 2 kick", 2}};
}

}  // namespace protocol
