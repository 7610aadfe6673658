// The printers' command sets: each brand's bytes by name, and the stream kept in step past what
// a brand does not know. (The reply rules: the printer screens' status tests.)
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
          0x1B, 0x70, 0x01, 0x19, 0x32, 0x10, 0x04, 0x02, 0x10, 0x04, 0x04, 0x10, 0x04, 0x05},
         "ESC @: initialise | \"Hi\" | CR: carriage return | LF: line feed | ESC d 8: print and "
         "feed 8 lines | GS V 1: partial cut | GS V 48: full cut | ESC p 1 25 50: drawer kick, pin "
         "5, 50 ms on, 100 ms off | DLE EOT 2: offline status request | DLE EOT 4: paper status "
         "request | "
         "DLE EOT 5: status request"},
        {&protocol::starCommands(),
         {0x1B, 0x40, 0x1B, 0x61, 0x01, 0x1B, 0x64, 0x00, 0x07, 0x1C, 0x1A, 0x05},
         "ESC @: initialise | ESC a 1: feed 1 line | ESC d 0: full cut | BEL: drawer 1 kick | FS: "
         "drawer 1 kick, alternate character | SUB: drawer 2 kick | ENQ: status request"},
        {&protocol::citizenCommands(),
         {0x0C, 0x02, 0x1B, 0x50, 0x00, 0x05},
         "FF: form feed | STX: start of text | ESC P 0: page end | ENQ: unknown command"},
        {&protocol::ithacaCommands(),
         {0x0D, 0x18, 0x1B, 0x64, 0x10, 0x1B, 0x76, 0x1B, 0x78, 0x02, 0x05, 0x01, 0xE9},
         "CR: carriage return | CAN: cancel | ESC d 16: feed 16 lines | ESC v: page end | ESC x 2: "
         "drawer 2 kick | ENQ 1: status request | \"\\xE9\""},
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

}  // namespace
