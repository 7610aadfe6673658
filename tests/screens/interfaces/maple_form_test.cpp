// The Maple screen: its load on LPT1, the switch display, the opening-character checks, the
// wiring choices, the trigger with and without the printer text, and its port moves.
#include "screens/interfaces/maple_form.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "screen_checks.h"
#include "screens/interfaces/printer_texts.h"
#include "support/screen_harness.h"

using namespace std::chrono_literals;
using screens::Mapleform;
using support::Call;
using support::switchRow;
using toolkit::colors::kGreen;
using toolkit::colors::kRed;
using Bytes = std::vector<std::uint8_t>;

namespace {

struct MapleTest : ::testing::Test {
    support::ScreenHarness h;
    Mapleform& f = h.open<Mapleform>();

    void trigger() {
        h.fake.clearCalls();
        h.app.click(f.Trigger);
    }
};

TEST_F(MapleTest, LoadOpensLpt1WithoutSettingItUp) {
    EXPECT_EQ(f.caption(), "Maple Test");
    EXPECT_EQ(f.title.caption(), "Dunmere Cash Drawer Maple Test");
    EXPECT_EQ(h.fake.calls(), (std::vector<std::string>{"createFile(LPT1)", "purgeComm(1, 4)"}));
    EXPECT_EQ(f.Feedback1.caption(), "Handle successfully acquired for port LPT1.");
    EXPECT_EQ(f.Feedback1.foreColor(), kGreen);
    EXPECT_EQ(f.openChar(), 7);
    EXPECT_EQ(f.open_char.text(), "7");
    EXPECT_EQ(switchRow(f), "v v v ^ ^ ^ ^ ^ ^ ^");
    EXPECT_FALSE(f.Parasite.value());
    EXPECT_FALSE(f.Dead_end.value());
    EXPECT_TRUE(f.TestPrinter.isUsable());
    EXPECT_FALSE(f.TestPrinter.value());
    EXPECT_EQ(f.Trigger.caption(), "Trigger Drawer");

    h.runFor(4000ms);
    EXPECT_EQ(f.Feedback1.caption(), "");
}

TEST_F(MapleTest, SwitchesOneToEightHoldTheCharacter) {
    const std::pair<const char*, const char*> cases[] = {
        {"0", "^ ^ ^ ^ ^ ^ ^ ^ ^ ^"},
        {"27", "v v ^ v v ^ ^ ^ ^ ^"},
        {"128", "^ ^ ^ ^ ^ ^ ^ v ^ ^"},
        {"255", "v v v v v v v v ^ ^"},
    };
    for (const auto& [text, row] : cases) {
        h.app.edit(f.open_char, text);
        EXPECT_EQ(switchRow(f), row) << text;
    }
}

TEST_F(MapleTest, OutOfRangeCharactersResetTo7) {
    h.runFor(4000ms);
    h.app.edit(f.open_char, "3");
    h.app.edit(f.open_char, "30");
    EXPECT_EQ(f.openChar(), 30);
    EXPECT_EQ(f.Feedback1.caption(), "");
    h.app.edit(f.open_char, "300");
    EXPECT_EQ(f.open_char.text(), "7");
    EXPECT_EQ(f.openChar(), 7);
    EXPECT_EQ(switchRow(f), "v v v ^ ^ ^ ^ ^ ^ ^");
    EXPECT_EQ(f.Feedback1.caption(), "Valid characters are 0 through 255");
    EXPECT_EQ(f.Feedback1.foreColor(), kRed);
    EXPECT_EQ(f.Feedback2.caption(), "Open Character reset to factory default: 7");
    EXPECT_EQ(f.Feedback2.foreColor(), kGreen);
    h.runFor(3900ms);
    EXPECT_EQ(f.Feedback2.caption(), "Open Character reset to factory default: 7");
    h.runFor(100ms);
    EXPECT_EQ(f.Feedback2.caption(), "");

    for (const char* text : {"", "-1", "255.5"}) {
        h.app.edit(f.open_char, "20");
        h.app.edit(f.open_char, text);
        EXPECT_EQ(f.open_char.text(), "7") << text;
        EXPECT_EQ(f.openChar(), 7) << text;
    }
    h.app.edit(f.open_char, "254.5");
    EXPECT_EQ(f.openChar(), 254);  // halves go to the even neighbour
}

TEST_F(MapleTest, TriggerSendsTheCharacterSixTimesOneByteAWrite) {
    h.app.edit(f.open_char, "27");
    trigger();
    EXPECT_EQ(h.fake.writes(), std::vector<Bytes>(6, Bytes{0x1B}));
    EXPECT_EQ(h.fake.calls()[0], "flushFileBuffers(1)");
    EXPECT_EQ(h.fake.calls()[1], "createEvent(true, false, \"0\")");
    EXPECT_EQ(h.fake.calls().back(), "closeEvent(1)");
    EXPECT_EQ(f.Feedback1.caption(), "Trigger Character written to port.");
    EXPECT_EQ(f.Feedback1.foreColor(), kGreen);
}

TEST_F(MapleTest, TestPrinterSendsTheTextFirst) {
    h.app.click(f.Parasite);
    h.app.click(f.TestPrinter);
    EXPECT_EQ(f.Trigger.caption(), "Test/Print");
    trigger();

    const std::string_view text = screens::maplePrinterText();
    const auto writes = h.fake.writes();
    ASSERT_EQ(writes.size(), text.size() + 6);
    for (std::size_t i = 0; i < text.size(); ++i) {
        ASSERT_EQ(writes[i], Bytes{static_cast<std::uint8_t>(text[i])}) << i;
    }
    for (std::size_t i = text.size(); i < writes.size(); ++i)
        EXPECT_EQ(writes[i], Bytes{0x07});
    EXPECT_EQ(h.fake.calls()[2 + text.size()], "flushFileBuffers(1)");
}

TEST_F(MapleTest, EveryFailedWriteIsReportedAndTheRestStillRun) {
    support::CaptionLog log(f.Feedback1);
    h.app.click(f.TestPrinter);
    h.fake.failWrites(EIO, 0, 1);  // the first text byte
    h.fake.failWrites(ports::kIoPending, screens::maplePrinterText().size() + 5, 1);  // the last
    trigger();
    EXPECT_EQ(h.fake.writes().size(), screens::maplePrinterText().size() + 6);
    EXPECT_EQ(log.captions, (std::vector<std::string>{"Failure to write to printer.",
                                                      "Trigger Character written to port.",
                                                      "Error writing to port. (997)"}));
    EXPECT_EQ(f.Feedback1.foreColor(), kRed);
    EXPECT_EQ(f.port().lastError, 997u);

    log.captions.clear();
    h.fake.fail(Call::CreateEvent, ENOMEM);
    h.app.click(f.TestPrinter);
    trigger();
    EXPECT_EQ(log.captions, (std::vector<std::string>{"Failure to create overlapped event.",
                                                      "Trigger Character written to port."}));
    EXPECT_EQ(h.fake.writes().size(), 6u);
}

TEST_F(MapleTest, DeadEndHidesTheTestPrinterAndParasiteBringsItBack) {
    h.app.click(f.Parasite);
    EXPECT_EQ(f.Feedback2.caption(), "Cash drawer installed with 'Y' cable.");
    EXPECT_EQ(f.Feedback2.foreColor(), kGreen);
    h.app.click(f.TestPrinter);

    h.app.click(f.Dead_end);
    EXPECT_EQ(f.Feedback2.caption(), "Deadend cable or terminator installed.");
    EXPECT_FALSE(f.TestPrinter.value());
    EXPECT_FALSE(f.TestPrinter.visible());
    EXPECT_FALSE(f.TestPrinter.enabled());
    EXPECT_EQ(f.Trigger.caption(), "Trigger Drawer");
    trigger();
    EXPECT_EQ(h.fake.writes().size(), 6u);

    h.app.click(f.Parasite);
    EXPECT_TRUE(f.TestPrinter.isUsable());
    EXPECT_FALSE(f.TestPrinter.value());
}

TEST_F(MapleTest, OnlyAnLpt2PickSetsThePortUp) {
    h.fake.clearCalls();
    h.app.click(f.port2Option);
    EXPECT_EQ(h.fake.calls(), (std::vector<std::string>{"closeHandle(1)", "createFile(LPT2)",
                                                        "purgeComm(2, 4)", "flushFileBuffers(2)",
                                                        "setupComm(2, 0, 0)", "getCommTimeouts(2)",
                                                        "setCommTimeouts(2, 0, 0, 0, 0, 0)"}));
    EXPECT_EQ(f.Feedback1.caption(), "Handle successfully acquired for port LPT2.");

    h.fake.clearCalls();
    h.app.click(f.port1Option);
    EXPECT_EQ(h.fake.calls(),
              (std::vector<std::string>{"closeHandle(2)", "createFile(LPT1)", "purgeComm(3, 4)"}));
}

TEST_F(MapleTest, AMissingPortIsDisabledAndWritesOnItFail) {
    h.fake.setMissing("LPT2");
    h.app.click(f.port2Option);
    EXPECT_EQ(f.Feedback1.caption(), "Unable to acquire handle for port LPT2. (2)");
    EXPECT_EQ(f.Feedback1.foreColor(), kRed);
    EXPECT_EQ(f.Feedback2.caption(), "Port LPT2 has been disabled for this session.");
    EXPECT_FALSE(f.port2Option.enabled());
    EXPECT_EQ(f.port2Label.foreColor(), toolkit::colors::kGrey);
    EXPECT_EQ(f.port2Label.toolTip(), "Port in use or not available.");

    trigger();
    EXPECT_EQ(h.fake.writes().size(), 6u);
    EXPECT_EQ(f.Feedback1.caption(), "Error writing to port. (9)");
}

TEST_F(MapleTest, BusyLpt1AtLoad) {
    support::ScreenHarness other;
    other.fake.setBusy("LPT1");
    Mapleform& g = other.open<Mapleform>();
    EXPECT_EQ(g.Feedback1.caption(), "Unable to acquire handle for port LPT1. (16)");
    EXPECT_FALSE(g.port1Option.enabled());
    support::CaptionLog log(g.Feedback1);
    other.app.click(g.port2Option);
    EXPECT_EQ(log.captions,
              (std::vector<std::string>{"Unable to close port. (9)",
                                        "Handle successfully acquired for port LPT2."}));
    EXPECT_TRUE(other.fake.isOpen("LPT2"));
}

TEST_F(MapleTest, TheWaysOffTheScreen) {
    h.app.click(f.exit);
    EXPECT_FALSE(h.fake.isOpen("LPT1"));
    EXPECT_EQ(h.navigator.shown, std::vector<std::string>{"TestForm"});
    EXPECT_TRUE(h.app.forms().empty());

    support::ScreenHarness other;
    other.app.closeWindow(other.open<Mapleform>());
    EXPECT_TRUE(other.app.ended());
    EXPECT_TRUE(other.navigator.shown.empty());
    EXPECT_TRUE(other.fake.isOpen("LPT1"));
}

}  // namespace
