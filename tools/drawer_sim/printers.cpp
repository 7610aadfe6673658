// The receipt printers: each decodes its own command set (page text, feed, cut, drawer kick,
// status request) and answers its status request from the drawer's state.
#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

#include "device.h"

namespace drawersim {

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

using Bytes = std::vector<std::uint8_t>;

std::string hexList(const Bytes& bytes) {
    std::string text;
    for (std::uint8_t b : bytes)
        text += (text.empty() ? "" : " ") + hex(b);
    return text;
}

class Printer;

// One command of a printer's set: the bytes it starts with, its whole length, and what the
// printer does with it.
struct Command {
    Bytes prefix;
    std::size_t length;
    std::function<void(Printer&, const Bytes&, Host&)> run;
};

class Printer final : public Device {
public:
    Printer(std::string description, int columns, std::vector<Command> commands)
        : m_description(std::move(description)),
          m_columns(static_cast<std::size_t>(columns)),
          m_commands(std::move(commands)) {}

    std::string description() const override { return m_description; }
    bool reportsDrawer() const override { return true; }

    void receive(std::uint8_t byte, Host& host) override {
        if (m_pending.empty() && isText(byte)) {
            printText(byte, host);
            return;
        }
        m_pending.push_back(byte);
        const Command* match = nullptr;
        bool partial = false;
        for (const Command& command : m_commands) {
            const std::size_t n = std::min(command.prefix.size(), m_pending.size());
            if (!std::equal(command.prefix.begin(), command.prefix.begin() + n, m_pending.begin()))
                continue;
            if (m_pending.size() >= command.length) {
                match = &command;
            } else {
                partial = true;
            }
        }
        if (match) {
            const Bytes command = std::move(m_pending);
            m_pending.clear();
            match->run(*this, command, host);
        } else if (!partial) {
            endLine(host);
            host.report("unknown bytes: " + hexList(m_pending));
            m_pending.clear();
        }
    }

    void quiet(Host& host) override { endLine(host); }

    // ---- what the commands do ----

    void endLine(Host& host) {
        if (m_line) {
            host.report(printed(*m_line));
            m_line.reset();
        }
    }
    void lineFeed(Host& host) {
        if (!m_line)
            m_line.emplace();
        endLine(host);
    }
    void note(Host& host, const std::string& what, const Bytes& command) {
        endLine(host);
        host.report(what + " (" + hexList(command) + ")");
    }
    void kick(Host& host, const std::string& what, const Bytes& command) {
        note(host, what, command);
        if (!host.drawerOpen()) {
            host.openDrawer();
            host.report("drawer: opens");
        }
    }
    // Status replies come ten times a second while the program polls: only a change is told.
    void answer(Host& host, const Bytes& request, std::uint8_t reply) {
        host.reply(reply);
        if (m_lastReply != reply) {
            host.report("status: " + hexList(request) + " answered " + hex(reply) + " (drawer " +
                        (host.drawerOpen() ? "open" : "closed") + ")");
            m_lastReply = reply;
        }
        host.statusAnswered();
    }

private:
    static bool isText(std::uint8_t byte) { return byte >= 0x20 && byte != 0x7F; }

    void printText(std::uint8_t byte, Host& host) {
        if (m_line && m_line->size() >= m_columns)
            endLine(host);
        if (!m_line)
            m_line.emplace();
        m_line->push_back(static_cast<char>(byte));
    }

    std::string m_description;
    std::size_t m_columns;
    std::vector<Command> m_commands;
    Bytes m_pending;
    std::optional<std::string> m_line;  // a line being printed, empty or not
    std::optional<std::uint8_t> m_lastReply;
};

// Commands that most printers share.
Command lineFeed() {
    return {{kLf}, 1, [](Printer& p, const Bytes&, Host& h) { p.lineFeed(h); }};
}
Command carriageReturn() {
    return {{kCr}, 1, [](Printer&, const Bytes&, Host&) {}};
}
Command initialise() {
    return {
        {kEsc, '@'}, 2, [](Printer& p, const Bytes& c, Host& h) { p.note(h, "initialise", c); }};
}
Command feed(std::uint8_t letter) {
    return {{kEsc, letter}, 3, [](Printer& p, const Bytes& c, Host& h) {
                p.note(h, "feed " + std::to_string(c[2]) + " lines", c);
            }};
}
Command singleCharacterKick(std::uint8_t character, std::string what) {
    return {{character}, 1, [what](Printer& p, const Bytes& c, Host& h) { p.kick(h, what, c); }};
}

// Star and Citizen share the single drawer characters and the Star page end.
std::vector<Command> starStyle() {
    return {lineFeed(),
            carriageReturn(),
            initialise(),
            feed('a'),
            {{kEsc, 'd'},
             3,
             [](Printer& p, const Bytes& c, Host& h) {
                 p.note(h, c[2] % 2 == 0 ? "cut: full" : "cut: partial", c);
             }},
            singleCharacterKick(kBel, "drawer 1 kicked by BEL"),
            singleCharacterKick(kFs, "drawer 1 kicked by FS, the alternate character"),
            singleCharacterKick(kSub, "drawer 2 kicked by SUB")};
}

std::unique_ptr<Device> epson(int columns) {
    std::vector<Command> commands{
        lineFeed(),
        carriageReturn(),
        initialise(),
        feed('d'),
        // ESC p m t1 t2: a pulse on pin 2 (m 0) or pin 5 (m 1), on and off times in 2 ms.
        {{kEsc, 'p'},
         5,
         [](Printer& p, const Bytes& c, Host& h) {
             const bool pin5 = (c[2] & 1) != 0;
             p.kick(h,
                    std::string("drawer ") + (pin5 ? "2" : "1") + " kicked: pulse on pin " +
                        (pin5 ? "5" : "2") + ", " + std::to_string(c[3] * 2) + " ms on, " +
                        std::to_string(c[4] * 2) + " ms off",
                    c);
         }},
        {{kGs, 'V'},
         3,
         [](Printer& p, const Bytes& c, Host& h) {
             p.note(h, c[2] % 2 == 0 ? "cut: full" : "cut: partial", c);
         }},
        // DLE EOT n, real-time status. Bits 0x02 and 0x10 are always set; 0x04 is the kick
        // connector's pin 3, high while the drawer is shut.
        {{kDle, kEot},
         3,
         [](Printer& p, const Bytes& c, Host& h) {
             const bool printerStatus = c[2] == 1;
             p.answer(h, c, printerStatus && !h.drawerOpen() ? 0x16 : 0x12);
         }},
    };
    return std::make_unique<Printer>("an Epson receipt printer (ESC/POS)", columns ? columns : 42,
                                     std::move(commands));
}

std::unique_ptr<Device> star(int columns) {
    std::vector<Command> commands = starStyle();
    // ENQ: bit 7 of the reply is set while the drawer is shut.
    commands.push_back({{kEnq}, 1, [](Printer& p, const Bytes& c, Host& h) {
                            p.answer(h, c, h.drawerOpen() ? 0x00 : 0x80);
                        }});
    return std::make_unique<Printer>("a Star Micronics receipt printer", columns ? columns : 48,
                                     std::move(commands));
}

std::unique_ptr<Device> citizen(int columns) {
    std::vector<Command> commands = starStyle();
    commands.push_back({{kFf}, 1, [](Printer& p, const Bytes& c, Host& h) {
                            p.note(h, "form feed, end of paragraph", c);
                        }});
    commands.push_back(
        {{kStx}, 1, [](Printer& p, const Bytes& c, Host& h) { p.note(h, "STX", c); }});
    commands.push_back(
        {{kEsc, 'P'}, 3, [](Printer& p, const Bytes& c, Host& h) { p.note(h, "page end", c); }});
    return std::make_unique<Printer>("a Citizen receipt printer", columns ? columns : 42,
                                     std::move(commands));
}

std::unique_ptr<Device> ithaca(int columns) {
    std::vector<Command> commands{
        lineFeed(),
        carriageReturn(),
        feed('d'),
        {{kCan}, 1, [](Printer& p, const Bytes& c, Host& h) { p.note(h, "cancel (CAN)", c); }},
        {{kEsc, 'v'}, 2, [](Printer& p, const Bytes& c, Host& h) { p.note(h, "page end", c); }},
        {{kEsc, 'x'},
         3,
         [](Printer& p, const Bytes& c, Host& h) {
             p.kick(h, "drawer " + std::to_string(c[2]) + " kicked", c);
         }},
        // ENQ 1: 0x48 while the drawer is open, 0x08 while it is shut.
        {{kEnq},
         2,
         [](Printer& p, const Bytes& c, Host& h) { p.answer(h, c, h.drawerOpen() ? 0x48 : 0x08); }},
    };
    return std::make_unique<Printer>("an Ithaca receipt printer", columns ? columns : 42,
                                     std::move(commands));
}

}  // namespace

std::unique_ptr<Device> makePrinter(std::string_view name, int columns) {
    if (name == "epson")
        return epson(columns);
    if (name == "star")
        return star(columns);
    if (name == "citizen")
        return citizen(columns);
    if (name == "ithaca")
        return ithaca(columns);
    return nullptr;
}

}  // namespace drawersim
