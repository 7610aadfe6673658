// The command sets of the receipt printers: what each brand understands in the byte stream it
// is sent, each command with its bytes and a short name ("ESC p 0 80 80: drawer kick, pin 2,
// 160 ms on, 160 ms off", "DLE EOT 1: status request", "GS V 1: partial cut"), the requests
// that ask for the drawer and the printer's condition and what their replies mean, and how the
// brand's printers name themselves in a device ID. The simulated printers act on these
// commands, and the screens, the command line and the search judge replies by these rules.
// Each brand's set is a file of its own.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/printer_condition.h"

namespace protocol {

// What a command asks of the printer.
enum class Action {
    Text,  // characters to print
    LineFeed,
    CarriageReturn,
    Feed,  // feed a number of lines
    Cut,
    Kick,               // open a drawer
    StatusRequest,      // answer with a status byte at once, even while offline
    HeldStatusRequest,  // answer with a status byte in turn, after what came before it
    Initialise,
    Other,    // understood, nothing the simulation acts on
    Unknown,  // no command of this brand
};

struct Command {
    Action action = Action::Unknown;
    std::vector<std::uint8_t> bytes;
    // The bytes as a manual writes them ("ESC p 0 80 80"), and what they do ("drawer kick, pin
    // 2, 160 ms on, 160 ms off"). Text has no mnemonic.
    std::string mnemonic;
    std::string meaning;
    int drawer = 0;  // Kick: 1 or 2
    int lines = 0;   // Feed

    // "ESC p 0 80 80: drawer kick, ...", or the text in double quotes.
    std::string name() const;
};

// One command of a command set: its leading bytes, how many parameter bytes follow, and what
// it does.
struct CommandEntry {
    std::vector<std::uint8_t> prefix;
    std::size_t parameters;
    Action action;
    const char* meaning;
    int drawer = 0;
    // Completes the meaning (and the drawer or line count) from the parameters.
    void (*detail)(Command&) = nullptr;
};

// What a status reply says about the drawer, by the brand's rule.
enum class DrawerReading { Open, Closed, NotJudged };

// All the program knows of one brand's printers.
struct CommandSet {
    // The brand's name as the command line, drawer_sim and the demo know it, in lower case,
    // and as sentences write it.
    const char* name;
    const char* title;
    // How its printers are told to open a drawer, in a few words ("ESC p").
    const char* kickSummary;
    // What the simulation says it plays ("an ... receipt printer (ESC/POS)").
    const char* printer;
    // Characters on a line of the brand's receipt paper.
    int paperColumns;
    std::vector<CommandEntry> commands;
    // The request the screens send for the drawer state, answered by one byte; empty for a
    // brand whose printers answer none.
    std::vector<std::uint8_t> statusRequest = {};
    // The requests that tell why a printer is offline and how its paper is, in the order they
    // are asked; none for a brand whose printers tell neither.
    std::vector<std::vector<std::uint8_t>> conditionRequests = {};
    // The status byte a printer of the brand in `state` sends for `request`; none for a
    // request it does not answer.
    std::optional<std::uint8_t> (*reply)(const Command& request, const PrinterState& state);
    // What a status reply says about the drawer.
    DrawerReading (*readReply)(std::uint8_t reply);
    // Whether a byte can be a printer's reply to the status request at all, by the bits its
    // manual fixes: a search takes no other byte for the brand's, whatever readReply reads of
    // it. Null: any byte.
    bool (*fitsStatusReply)(std::uint8_t reply) = nullptr;
    // What the reply to `request` (the status request or a condition request) tells of the
    // printer's condition, added to `condition`; false for a reply that tells nothing of it.
    bool (*readCondition)(std::span<const std::uint8_t> request, std::uint8_t reply,
                          PrinterCondition& condition) = nullptr;
    // How the brand's printers name themselves in an IEEE 1284 device ID: the makers (MFG) and
    // the command languages (CMD), in capitals.
    std::vector<std::string_view> deviceIdMakers = {};
    std::vector<std::string_view> deviceIdCommands = {};
};

// Each brand's set, defined in a file of its own.
const CommandSet& epsonCommands();
const CommandSet& starCommands();
const CommandSet& citizenCommands();
const CommandSet& ithacaCommands();

// Every brand's command set, in the order the program lists them.
std::span<const CommandSet* const> commandSets();
// The command set of a brand's name; null for a name that is none.
const CommandSet* commandSetNamed(std::string_view name);

// Turns a byte stream into the brand's commands, one byte at a time.
class Decoder {
public:
    explicit Decoder(const CommandSet& commands) : m_commands(&commands) {}

    // Takes the next byte; answers the command it completes, if any. Every character to print
    // is a Text command of its own (decode() joins them into runs).
    std::optional<Command> take(std::uint8_t byte);

private:
    const CommandSet* m_commands;
    std::vector<std::uint8_t> m_pending;  // the start of a command
};

// A whole stream as commands, runs of text joined; an unfinished command at the end is left out.
std::vector<Command> decode(const CommandSet& commands, const std::vector<std::uint8_t>& bytes);

// The reply to `request` in words: "reply 0x16: drawer closed", "reply 0x1E: drawer closed,
// printer offline", "reply 0x16: cover open" (a condition request), "reply 0xFF: not a drawer
// status".
std::string describeReply(const CommandSet& commands, std::span<const std::uint8_t> request,
                          std::uint8_t reply);
// The brand whose status or condition request `bytes` are, exactly; null for none.
const CommandSet* commandSetAsking(std::span<const std::uint8_t> bytes);

}  // namespace protocol
