// The command sets of the receipt printers: what each brand understands in the byte stream it
// is sent, each command with its bytes and a short name ("ESC p 0 80 80: drawer kick, pin 2,
// 160 ms on, 160 ms off", "DLE EOT 1: status request", "GS V 1: partial cut"), and what its
// status reply means. The simulated printers act on these commands, and the reply rules are
// the ones the printer screens judge their replies by.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace protocol {

enum class Brand { Epson, Star, Citizen, Ithaca };
// The brand of "epson", "star", "citizen" or "ithaca".
std::optional<Brand> brandNamed(std::string_view name);

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

// Turns a byte stream into the brand's commands, one byte at a time.
class Decoder {
public:
    explicit Decoder(Brand brand) : m_brand(brand) {}

    // Takes the next byte; answers the command it completes, if any. Every character to print
    // is a Text command of its own (decode() joins them into runs).
    std::optional<Command> take(std::uint8_t byte);

private:
    Brand m_brand;
    std::vector<std::uint8_t> m_pending;  // the start of a command
};

// A whole stream as commands, runs of text joined; an unfinished command at the end is left out.
std::vector<Command> decode(Brand brand, const std::vector<std::uint8_t>& bytes);

// The status reply a printer of the brand sends for `request` with its drawer open or shut;
// none for a request of a brand that sends none.
std::optional<std::uint8_t> statusReply(Brand brand, const Command& request, bool drawerOpen);

// What a status reply says about the drawer, by the brand's rule.
enum class DrawerReading { Open, Closed, NotJudged };
// The real-time status byte: 0x04 (pin 3 of the kick connector) set while the drawer is shut;
// a byte whose fixed bits are wrong is no status byte.
DrawerReading readEpsonReply(std::uint8_t reply);
// Bit 7 set while the drawer is shut.
DrawerReading readStarReply(std::uint8_t reply);
// 0x08 shut, 0x48 open; any other byte says nothing of the drawer.
DrawerReading readIthacaReply(std::uint8_t reply);
// Citizen printers send no status: nothing is judged.
DrawerReading readReply(Brand brand, std::uint8_t reply);
// "reply 0x16: drawer closed", "reply 0xFF: not a drawer status".
std::string describeReply(Brand brand, std::uint8_t reply);

}  // namespace protocol
