// The simulated devices: printers answering their status request from the drawer their kick
// opens, drawers closing by themselves, paper at its width; the interfaces opening on what
// their switches ask and no less.
#include <gtest/gtest.h>

#include "sim/drawer_interface.h"
#include "sim/printer.h"

namespace {

using namespace std::chrono_literals;
using sim::Bytes;
using sim::Notice;
using sim::Time;

// Feeds the bytes back to back at the line's rate from `start`; answers the replies.
Bytes feed(sim::Device& device, const Bytes& bytes, Time start = Time::zero()) {
    Bytes replies;
    Time t = start;
    for (std::uint8_t byte : bytes) {
        t += device.lineSettings().byteTime();
        for (std::uint8_t reply : device.receive(byte, t))
            replies.push_back(reply);
    }
    return replies;
}

// A drawer opens on its own command, once; the status tells of drawer 1 alone. (Each screen's
// request and drawer 1 kick: the last test; a drawer closing by itself: the demo's.)
TEST(Printers, OpenEachDrawerOnItsCommandOnceAndTellOfDrawerOne) {
    for (const auto& [brand, kick, opens] :
         {std::tuple{&protocol::epsonCommands(), Bytes{0x1B, 0x70, 0x31, 9, 9}, 2},
          std::tuple{&protocol::starCommands(), Bytes{0x1A}, 2},
          std::tuple{&protocol::citizenCommands(), Bytes{0x1A}, 2},
          std::tuple{&protocol::ithacaCommands(), Bytes{0x1B, 0x78, 0x02}, 2},
          std::tuple{&protocol::starCommands(), Bytes{0x1C}, 1}}) {
        sim::Printer printer(*brand);
        std::string told;
        printer.setListener([&](auto& n) { told += n.kind == Notice::Kind::Drawer ? n.text : ""; });
        feed(printer, kick);
        feed(printer, kick, 1s);  // an open drawer is out of the latch already
        EXPECT_EQ(told, "drawer " + std::to_string(opens) + ": opens");
    }
    sim::Printer epson(protocol::epsonCommands());
    const Bytes request{0x10, 0x04, 0x01};
    feed(epson, {0x1B, 0x70, 0x01, 9, 9});
    EXPECT_EQ(feed(epson, request, 1s), Bytes{0x16});
    feed(epson, {0x1B, 0x70, 0x00, 9, 9}, 2s);
    EXPECT_EQ(feed(epson, request, 4s), Bytes{0x12});
    EXPECT_EQ(epson.statusAnswers(), 2u);
}

TEST(Printers, PrintAtTheirPaperWidthAndEndALineWhenTheLineGoesQuiet) {
    sim::Printer printer(protocol::starCommands());  // 48 columns
    std::vector<std::string> paper;
    printer.setListener([&paper](const Notice& n) {
        if (n.kind == Notice::Kind::Paper)
            paper.push_back(n.text);
    });
    Bytes line(48, 'a');
    line.insert(line.end(), {'f', 0x0A, 0x0A, 'g'});
    feed(printer, line);
    EXPECT_EQ(paper, (std::vector<std::string>{std::string(48, 'a'), "f", ""}));
    printer.advance(1s);
    EXPECT_EQ(paper.back(), "g");
}

TEST(Interfaces, OpenTheDrawerOnlyOnWhatTheirSwitchesAsk) {
    const auto pairs = [](std::uint8_t c, int n) {
        Bytes bytes;
        for (int i = 0; i < n; ++i)
            bytes.insert(bytes.end(), {c, 0x00});
        return bytes;
    };
    const struct {
        const char* name;
        std::uint32_t baud;
        Bytes bytes;
        bool opens;
        const char* told;
        Bytes later{};  // fed 200 ms after the first bytes
    } kCases[] = {
        {"alder", 1200, pairs(7, 2), false,
         "opening character 7 (07 00) received 2 times at 1200 baud, 8N1; the interface is set "
         "for 9600 baud and cannot read them"},
        {"alder-char", 1200, pairs(9, 1), false,
         "character 9 (09 00) received 1 time at 1200 baud, 8N1; the interface opens on 85"},
        {"birch", 2400, pairs(85, 1), false,
         "opening character 85 (55 00) received 1 time at 2400 baud, 8N1; it needs 2 times",
         pairs(85, 1)},  // a second trigger soon after the first is a run of its own
        {"birch", 4800, Bytes{7, 0, 85, 0, 85, 0}, true,  // a run of its own after the 7
         "opening character 85 (55 00) received 2 times at 4800 baud, 8N1"},
        {"cedar", 9600, pairs(7, 1), false,
         "a run of 2 characters held the solenoid 2 ms at 9600 baud, 8N1; the drawer needs 50 ms"},
        {"alder-level", 1200, pairs(0, 25), true,
         "a run of 50 characters held the solenoid 417 ms at 1200 baud, 8N1"},
        {"maple",
         0,
         {'H', 'i', 0x0A, 7, '\r', 7, 7, 'o', 'k'},  // text ends a run
         true,
         "opening character 7 (07) received 2 times"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name + std::string(" at ") + std::to_string(c.baud));
        sim::DrawerInterface device(*sim::interfaceSettings(c.name));
        device.setLineSettings({.baud = c.baud});
        std::string told;
        std::vector<std::string> paper;
        device.setListener([&](const Notice& n) {
            (n.kind == Notice::Kind::Paper ? paper.emplace_back() : told) = n.text;
        });
        feed(device, c.bytes);
        feed(device, c.later, 200ms);
        device.advance(1s);
        EXPECT_EQ(told, c.told);
        EXPECT_EQ(device.drawer(1).isOpen(), c.opens);
        const bool serial = c.baud != 0;
        const std::vector<std::string> printed{"Hi", "ok"};
        EXPECT_EQ(paper, serial ? std::vector<std::string>{} : printed);
    }
}

}  // namespace
