// ESC/POS as Epson printers speak it: ESC p drawer pulses, GS V cuts, and the real-time status
// of DLE EOT.
#include <string>

#include "protocol/command_table.h"

namespace protocol {

namespace {

// ESC p m t1 t2: a pulse on pin 2 (drawer 1) or pin 5 (drawer 2), on and off times in 2 ms.
void escPKick(Command& c) {
    const bool pin5 = (c.bytes[2] & 1) != 0;
    c.drawer = pin5 ? 2 : 1;
    c.meaning = std::string("drawer kick, pin ") + (pin5 ? "5" : "2") + ", " +
                std::to_string(c.bytes[3] * 2) + " ms on, " + std::to_string(c.bytes[4] * 2) +
                " ms off";
}

// DLE EOT n: n 1 asks for the printer status, which holds the drawer; the others for more.
void realTimeStatus(Command& c) {
    static const char* const kOthers[] = {"offline", "error", "paper"};
    const int n = c.bytes.back();
    if (n >= 2 && n <= 4)
        c.meaning = std::string(kOthers[n - 2]) + " status request";
}

// The real-time status byte: 0x02 and 0x10 always set; 0x04 is the kick connector's pin 3, high
// while the drawer is shut. Only DLE EOT 1 reports it.
std::optional<std::uint8_t> reply(const Command& request, bool drawerOpen) {
    return request.bytes.back() == 1 && !drawerOpen ? 0x16 : 0x12;
}

// Bits 0x02 and 0x10 set, 0x01 and 0x80 clear, or it is no status byte at all. The on-line bit
// (0x08) says nothing about the drawer.
DrawerReading readReply(std::uint8_t reply) {
    if ((reply & 0x93) != 0x12)
        return DrawerReading::NotJudged;
    return (reply & 0x04) != 0 ? DrawerReading::Closed : DrawerReading::Open;
}

}  // namespace

const CommandSet& epsonCommands() {
    static const CommandSet kSet{
        .name = "epson",
        .title = "Epson",
        .kickSummary = "ESC p",
        .printer = "an Epson receipt printer (ESC/POS)",
        .paperColumns = 42,
        .commands = {{{kLf}, 0, Action::LineFeed, "line feed"},
                     {{kCr}, 0, Action::CarriageReturn, "carriage return"},
                     {{kEsc, '@'}, 0, Action::Initialise, "initialise"},
                     {{kEsc, 'd'}, 1, Action::Feed, "print and feed", 0, lineCount},
                     {{kEsc, 'p'}, 3, Action::Kick, "drawer kick", 0, escPKick},
                     {{kGs, 'V'}, 1, Action::Cut, "cut", 0, cutByParity},
                     {{kDle, kEot}, 1, Action::StatusRequest, "status request", 0, realTimeStatus}},
        .reply = reply,
        .readReply = readReply,
    };
    return kSet;
}

}  // namespace protocol
