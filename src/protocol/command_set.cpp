// The four printers' command sets as tables: each command's leading bytes, how many parameter
// bytes follow, and what it does.
#include "protocol/command_set.h"

#include <algorithm>
#include <utility>

#include "protocol/bytes.h"

namespace protocol {

namespace {

constexpr std::uint8_t kStx = 0x02;
constexpr std::uint8_t kEot = 0x04;
constexpr std::uint8_t kEnq = 0x05;
constexpr std::uint8_t kBel = 0x07;
constexpr std::uint8_t kLf = 0x0A;
constexpr std::uint8_t kFf = 0x0C;
constexpr std::uint8_t kCr = 0x0D;
constexpr std::uint8_t kDle = 0x10;
constexpr std::uint8_t kCan = 0x18;
constexpr std::uint8_t kSub = 0x1A;
constexpr std::uint8_t kEsc = 0x1B;
constexpr std::uint8_t kFs = 0x1C;
constexpr std::uint8_t kGs = 0x1D;

// One command of a brand's table.
struct Entry {
    std::vector<std::uint8_t> prefix;
    std::size_t parameters;
    Action action;
    const char* meaning;
    int drawer = 0;
    // Completes the meaning (and the drawer or line count) from the parameters.
    void (*detail)(Command&) = nullptr;
};

void lineCount(Command& c) {
    c.lines = c.bytes.back();
    c.meaning += " " + std::to_string(c.lines) + (c.lines == 1 ? " line" : " lines");
}

void cutByParity(Command& c) {
    c.meaning = c.bytes.back() % 2 == 0 ? "full cut" : "partial cut";
}

// ESC p m t1 t2: a pulse on pin 2 (drawer 1) or pin 5 (drawer 2), on and off times in 2 ms.
void escPKick(Command& c) {
    const bool pin5 = (c.bytes[2] & 1) != 0;
    c.drawer = pin5 ? 2 : 1;
    c.meaning = std::string("drawer kick, pin ") + (pin5 ? "5" : "2") + ", " +
                std::to_string(c.bytes[3] * 2) + " ms on, " + std::to_string(c.bytes[4] * 2) +
                " ms off";
}

void drawerNumber(Command& c) {
    c.drawer = c.bytes.back();
    c.meaning = "drawer " + std::to_string(c.drawer) + " kick";
}

// DLE EOT n: n 1 asks for the printer status, which holds the drawer; the others for more.
void realTimeStatus(Command& c) {
    static const char* const kOthers[] = {"offline", "error", "paper"};
    const int n = c.bytes.back();
    if (n >= 2 && n <= 4)
        c.meaning = std::string(kOthers[n - 2]) + " status request";
}

std::vector<Entry> starStyle() {
    return {{{kLf}, 0, Action::LineFeed, "line feed"},
            {{kCr}, 0, Action::CarriageReturn, "carriage return"},
            {{kEsc, '@'}, 0, Action::Initialise, "initialise"},
            {{kEsc, 'a'}, 1, Action::Feed, "feed", 0, lineCount},
            {{kEsc, 'd'}, 1, Action::Cut, "cut", 0, cutByParity},
            {{kBel}, 0, Action::Kick, "drawer 1 kick", 1},
            {{kFs}, 0, Action::Kick, "drawer 1 kick, alternate character", 1},
            {{kSub}, 0, Action::Kick, "drawer 2 kick", 2}};
}

const std::vector<Entry>& tableOf(Brand brand) {
    static const std::vector<Entry> kEpson{
        {{kLf}, 0, Action::LineFeed, "line feed"},
        {{kCr}, 0, Action::CarriageReturn, "carriage return"},
        {{kEsc, '@'}, 0, Action::Initialise, "initialise"},
        {{kEsc, 'd'}, 1, Action::Feed, "print and feed", 0, lineCount},
        {{kEsc, 'p'}, 3, Action::Kick, "drawer kick", 0, escPKick},
        {{kGs, 'V'}, 1, Action::Cut, "cut", 0, cutByParity},
        {{kDle, kEot}, 1, Action::StatusRequest, "status request", 0, realTimeStatus}};
    static const std::vector<Entry> kStar = [] {
        auto table = starStyle();
        table.push_back({{kEnq}, 0, Action::StatusRequest, "status request"});
        return table;
    }();
    static const std::vector<Entry> kCitizen = [] {
        auto table = starStyle();
        table.push_back({{kFf}, 0, Action::Other, "form feed"});
        table.push_back({{kStx}, 0, Action::Other, "start of text"});
        table.push_back({{kEsc, 'P'}, 1, Action::Other, "page end"});
        return table;
    }();
    static const std::vector<Entry> kIthaca{
        {{kLf}, 0, Action::LineFeed, "line feed"},
        {{kCr}, 0, Action::CarriageReturn, "carriage return"},
        {{kEsc, 'd'}, 1, Action::Feed, "feed", 0, lineCount},
        {{kCan}, 0, Action::Other, "cancel"},
        {{kEsc, 'v'}, 0, Action::Other, "page end"},
        {{kEsc, 'x'}, 1, Action::Kick, "drawer kick", 0, drawerNumber},
        {{kEnq}, 1, Action::StatusRequest, "status request"}};
    switch (brand) {
        case Brand::Epson:
            return kEpson;
        case Brand::Star:
            return kStar;
        case Brand::Citizen:
            return kCitizen;
        case Brand::Ithaca:
            break;
    }
    return kIthaca;
}

bool isText(std::uint8_t byte) {
    return byte >= 0x20 && byte != 0x7F;
}

// A character as it is shown: itself, or its code where it has no glyph of its own here.
std::string shown(std::uint8_t byte) {
    return byte < 0x80 ? std::string(1, static_cast<char>(byte)) : "\\x" + hex(byte);
}

// A command byte as manuals write it: control characters by name, letters as letters.
std::string byteName(std::uint8_t byte) {
    static const char* const kControls[] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL",
                                            "BS",  "HT",  "LF",  "VT",  "FF",  "CR",  "SO",  "SI",
                                            "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB",
                                            "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};
    if (byte < 0x20)
        return kControls[byte];
    return byte == 0x7F ? "DEL" : shown(byte);
}

std::string mnemonicOf(const std::vector<std::uint8_t>& bytes, std::size_t named) {
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        text += (i == 0 ? "" : " ") + (i < named ? byteName(bytes[i]) : std::to_string(bytes[i]));
    }
    return text;
}

}  // namespace

std::optional<Brand> brandNamed(std::string_view name) {
    for (const auto& [known, brand] :
         {std::pair{"epson", Brand::Epson}, std::pair{"star", Brand::Star},
          std::pair{"citizen", Brand::Citizen}, std::pair{"ithaca", Brand::Ithaca}}) {
        if (name == known)
            return brand;
    }
    return std::nullopt;
}

std::string Command::name() const {
    return action == Action::Text ? '"' + meaning + '"' : mnemonic + ": " + meaning;
}

std::optional<Command> Decoder::take(std::uint8_t byte) {
    Command command;
    if (m_pending.empty() && isText(byte)) {
        command.action = Action::Text;
        command.bytes = {byte};
        command.meaning = shown(byte);
        return command;
    }
    m_pending.push_back(byte);
    const Entry* match = nullptr;
    bool partial = false;
    for (const Entry& entry : tableOf(m_brand)) {
        const std::size_t n = std::min(entry.prefix.size(), m_pending.size());
        if (!std::equal(entry.prefix.begin(), entry.prefix.begin() + n, m_pending.begin()))
            continue;
        if (m_pending.size() >= entry.prefix.size() + entry.parameters) {
            match = &entry;
        } else {
            partial = true;
        }
    }
    if (!match && partial)
        return std::nullopt;
    command.bytes = std::move(m_pending);
    m_pending.clear();
    if (!match) {
        command.mnemonic = mnemonicOf(command.bytes, command.bytes.size());
        command.meaning = "unknown command";
        return command;
    }
    command.action = match->action;
    command.mnemonic = mnemonicOf(command.bytes, match->prefix.size());
    command.meaning = match->meaning;
    command.drawer = match->drawer;
    if (match->detail)
        match->detail(command);
    return command;
}

std::vector<Command> decode(Brand brand, const std::vector<std::uint8_t>& bytes) {
    Decoder decoder(brand);
    std::vector<Command> commands;
    for (std::uint8_t byte : bytes) {
        auto command = decoder.take(byte);
        if (!command)
            continue;
        if (command->action == Action::Text && !commands.empty() &&
            commands.back().action == Action::Text) {
            commands.back().bytes.push_back(byte);
            commands.back().meaning += command->meaning;
        } else {
            commands.push_back(std::move(*command));
        }
    }
    return commands;
}

std::optional<std::uint8_t> statusReply(Brand brand, const Command& request, bool drawerOpen) {
    switch (brand) {
        case Brand::Epson:
            // The real-time status byte: 0x02 and 0x10 always set; 0x04 is the kick connector's
            // pin 3, high while the drawer is shut. Only DLE EOT 1 reports it.
            return request.bytes.back() == 1 && !drawerOpen ? 0x16 : 0x12;
        case Brand::Star:
            return drawerOpen ? 0x00 : 0x80;
        case Brand::Ithaca:
            return drawerOpen ? 0x48 : 0x08;
        case Brand::Citizen:
            break;
    }
    return std::nullopt;
}

DrawerReading readEpsonReply(std::uint8_t reply) {
    // Bits 0x02 and 0x10 set, 0x01 and 0x80 clear, or it is no status byte at all. The on-line
    // bit (0x08) says nothing about the drawer.
    if ((reply & 0x93) != 0x12)
        return DrawerReading::NotJudged;
    return (reply & 0x04) != 0 ? DrawerReading::Closed : DrawerReading::Open;
}

DrawerReading readStarReply(std::uint8_t reply) {
    return reply < 0x80 ? DrawerReading::Open : DrawerReading::Closed;
}

DrawerReading readIthacaReply(std::uint8_t reply) {
    if (reply == 0x08)
        return DrawerReading::Closed;
    return reply == 0x48 ? DrawerReading::Open : DrawerReading::NotJudged;
}

DrawerReading readReply(Brand brand, std::uint8_t reply) {
    switch (brand) {
        case Brand::Epson:
            return readEpsonReply(reply);
        case Brand::Star:
            return readStarReply(reply);
        case Brand::Ithaca:
            return readIthacaReply(reply);
        case Brand::Citizen:
            break;
    }
    return DrawerReading::NotJudged;
}

std::string describeReply(Brand brand, std::uint8_t reply) {
    const DrawerReading reading = readReply(brand, reply);
    return "reply 0x" + hex(reply) + ": " +
           (reading == DrawerReading::Open     ? "drawer open"
            : reading == DrawerReading::Closed ? "drawer closed"
                                               : "not a drawer status");
}

}  // namespace protocol
