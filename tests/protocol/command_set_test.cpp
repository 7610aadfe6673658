// The printers' command sets: each brand's bytes by name, the stream kept in step past what a
// brand does not know, and what the replies to its requests tell. (The drawer reply rules: the
// printer screens' status tests.)
#include "protocol/command_set.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string names(const protocol::CommandSet& commands, const Bytes& bytes) {
    std::string all;
    for (const protocol::Command& command : protocol::decode(commands, bytes))
        all += (all.empty() ? "" : " | ") + command.name();
    return all;
}

TEST(CommandSet, NamesEveryCommandOfEachBrand) {
    const struct {
        const protocol::CommandSet* commands;
        Bytes bytes;
        const char* names;
    } kCases[] = {
        {&protocol::epsonCommands(),
         {0x1B, 0x40, 'H',  'i',  0x0D, 0x0A, 0x1B, 0x64, 0x08, 0x1D, 0x56, 0x01, 0x1D, 0x56, 0x30,
          0x1B, 0x70, 0x01, 0x19, 0x32, 0x1B, 0x74, 0x10, 0x10, 0x04, 0x02, 0x10, 0x04, 0x03, 0x10,
          0x04, 0x04, 0x10, 0x04, 0x05, 0x1D, 0x72, 0x31, 0x1D, 0x72, 0x02, 0x1D, 0x72, 0x07},
         "ESC @: initialise | \"Hi\" | CR: carriage return | LF: line feed | ESC d 8: print and "
         "feed 8 lines | GS V 1: partial cut | GS V 48: full cut | ESC p 1 25 50: drawer kick, pin "
         "5, 50 ms on, 100 ms off | ESC t 16: character code table 16 | DLE EOT 2: offline cause "
         "request | DLE EOT 3: error cause request | DLE EOT 4: paper sensor request | DLE EOT 5: "
         "unknown status request | GS r 49: paper sensor status request | GS r 2: drawer status "
         "request | GS r 7: unknown status request"},
        // ESC BEL sets the pulse of the BEL that follows it: one command, not a kick inside it.
        {&protocol::starCommands(),
         {0x1B, 0x40, 0x1B, 0x61, 0x01, 0x1B, 0x64, 0x00, 0x1B, 0x07, 0x0B, 0x37, 0x07, 0x1C, 0x1A,
          0x05},
         "ESC @: initialise | ESC a 1: feed 1 line | ESC d 0: full cut | ESC BEL 11 55: drawer 1 "
         "pulse for the next BEL or FS, 110 ms on, 550 ms off | BEL: drawer 1 kick | FS: drawer 1 "
         "kick, alternate character | SUB: drawer 2 kick | ENQ: status request"},
        // Star's printers answer EOT too, with the paper (bit 4 set, where ENQ's is clear).
        {&protocol::starCommands(),
         {0x10, 0x04},
         "DLE: unknown command | EOT: paper status request"},
        {&protocol::citizenCommands(),
         {0x0C, 0x02, 0x1B, 0x50, 0x00, 0x05},
         "FF: form feed | STX: start of text | ESC P 0: page end | ENQ: unknown command"},
        {&protocol::ithacaCommands(),
         {0x0D, 0x18, 0x1B, 0x64, 0x10, 0x1B, 0x76, 0x1B, 0x78, 0x02, 0x05, 0x01, 0x7E, 0x80, 0xE9},
         "CR: carriage return | CAN: cancel | ESC d 16: feed 16 lines | ESC v: page end | ESC x 2: "
         "drawer 2 kick | ENQ 1: status request | \"~\\x80\\xE9\""},
        // Another brand's command: what is not understood is dropped and the next byte starts
        // afresh; a command cut short at the end is not yet one.
        {&protocol::ithacaCommands(),
         {0x1B, 0x70, 0x00, 'A', 0x1B},
         "ESC p: unknown command | NUL: unknown "
         "command | \"A\""},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(names(*c.commands, c.bytes), c.names);
}

// What an Epson's replies tell of the drawer and of an offline printer, read back as the
// simulated printer sends them for every state; Star's two status bytes.
TEST(CommandSet, RepliesTellTheDrawerAndWhyThePrinterIsOffline) {
    const protocol::CommandSet& epson = protocol::epsonCommands();

    const auto ask = [&epson](const Bytes& request, const protocol::PrinterState& state) {
        return epson.reply(protocol::decode(epson, request).front(), state);
    };
    const auto condition = [](bool cover, bool paperOut, bool low, bool error) {
        return protocol::PrinterCondition{
            .coverOpen = cover, .paperOut = paperOut, .paperLow = low, .error = error};
    };
    const struct {
        protocol::PrinterCondition state;
        const char* sentence;
    } kCases[] = {
        {{}, ""},
        {condition(true, false, false, false),
         "the printer is offline (cover open): it will not open the drawer until it is back "
         "online"},
        {condition(false, true, true, false),
         "the printer is offline (out of paper): it will not open the drawer until it is back "
         "online"},
        {condition(false, false, true, false), "paper is running low"},
        {condition(true, false, true, true),
         "the printer is offline (cover open, an error): it will not open the drawer until it is "
         "back online; paper is running low"},
        {{.feedButton = true},
         "the printer is offline (paper being fed by its button): it will not open the drawer "
         "until it is back online"},
    };
    for (const auto& c : kCases) {
        for (bool open : {false, true}) {
            const protocol::PrinterState state{open, c.state};
            protocol::PrinterCondition read;
            const auto status = ask(epson.statusRequest, state);
            ASSERT_TRUE(status);
            EXPECT_EQ(epson.readReply(*status),
                      open ? protocol::DrawerReading::Open : protocol::DrawerReading::Closed);
            EXPECT_TRUE(epson.readCondition(epson.statusRequest, *status, read));
            for (const Bytes& request : epson.conditionRequests)
                EXPECT_TRUE(epson.readCondition(request, *ask(request, state), read));
            EXPECT_EQ(read.sentence(), c.sentence);
            EXPECT_EQ(read.isOffline(), c.state.isOffline());
        }
    }
    // Offline for a cause the printer does not name; a byte that is no status byte tells nothing.
    protocol::PrinterCondition read;
    EXPECT_TRUE(epson.readCondition(epson.statusRequest, 0x1E, read));
    EXPECT_EQ(read.sentence(),
              "the printer is offline: it will not open the drawer until it is back online");
    EXPECT_FALSE(epson.readCondition(Bytes{0x10, 0x04, 0x02}, 0x41, read));
    EXPECT_FALSE(epson.readCondition(Bytes{0x10, 0x04, 0x03}, 0x12, read));
    // Star's ENQ answers the drawer in bit 7; its EOT the paper with bit 4 set, which its ENQ
    // status keeps clear.
    const protocol::CommandSet& star = protocol::starCommands();
    const protocol::Command enq = protocol::decode(star, {0x05}).front();
    EXPECT_EQ(star.reply(enq, {false, {}}), 0x80);
    EXPECT_EQ(star.reply(enq, {true, {}}), 0x00);
    const protocol::Command eot = protocol::decode(star, {0x04}).front();
    EXPECT_EQ(star.reply(eot, {}), 0x10);
    EXPECT_EQ(star.reply(eot, {false, condition(false, true, false, false)}), 0x18);
    EXPECT_EQ(star.reply(eot, {false, condition(false, false, true, false)}), 0x14);
    EXPECT_FALSE(star.fitsStatusReply(0x10));
    EXPECT_TRUE(star.fitsStatusReply(0x80));
    // GS r answers the drawer and the paper without the real-time bits.
    EXPECT_EQ(ask({0x1D, 0x72, 0x02}, {false, {}}), 0x01);
    EXPECT_EQ(ask({0x1D, 0x72, '1'}, {true, condition(false, true, false, false)}), 0x0C);
}

TEST(CommandSet, NamesEachReplyByTheRequestItAnswers) {
    const protocol::CommandSet& epson = protocol::epsonCommands();
    const Bytes offlineCause{0x10, 0x04, 0x02};
    EXPECT_EQ(protocol::describeReply(epson, epson.statusRequest, 0x16),
              "reply 0x16: drawer closed");
    EXPECT_EQ(protocol::describeReply(epson, epson.statusRequest, 0x1A),
              "reply 0x1A: drawer open, printer offline");
    EXPECT_EQ(protocol::describeReply(epson, epson.statusRequest, 0xFF),
              "reply 0xFF: not a drawer status");
    EXPECT_EQ(protocol::describeReply(epson, offlineCause, 0x16), "reply 0x16: cover open");
    EXPECT_EQ(protocol::describeReply(epson, offlineCause, 0x12), "reply 0x12: online");
    EXPECT_EQ(protocol::describeReply(epson, offlineCause, 0x41), "reply 0x41: not a status reply");
    EXPECT_EQ(protocol::describeReply(protocol::starCommands(), {}, 0x80),
              "reply 0x80: drawer closed");
    EXPECT_EQ(protocol::commandSetAsking(offlineCause), &epson);
    EXPECT_EQ(protocol::commandSetAsking(Bytes{0x05}), &protocol::starCommands());
    EXPECT_EQ(protocol::commandSetAsking(Bytes{0x05, 0x01}), &protocol::ithacaCommands());
    EXPECT_EQ(protocol::commandSetAsking(Bytes{0x10, 0x04}), nullptr);
}

}  // namespace
