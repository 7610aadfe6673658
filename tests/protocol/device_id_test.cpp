// Printers' IEEE 1284 device IDs as USB and parallel printers give them, and the brand each is
// matched to: by the command language it names before its maker.
#include "protocol/device_id.h"

#include <gtest/gtest.h>

namespace {

TEST(DeviceId, ATableOfIdsFindsTheBrandWhoseCommandsEachTakes) {
    const protocol::CommandSet* const epson = &protocol::epsonCommands();
    const protocol::CommandSet* const star = &protocol::starCommands();
    const struct {
        const char* id;
        const char* text;
        const protocol::CommandSet* brand;
    } kCases[] = {
        {"MFG:EPSON;CMD:ESC/POS;MDL:TM-T88V;CLS:PRINTER;DES:EPSON TM-T88V Receipt;",
         "EPSON TM-T88V (ESC/POS)", epson},
        // Another maker's printer speaking Epson's language is Epson's to test.
        {"MFG:CITIZEN;CMD:ESC/POS;MDL:CT-S310II;CLS:PRINTER;", "CITIZEN CT-S310II (ESC/POS)",
         epson},
        {"MFG:Star;CMD:StarPRNT;MDL:mC-Print3;CLS:PRINTER;", "Star mC-Print3 (StarPRNT)", star},
        // The parallel port's probe spells the keys out, a field a line.
        {"MANUFACTURER:Star Micronics;\nCOMMAND SET:STAR;\nMODEL:TSP100;\nCLASS:PRINTER;\n",
         "Star Micronics TSP100 (STAR)", star},
        // No language named: the maker decides.
        {"mfg: citizen ; mdl: CBM-1000 ;", "citizen CBM-1000", &protocol::citizenCommands()},
        {"MFG:TransAct;MDL:Ithaca iTherm 280;", "TransAct Ithaca iTherm 280",
         &protocol::ithacaCommands()},
        // An office printer of a receipt printer's maker speaks none of the receipt languages.
        {"MFG:EPSON;CMD:ESCPL2,BDC,D4,ESCPR1;MDL:XP-2100 Series;",
         "EPSON XP-2100 Series (ESCPL2, BDC, D4, ESCPR1)", nullptr},
        {"MFG:Hewlett-Packard;CMD:PJL,PCL,POSTSCRIPT;MDL:LaserJet 4;",
         "Hewlett-Packard LaserJet 4 (PJL, PCL, POSTSCRIPT)", nullptr},
        {"MFG:Starlight;MDL:X;", "Starlight X", nullptr},
        {"no fields at all", "", nullptr},
        {"", "", nullptr},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.id);
        const protocol::DeviceId id = protocol::parseDeviceId(c.id);
        EXPECT_EQ(id.text(), c.text);
        EXPECT_EQ(id.empty(), std::string(c.text).empty());
        EXPECT_EQ(protocol::brandOf(id), c.brand);
    }
}

}  // namespace
