// The Maple screen: the switch display, the opening-character checks, the trigger with and
// without the printer text, and the set-up that only LPT2 gets. (The wiring choices: the
// reference pictures.)
#include "screens/interfaces/maple_form.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "screens/common/screen_checks.h"
#include "screens/interfaces/printer_texts.h"

using namespace support;
using namespace toolkit::colors;

namespace {

using MapleTest = ScreenTest<screens::Mapleform>;

TEST_F(MapleTest, SwitchesOneToEightHoldTheCharacter) {
    const std::pair<const char*, const char*> cases[] = {
        {"0", "^ ^ ^ ^ ^ ^ ^ ^ ^ ^"},
        {"27", "v v ^ v v ^ ^ ^ ^ ^"},
        {"128", "^ ^ ^ ^ ^ ^ ^ v ^ ^"},
        {"255", "v v v v v v v v ^ ^"},
    };
    for (const auto& [text, row] : cases) {
        h.app.edit(s.open_char, text);
        EXPECT_EQ(switchRow(s), row) << text;
    }
}

TEST_F(MapleTest, OutOfRangeCharactersResetTo7) {
    h.runFor(4000ms);
    h.app.edit(s.open_char, "30");
    EXPECT_EQ(s.openChar(), 30);
    EXPECT_EQ(s.Feedback1.caption(), "");
    h.runFor(2000ms);
    h.app.edit(s.open_char, "300");
    EXPECT_EQ(s.open_char.text(), "7");
    EXPECT_EQ(switchRow(s), "v v v ^ ^ ^ ^ ^ ^ ^");
    expectLine(s.Feedback1, "Valid characters are 0 through 255", kRed);
    expectShownFourSeconds(s.Feedback2, "Open Character reset to factory default: 7", kGreen);

    for (const char* text : {"", "-1", "255.5"}) {
        h.app.edit(s.open_char, "20");
        h.app.edit(s.open_char, text);
        EXPECT_EQ(s.openChar(), 7) << text;
    }
}

TEST_F(MapleTest, TriggerSendsTheCharacterSixTimesOneByteAWrite) {
    h.app.edit(s.open_char, "27");
    h.runFor(2000ms);
    trigger();
    Calls expected{"flushFileBuffers(1)", "createEvent(true, false, \"0\")"};
    expected.insert(expected.end(), 6, "writeFile(1, 1B)");
    expected.push_back("closeEvent(1)");
    EXPECT_EQ(h.fake.calls(), expected);
    expectShownFourSeconds(s.Feedback1, "Trigger Character written to port.", kGreen);
}

TEST_F(MapleTest, TestPrinterSendsTheTextFirstAndEveryFailedWriteIsReported) {
    h.app.click(s.TestPrinter);
    EXPECT_EQ(s.Trigger.caption(), "Test/Print");
    CaptionLog log(s.Feedback1);
    const std::string_view text = screens::maplePrinterText();
    h.fake.failWrites(EIO, 0, 1);                              // the first text byte
    h.fake.failWrites(ports::kIoPending, text.size() + 5, 1);  // the last character
    trigger();
    std::vector<Bytes> expected;
    for (char c : text)
        expected.push_back({static_cast<std::uint8_t>(c)});
    expected.insert(expected.end(), 6, Bytes{0x07});
    EXPECT_EQ(h.fake.writes(), expected);
    EXPECT_EQ(h.fake.calls()[2 + text.size()], "flushFileBuffers(1)");
    EXPECT_EQ(log.captions,
              (Calls{"Failure to write to printer.", "Trigger Character written to port.",
                     "Error writing to port. (997)"}));
    EXPECT_EQ(s.Feedback1.foreColor(), kRed);
    EXPECT_EQ(s.port().lastError, 997u);

    log.captions.clear();
    h.fake.fail(Call::CreateEvent, ENOMEM);
    h.app.click(s.TestPrinter);
    trigger();
    EXPECT_EQ(log.captions,
              (Calls{"Failure to create overlapped event.", "Trigger Character written to port."}));
    EXPECT_EQ(h.fake.writes().size(), 6u);
}

// LPT2 keeps the read time-outs it reports and loses its write time-outs; LPT1 is left as it is.
TEST_F(MapleTest, OnlyAnLpt2PickSetsThePortUp) {
    const ports::Handle lpt2 = h.context.ports.createFile("LPT2", 0, 0, 0, 0);
    h.context.ports.setCommTimeouts(lpt2, {1, 2, 3, 4, 5});
    h.context.ports.closeHandle(lpt2);
    h.fake.clearCalls();
    h.app.click(s.port2Option);
    EXPECT_EQ(h.fake.calls(), (Calls{"closeHandle(1)", "createFile(LPT2)", "purgeComm(3, 4)",
                                     "flushFileBuffers(3)", "setupComm(3, 0, 0)",
                                     "getCommTimeouts(3)", "setCommTimeouts(3, 1, 2, 3, 0, 0)"}));
    h.fake.clearCalls();
    h.app.click(s.port1Option);
    EXPECT_EQ(h.fake.calls(), (Calls{"closeHandle(3)", "createFile(LPT1)", "purgeComm(4, 4)"}));
}

}  // namespace
