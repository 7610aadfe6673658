// The command sets of the receipt printers: what each brand understands in the byte stream it
// is sent, each command with its bytes and a short name ("ESC p 0 80 80: drawer kick, pin 2,
// 160 ms on, 160 ms off", "DLE EOT 1: status request", "GS V 1: partial cut"), and what its
// status reply means. The simulated printers act on these commands, and the reply rules are
// the ones the printer screens judge their replies by. Each brand's set is a file of its own.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace protocol {

// What a command asks of the printer.
enum class Action {
    Text,  // characters to print
    LineFeed,
    CarriageReturn,
    Feed,  // feed a number of lines
    Cut,
    Kick,           // open a drawer
    StatusRequest,  // answer with a status byte
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
    // The status byte a printer of the brand sends for `request` with its drawer open or shut;
    // none for a brand that sends none.
    std::optional<std::uint8_t> (*reply)(const Command& request, bool drawerOpen);
    // What a status reply says about the drawer.
    DrawerReading (*readReply)(std::uint8_t reply);
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

// "reply 0x16: drawer closed", "reply 0xFF: not a drawer status".
std::string describeReply(const CommandSet& commands, std::uint8_t reply);

}  // namespace protocol
