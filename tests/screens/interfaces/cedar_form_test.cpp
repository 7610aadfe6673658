// The Cedar screen on the fake port backend: its load, the run length each baud rate brings,
// the typed values stored as typed and checked when a box is left, the trigger's writes and
// its bound, port moves and failures, the status poll, the message timer and leaving.
#include "screens/interfaces/cedar_form.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "screens/interfaces/screen_checks.h"
#include "support/screen_harness.h"

using namespace std::chrono_literals;
using namespace toolkit::colors;
using screens::Cedarform;
using support::Call;
using support::callsOf;

namespace {

using Writes = std::vector<std::vector<std::uint8_t>>;

struct CedarTest : ::testing::Test {
    support::ScreenHarness h;

    Cedarform& open() { return h.open<Cedarform>(); }

    // Lets the load's messages expire, so that a test sees only what it caused.
    Cedarform& openQuiet() {
        Cedarform& s = open();
        h.runFor(4000ms);
        h.fake.clearCalls();
        return s;
    }
};

void expectLine(const toolkit::Label& line, const std::string& text, toolkit::Color color) {
    EXPECT_EQ(line.caption(), text);
    EXPECT_EQ(line.foreColor(), color);
}

Writes pairs(std::size_t count, std::uint8_t character) {
    return Writes(count, std::vector<std::uint8_t>{character, 0x00});
}

}  // namespace

TEST_F(CedarTest, LoadOpensCom1At1200WithTenRepeatsOfCharacter7) {
    Cedarform& s = open();

    EXPECT_EQ(callsOf(h.fake.calls(), {"createFile", "buildCommDcb"}),
              (std::vector<std::string>{"createFile(\\\\.\\COM1)", "buildCommDcb(COM1:0,n,8,1)",
                                        "buildCommDcb(COM1:1200,n,8,1)",
                                        "buildCommDcb(COM1:1200,n,8,1)"}));
    EXPECT_TRUE(s.port1Option.value());
    EXPECT_EQ(s.port().settings, "COM1:1200,n,8,1");
    expectLine(s.Feedback1, "DCB updated successfully", kGreen);
    EXPECT_EQ(s.Feedback2.caption(), "");

    EXPECT_EQ(s.baudlist.text(), "1200");
    EXPECT_EQ(s.open_char.text(), "7");
    EXPECT_EQ(s.openChar(), 7);
    EXPECT_EQ(s.Repeats.text(), "10");
    EXPECT_EQ(s.repeatCount(), 10);

    EXPECT_EQ(s.Label7.caption(), "Switch settings:");
    expectLine(s.Label5, "Not Applicable", kSilver);
    expectLine(s.cd_status, "Not Applicable", kSilver);
    EXPECT_EQ(s.cd_status.toolTip(), "Status Not Available.");
    EXPECT_TRUE(s.Status_timer.enabled());
}

TEST_F(CedarTest, EachBaudRateSetsUpThePortAndBringsItsRepeatCount) {
    Cedarform& s = open();
    const std::pair<const char*, const char*> table[] = {
        {"9600", "25"}, {"4800", "20"}, {"2400", "15"}, {"1200", "10"}, {"300", "5"}};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(table[i].first);
        h.app.pick(s.baudlist, i);
        EXPECT_EQ(s.port().settings, std::string("COM1:") + table[i].first + ",n,8,1");
        EXPECT_EQ(s.Repeats.text(), table[i].second);
        expectLine(s.Feedback1, "DCB updated successfully", kGreen);
    }

    // A typed count holds until the next pick.
    h.app.pick(s.baudlist, 1);
    h.app.edit(s.Repeats, "3");
    h.fake.clearCalls();
    h.app.click(s.Trigger);
    EXPECT_EQ(s.port().settings, "COM1:4800,n,8,1");
    EXPECT_EQ(h.fake.writes(), pairs(3, 0x07));
    h.app.pick(s.baudlist, 1);
    EXPECT_EQ(s.Repeats.text(), "20");
}

TEST_F(CedarTest, TriggerWritesTheRunPairByPair) {
    Cedarform& s = openQuiet();
    h.app.click(s.Trigger);
    std::vector<std::string> expected{"createEvent(true, false, \"0\")", "flushFileBuffers(1)"};
    expected.insert(expected.end(), 10, "writeFile(1, 07 00)");
    expected.push_back("closeEvent(1)");
    EXPECT_EQ(h.fake.calls(), expected);
    expectLine(s.Feedback1, "Trigger Character written to port.", kGreen);
    EXPECT_EQ(s.Feedback2.caption(), "");
}

TEST_F(CedarTest, TypedValuesAreStoredAsTypedAndCheckedWhenTheBoxIsLeft) {
    Cedarform& s = openQuiet();

    // Out of range: reset to 7 when the box is left, with both messages.
    for (const char* text : {"300", "-1", "255.4", "70000"}) {
        SCOPED_TRACE(text);
        h.app.edit(s.open_char, text);
        EXPECT_EQ(s.open_char.text(), text);
        EXPECT_EQ(s.Feedback1.caption(), "");
        h.app.leave(s.open_char);
        EXPECT_EQ(s.open_char.text(), "7");
        EXPECT_EQ(s.openChar(), 7);
        expectLine(s.Feedback1, "Valid characters are 0 through 255", kRed);
        expectLine(s.Feedback2, "Open Character reset to standard: 7", kGreen);
        h.runFor(4000ms);
    }

    h.app.edit(s.open_char, "254.6");
    h.app.leave(s.open_char);
    EXPECT_EQ(s.openChar(), 255);
    EXPECT_EQ(s.Feedback1.caption(), "");

    // Empty: the prompt, and the focus stays; the stored character is 0.
    for (const char* text : {"", "  "}) {
        h.app.edit(s.open_char, text);
        h.app.focus(s.Repeats);
        expectLine(s.Feedback1, "Enter a valid character between 0 and 255", kRed);
        EXPECT_EQ(s.focused(), &s.open_char);
        EXPECT_EQ(s.openChar(), 0);
        EXPECT_EQ(s.open_char.text(), text);
    }

    h.app.edit(s.open_char, "9");
    h.app.edit(s.Repeats, "");
    h.app.leave(s.Repeats);
    expectLine(s.Feedback1, "Repeat value must be greater than 0", kGreen);
    EXPECT_EQ(s.focused(), &s.Repeats);
    EXPECT_EQ(s.repeatCount(), 0);
}

TEST_F(CedarTest, LeavingForTheTriggerResetsTheCharacterBeforeItIsSent) {
    Cedarform& s = openQuiet();
    h.app.edit(s.open_char, "300");
    h.app.click(s.Trigger);
    EXPECT_EQ(h.fake.writes(), pairs(10, 0x07));
    expectLine(s.Feedback2, "Open Character reset to standard: 7", kGreen);
}

TEST_F(CedarTest, ACountOfZeroOrLessSendsAndShowsNothing) {
    Cedarform& s = openQuiet();
    for (const char* text : {"0", "-4", "0.4"}) {
        SCOPED_TRACE(text);
        h.app.edit(s.Repeats, text);
        h.app.leave(s.Repeats);
        h.runFor(4000ms);
        h.fake.clearCalls();
        h.app.click(s.Trigger);
        EXPECT_EQ(callsOf(h.fake.calls(), {"writeFile"}).size(), 0u);
        EXPECT_EQ(s.Feedback1.caption(), "");
        EXPECT_EQ(s.Feedback2.caption(), "");
    }
}

// A count typed beyond the 16-bit range holds at 32767 rather than wrapping to a negative
// count, and one trigger sends at most two seconds' worth of pairs at the current rate.
TEST_F(CedarTest, HugeCountsSaturateAndTheRunIsBoundedByTheRate) {
    Cedarform& s = openQuiet();
    h.app.edit(s.Repeats, "99999");
    EXPECT_EQ(s.repeatCount(), 32767);
    h.app.click(s.Trigger);
    EXPECT_EQ(h.fake.writes(), pairs(120, 0x07));
    expectLine(s.Feedback1, "Trigger Character written to port.", kGreen);
    expectLine(s.Feedback2, "Repeat count limited to 120 at 1200 baud.", kYellow);

    h.app.pick(s.baudlist, 4);
    h.app.edit(s.Repeats, "32767");
    h.fake.clearCalls();
    h.app.click(s.Trigger);
    EXPECT_EQ(h.fake.writes().size(), 30u);
    EXPECT_EQ(s.Feedback2.caption(), "Repeat count limited to 30 at 300 baud.");

    // At the bound itself nothing is cut.
    h.runFor(4000ms);
    h.app.edit(s.Repeats, "30");
    h.fake.clearCalls();
    h.app.click(s.Trigger);
    EXPECT_EQ(h.fake.writes().size(), 30u);
    EXPECT_EQ(s.Feedback2.caption(), "");
}

TEST_F(CedarTest, TriggerReportsEachWriteAndNotAMissingEvent) {
    Cedarform& s = openQuiet();
    h.fake.failWrites(EIO, 9, 1);
    h.app.click(s.Trigger);
    EXPECT_EQ(h.fake.writes().size(), 10u);
    expectLine(s.Feedback1, "Error writing to port. (5)", kRed);

    h.fake.failWrites(EIO, 0, 1);
    h.app.click(s.Trigger);
    EXPECT_EQ(h.fake.writes().size(), 20u);
    expectLine(s.Feedback1, "Trigger Character written to port.", kGreen);

    h.runFor(4000ms);
    h.fake.clearCalls();
    h.fake.fail(Call::CreateEvent, ENOMEM);
    h.fake.failWrites(ports::kIoPending);
    h.app.click(s.Trigger);
    EXPECT_EQ(h.fake.bytesWritten().size(), 20u);
    EXPECT_EQ(s.Feedback1.caption(), "");
}

TEST_F(CedarTest, MessagesClearFourSecondsAfterTheLastChange) {
    Cedarform& s = openQuiet();
    h.app.click(s.Trigger);
    h.runFor(3000ms);
    h.app.edit(s.Repeats, "4");  // stores silently, but the count starts anew
    h.runFor(3900ms);
    EXPECT_EQ(s.Feedback1.caption(), "Trigger Character written to port.");
    h.runFor(200ms);
    EXPECT_EQ(s.Feedback1.caption(), "");
}

TEST_F(CedarTest, PortMovesSetUpTheOtherPortAtTheChosenRate) {
    Cedarform& s = openQuiet();
    h.app.click(s.port2Option);
    h.app.pick(s.baudlist, 4);
    EXPECT_EQ(s.port().settings, "COM2:300,n,8,1");
    EXPECT_EQ(s.Repeats.text(), "5");
    EXPECT_FALSE(h.fake.isOpen("COM1"));

    h.app.click(s.port1Option);
    EXPECT_EQ(callsOf(h.fake.calls(), {"closeHandle", "createFile"}),
              (std::vector<std::string>{"closeHandle(1)", "createFile(\\\\.\\COM2)",
                                        "closeHandle(2)", "createFile(\\\\.\\COM1)"}));
    EXPECT_EQ(s.port().settings, "COM1:300,n,8,1");
    expectLine(s.Feedback1, "DCB updated successfully", kGreen);
}

TEST_F(CedarTest, MissingAndBusyPortsAreDisabled) {
    h.fake.setBusy("COM1");
    h.fake.setMissing("COM2");
    Cedarform& s = open();
    expectLine(s.Feedback1, "error acquiring comm setup. (9)", kRed);
    expectLine(s.Feedback2, "Port \\\\.\\COM1 has been disabled for this session.", kYellow);
    EXPECT_FALSE(s.port1Option.enabled());
    EXPECT_EQ(s.port1Label.foreColor(), kGrey);
    EXPECT_EQ(s.Repeats.text(), "10");

    h.app.click(s.Trigger);
    expectLine(s.Feedback1, "Error writing to port. (9)", kRed);

    h.app.click(s.port2Option);
    expectLine(s.Feedback2, "Port \\\\.\\COM2 has been disabled for this session.", kYellow);
    EXPECT_FALSE(s.port2Option.enabled());
    EXPECT_EQ(s.port2Label.toolTip(), "Port in use or not available.");

    h.runFor(100ms);
    expectLine(s.Feedback1, "Error getting port status information. (9)", kRed);
    EXPECT_EQ(s.Feedback2.foreColor(), kGreen);
}

TEST_F(CedarTest, PollShowsTheThreeLinesAndNeverTheDrawer) {
    struct Case {
        std::uint32_t word;
        bool cts, dsr, cd;
    };
    Cedarform& s = open();
    for (const Case& c : {Case{0xF0, true, true, true}, Case{0x00, false, false, false},
                          Case{0x80, false, false, true}, Case{0x40, false, false, false}}) {
        SCOPED_TRACE(c.word);
        h.fake.setModemStatus(c.word);
        h.runFor(100ms);
        EXPECT_EQ(s.CTS.fillColor(), c.cts ? kGreen : kRed);
        EXPECT_EQ(s.CTS_Label.toolTip(), c.cts ? "CTS On" : "CTS Off");
        EXPECT_EQ(s.DSR.fillColor(), c.dsr ? kGreen : kRed);
        EXPECT_EQ(s.DSR_Label.toolTip(), c.dsr ? "DSR On" : "DSR Off");
        EXPECT_EQ(s.CD.fillColor(), c.cd ? kGreen : kRed);
        EXPECT_EQ(s.CD_Label.toolTip(), c.cd ? "CD On" : "CD Off");
        expectLine(s.cd_status, "Not Applicable", kSilver);
        EXPECT_EQ(s.cd_status.toolTip(), "Status Not Available.");
    }
}

TEST_F(CedarTest, AFailingStatusReadIsReportedAtEveryTickAndKeepsTheLamps) {
    Cedarform& s = open();
    h.fake.setModemStatus(0xF0);
    h.runFor(100ms);
    h.fake.fail(Call::GetCommModemStatus, EIO, 0, support::FakePortSystem::kAll);
    h.fake.clearCalls();
    h.runFor(1000ms);
    EXPECT_EQ(callsOf(h.fake.calls(), {"getCommModemStatus"}).size(), 10u);
    expectLine(s.Feedback1, "Error getting port status information. (5)", kRed);
    EXPECT_EQ(s.DSR.fillColor(), kGreen);
    h.runFor(5000ms);
    EXPECT_EQ(s.Feedback1.caption(), "Error getting port status information. (5)");
}

TEST_F(CedarTest, LeavingClosesThePort) {
    {
        Cedarform& s = openQuiet();
        h.app.click(s.exit);
        EXPECT_EQ(h.fake.calls(), (std::vector<std::string>{"closeHandle(1)", "closeHandle(1)"}));
        EXPECT_EQ(h.navigator.shown, std::vector<std::string>{"TestForm"});
    }
    support::ScreenHarness fresh;
    Cedarform& s = fresh.open<Cedarform>();
    fresh.fake.clearCalls();
    fresh.app.closeWindow(s);
    EXPECT_EQ(fresh.fake.calls(), std::vector<std::string>{"closeHandle(1)"});
    EXPECT_TRUE(fresh.navigator.shown.empty());
    EXPECT_TRUE(fresh.app.ended());
}
