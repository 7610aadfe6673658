// ESC/POS as Epson printers speak it: ESC p drawer pulses, GS V cuts, the real-time status of
// DLE EOT (the drawer, and why the printer is offline) and the status GS r sends in turn.
#include <string>

#include "protocol/command_table.h"

namespace protocol {

namespace {

constexpr std::uint8_t kFixedBits = 0x12;  // set in every real-time status byte
constexpr std::uint8_t kFixedMask = 0x93;  // 0x02 and 0x10 set, 0x01 and 0x80 clear

// ESC p m t1 t2: a pulse on pin 2 (drawer 1) or pin 5 (drawer 2), on and off times in 2 ms.
void escPKick(Command& c) {
    const bool pin5 = (c.bytes[2] & 1) != 0;
    c.drawer = pin5 ? 2 : 1;
    c.meaning = std::string("drawer kick, pin ") + (pin5 ? "5" : "2") + ", " +
                std::to_string(c.bytes[3] * 2) + " ms on, " + std::to_string(c.bytes[4] * 2) +
                " ms off";
}

// DLE EOT n: n 1 asks for the printer status, which holds the drawer; 2 to 4 for why it is
// offline, its errors and its paper.
void realTimeStatus(Command& c) {
    static const char* const kRequests[] = {"status request", "offline cause request",
                                            "error cause request", "paper sensor request"};
    const int n = c.bytes.back();
    c.meaning = n >= 1 && n <= 4 ? kRequests[n - 1] : "unknown status request";
}

// GS r n: n 1 or '1' the paper sensors, n 2 or '2' the drawer connector.
int transmitted(std::uint8_t n) {
    return n == 1 || n == '1' ? 1 : n == 2 || n == '2' ? 2 : 0;
}

void transmitStatus(Command& c) {
    static const char* const kRequests[] = {"unknown status request", "paper sensor status request",
                                            "drawer status request"};
    c.meaning = kRequests[transmitted(c.bytes.back())];
}

void codeTable(Command& c) {
    c.meaning = "character code table " + std::to_string(c.bytes.back());
}

// The real-time status bytes (DLE EOT n), each with 0x02 and 0x10 set:
//   n 1: 0x04 the kick connector's pin 3, high while the drawer is shut; 0x08 offline.
//   n 2: 0x04 cover open, 0x08 paper fed by the feed button, 0x20 stopped at the paper's end,
//        0x40 an error.
//   n 3: 0x04 mechanical, 0x08 cutter, 0x20 unrecoverable, 0x40 recoverable error.
//   n 4: 0x0C the paper near its end, 0x60 at its end.
// GS r n sends 0x10 clear: n 1 0x03 near the end, 0x0C at the end; n 2 0x01 pin 3.
std::optional<std::uint8_t> reply(const Command& request, const PrinterState& state) {
    const PrinterCondition& c = state.condition;
    const auto bit = [](bool on, int value) { return static_cast<std::uint8_t>(on ? value : 0); };
    if (request.bytes.front() == kGs) {
        switch (transmitted(request.bytes.back())) {
            case 1:
                return bit(c.paperLow, 0x03) | bit(c.paperOut, 0x0C);
            case 2:
                return bit(!state.drawerOpen, 0x01);
            default:
                return std::nullopt;
        }
    }
    switch (request.bytes.back()) {
        case 1:
            return kFixedBits | bit(!state.drawerOpen, 0x04) | bit(c.isOffline(), 0x08);
        case 2:
            return kFixedBits | bit(c.coverOpen, 0x04) | bit(c.feedButton, 0x08) |
                   bit(c.paperOut, 0x20) | bit(c.error, 0x40);
        case 3:
            return kFixedBits | bit(c.error, 0x40);
        case 4:
            return kFixedBits | bit(c.paperLow || c.paperOut, 0x0C) | bit(c.paperOut, 0x60);
        default:
            return std::nullopt;
    }
}

// The fixed bits right, or it is no status byte at all. The on-line bit (0x08) says nothing
// about the drawer.
DrawerReading readReply(std::uint8_t reply) {
    if ((reply & kFixedMask) != kFixedBits)
        return DrawerReading::NotJudged;
    return (reply & 0x04) != 0 ? DrawerReading::Closed : DrawerReading::Open;
}

bool readCondition(std::span<const std::uint8_t> request, std::uint8_t reply, PrinterCondition& c) {
    if ((reply & kFixedMask) != kFixedBits || request.size() != 3 || request[0] != kDle ||
        request[1] != kEot)
        return false;
    switch (request[2]) {
        case 1:
            c.offline = c.offline || (reply & 0x08) != 0;
            return true;
        case 2:
            c.coverOpen = c.coverOpen || (reply & 0x04) != 0;
            c.feedButton = c.feedButton || (reply & 0x08) != 0;
            c.paperOut = c.paperOut || (reply & 0x20) != 0;
            c.error = c.error || (reply & 0x40) != 0;
            return true;
        case 4:
            c.paperLow = c.paperLow || (reply & 0x0C) != 0;
            c.paperOut = c.paperOut || (reply & 0x60) != 0;
            return true;
        default:
            return false;
    }
}

}  // namespace

const CommandSet& epsonCommands() {
    static const CommandSet kSet{
        .name = "epson",
        .title = "Epson",
        .kickSummary = "ESC p",
        .printer = "an Epson receipt printer (ESC/POS)",
        .paperColumns = 42,
        .commands =
            {{{kLf}, 0, Action::LineFeed, "line feed"},
             {{kCr}, 0, Action::CarriageReturn, "carriage return"},
             {{kEsc, '@'}, 0, Action::Initialise, "initialise"},
             {{kEsc, 'd'}, 1, Action::Feed, "print and feed", 0, lineCount},
             {{kEsc, 'p'}, 3, Action::Kick, "drawer kick", 0, escPKick},
             {{kEsc, 't'}, 1, Action::Other, "character code table", 0, codeTable},
             {{kGs, 'V'}, 1, Action::Cut, "cut", 0, cutByParity},
             {{kGs, 'r'}, 1, Action::HeldStatusRequest, "status request", 0, transmitStatus},
             {{kDle, kEot}, 1, Action::StatusRequest, "status request", 0, realTimeStatus}},
        .statusRequest = {kDle, kEot, 1},
        // Why it is offline, then its paper.
        .conditionRequests = {{kDle, kEot, 2}, {kDle, kEot, 4}},
        .reply = reply,
        .readReply = readReply,
        .readCondition = readCondition,
        .deviceIdMakers = {"EPSON"},
        .deviceIdCommands = {"ESC/POS", "ESCPOS"},
    };
    return kSet;
}

}  // namespace protocol
