// The Birch screen on the fake port backend: its load, the checks of the two typed values, the
// switch display, the trigger's writes, port moves and failures, the status poll, the message
// timer and leaving the screen.
#include "screens/interfaces/birch_form.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "screens/interfaces/screen_checks.h"
#include "support/screen_harness.h"

using namespace std::chrono_literals;
using namespace toolkit::colors;
using screens::Birchform;
using support::Call;
using support::callsOf;

namespace {

using Writes = std::vector<std::vector<std::uint8_t>>;

struct BirchTest : ::testing::Test {
    support::ScreenHarness h;

    Birchform& open() { return h.open<Birchform>(); }

    // Lets the load's messages expire, so that a test sees only what it caused.
    Birchform& openQuiet() {
        Birchform& s = open();
        h.runFor(4000ms);
        h.fake.clearCalls();
        return s;
    }
};

std::string switches(const Birchform& s) {
    return s.bit1.caption() + s.bit2.caption() + s.bit3.caption() + s.bit4.caption();
}

void expectLine(const toolkit::Label& line, const std::string& text, toolkit::Color color) {
    EXPECT_EQ(line.caption(), text);
    EXPECT_EQ(line.foreColor(), color);
}

}  // namespace

TEST_F(BirchTest, LoadOpensCom1At1200WithTheDefaults) {
    Birchform& s = open();

    // Set up three times: on the com1 pick before any rate (0 baud, refused), on the 1200 pick,
    // and once more at the end.
    EXPECT_EQ(callsOf(h.fake.calls(), {"createFile", "buildCommDcb"}),
              (std::vector<std::string>{"createFile(\\\\.\\COM1)", "buildCommDcb(COM1:0,n,8,1)",
                                        "buildCommDcb(COM1:1200,n,8,1)",
                                        "buildCommDcb(COM1:1200,n,8,1)"}));
    EXPECT_TRUE(h.fake.isOpen("COM1"));
    EXPECT_TRUE(s.port1Option.value());
    EXPECT_EQ(s.port().settings, "COM1:1200,n,8,1");
    EXPECT_EQ(s.port().baudRate, 1200);
    expectLine(s.Feedback1, "DCB updated successfully", kGreen);
    EXPECT_EQ(s.Feedback2.caption(), "");

    EXPECT_EQ(s.baudlist.text(), "1200");
    EXPECT_EQ(s.Filter.text(), "On");
    EXPECT_EQ(switches(s), "v^^v");
    EXPECT_EQ(s.open_char.text(), "85");
    EXPECT_EQ(s.openChar(), 85);
    EXPECT_EQ(s.Repeats.text(), "2");
    EXPECT_EQ(s.repeatCount(), 2);

    // The lines are shown from the first poll on.
    EXPECT_EQ(s.cd_status.caption(), "");
    EXPECT_EQ(s.CTS_Label.toolTip(), "0");
    EXPECT_TRUE(s.Status_timer.enabled());
}

TEST_F(BirchTest, OpeningCharacterOutsideZeroTo255IsResetTo85) {
    struct Case {
        std::vector<std::string> keystrokes;  // all but the last are accepted as typed
        std::string text;
        std::int16_t stored;
        bool reset;
    };
    const Case cases[] = {
        {{"8", ""}, "85", 85, true},      {{"3", "30", "300"}, "85", 85, true},
        {{"-", "-5"}, "85", 85, true},    {{"255.4"}, "85", 85, true},
        {{"&H100"}, "85", 85, true},      {{"1e3"}, "85", 85, true},
        {{"abc"}, "abc", 0, false},       {{"1 2"}, "1 2", 12, false},
        {{"254.6"}, "254.6", 255, false}, {{"&HFF"}, "&HFF", 255, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keystrokes.back());
        support::ScreenHarness fresh;
        Birchform& s = fresh.open<Birchform>();
        fresh.runFor(4000ms);
        for (std::size_t i = 0; i + 1 < c.keystrokes.size(); ++i) {
            fresh.app.edit(s.open_char, c.keystrokes[i]);
            EXPECT_EQ(s.open_char.text(), c.keystrokes[i]);
        }
        EXPECT_EQ(s.Feedback1.caption(), "");
        fresh.app.edit(s.open_char, c.keystrokes.back());
        EXPECT_EQ(s.open_char.text(), c.text);
        EXPECT_EQ(s.openChar(), c.stored);
        if (c.reset) {
            expectLine(s.Feedback1, "Valid characters are 0 through 255", kRed);
            expectLine(s.Feedback2, "Open Character reset to factory default: 85", kGreen);
        } else {
            EXPECT_EQ(s.Feedback1.caption(), "");
            EXPECT_EQ(s.Feedback2.caption(), "");
        }
    }
}

TEST_F(BirchTest, RepeatCountOutsideOneTo100IsResetTo2) {
    struct Case {
        std::string text;
        std::string shown;
        std::int16_t stored;
    };
    const Case cases[] = {
        {"100", "100", 100}, {"2.5", "2.5", 2}, {"1.5", "1.5", 2}, {"101", "2", 2},
        {"0", "2", 2},       {"0.6", "2", 2},   {"", "2", 2},      {"-1", "2", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        support::ScreenHarness fresh;
        Birchform& s = fresh.open<Birchform>();
        fresh.app.edit(s.Repeats, "7");
        fresh.runFor(4000ms);
        fresh.app.edit(s.Repeats, c.text);
        EXPECT_EQ(s.Repeats.text(), c.shown);
        EXPECT_EQ(s.repeatCount(), c.stored);
        const bool reset = c.shown != c.text;
        EXPECT_EQ(s.Feedback1.caption(), reset ? "Valid values 1 through 100" : "");
        EXPECT_EQ(s.Feedback2.caption(), reset ? "Number of repeats reset to standard: 2" : "");
        if (reset) {
            EXPECT_EQ(s.Feedback1.foreColor(), kRed);
            EXPECT_EQ(s.Feedback2.foreColor(), kGreen);
        }
    }
}

TEST_F(BirchTest, MessagesClearFourSecondsAfterTheLastChange) {
    Birchform& s = open();
    h.runFor(3000ms);
    EXPECT_EQ(s.Feedback1.caption(), "DCB updated successfully");

    h.app.edit(s.Repeats, "0");  // reset: the count starts anew
    h.runFor(3900ms);
    EXPECT_EQ(s.Feedback1.caption(), "Valid values 1 through 100");
    h.app.edit(s.Repeats, "5");  // accepted: no message, but the count starts anew again
    h.runFor(3900ms);
    EXPECT_EQ(s.Feedback2.caption(), "Number of repeats reset to standard: 2");
    h.runFor(200ms);
    EXPECT_EQ(s.Feedback1.caption(), "");
    EXPECT_EQ(s.Feedback2.caption(), "");

    h.app.click(s.Trigger);
    h.runFor(3900ms);
    EXPECT_EQ(s.Feedback1.caption(), "Trigger Character written to port.");
    h.runFor(200ms);
    EXPECT_EQ(s.Feedback1.caption(), "");
}

TEST_F(BirchTest, FilterSetsSwitchesThreeAndFourAndBaudRateSetsUpThePort) {
    Birchform& s = open();
    h.app.pick(s.Filter, 1);
    EXPECT_EQ(switches(s), "v^v^");
    h.app.pick(s.Filter, 0);
    EXPECT_EQ(switches(s), "v^^v");

    h.fake.clearCalls();
    h.app.pick(s.baudlist, 0);
    EXPECT_EQ(s.port().settings, "COM1:9600,n,8,1");
    EXPECT_EQ(callsOf(h.fake.calls(), {"setCommState"}),
              std::vector<std::string>{"setCommState(1, 9600,n,8,1)"});
    expectLine(s.Feedback1, "DCB updated successfully", kGreen);
    EXPECT_EQ(switches(s), "v^^v");
}

TEST_F(BirchTest, TriggerWritesTheCharacterAndAZeroOncePerRepeat) {
    Birchform& s = openQuiet();
    h.app.click(s.Trigger);
    EXPECT_EQ(h.fake.calls(), (std::vector<std::string>{
                                  "createEvent(true, false, \"0\")", "flushFileBuffers(1)",
                                  "writeFile(1, 55 00)", "writeFile(1, 55 00)", "closeEvent(1)"}));
    EXPECT_EQ(h.records.writeOverlapped.event, 1);
    expectLine(s.Feedback1, "Trigger Character written to port.", kGreen);

    h.fake.clearCalls();
    h.app.edit(s.open_char, "7");
    h.app.edit(s.Repeats, "3");
    h.app.click(s.Trigger);
    EXPECT_EQ(h.fake.writes(), (Writes{{0x07, 0x00}, {0x07, 0x00}, {0x07, 0x00}}));
}

TEST_F(BirchTest, TriggerReportsEachWriteAndNeverStopsEarly) {
    Birchform& s = openQuiet();
    h.fake.failWrites(EIO, 0, 1);
    h.app.click(s.Trigger);
    EXPECT_EQ(h.fake.writes().size(), 2u);
    expectLine(s.Feedback1, "Trigger Character written to port.", kGreen);

    h.fake.failWrites(EIO);
    h.app.click(s.Trigger);
    EXPECT_EQ(h.fake.writes().size(), 4u);
    expectLine(s.Feedback1, "Error writing to port. (5)", kRed);

    // A pending write goes out: no failure, and no success to report either.
    h.runFor(4000ms);
    h.fake.clearCalls();
    h.fake.failWrites(ports::kIoPending);
    h.app.click(s.Trigger);
    EXPECT_EQ(h.fake.bytesWritten(), (std::vector<std::uint8_t>{0x55, 0x00, 0x55, 0x00}));
    EXPECT_EQ(s.Feedback1.caption(), "");

    // Without its event the sequence still runs.
    h.fake.fail(Call::CreateEvent, ENOMEM);
    h.app.click(s.Trigger);
    EXPECT_EQ(h.fake.writes().size(), 4u);
    expectLine(s.Feedback1, "Failure to create overlapped event", kRed);
}

TEST_F(BirchTest, MovingToCom2AndBackClosesTheOtherPort) {
    Birchform& s = openQuiet();
    h.app.click(s.port2Option);
    EXPECT_EQ(callsOf(h.fake.calls(), {"closeHandle", "createFile"}),
              (std::vector<std::string>{"closeHandle(1)", "createFile(\\\\.\\COM2)"}));
    EXPECT_EQ(s.port().settings, "COM2:1200,n,8,1");
    expectLine(s.Feedback1, "DCB updated successfully", kGreen);
    EXPECT_FALSE(h.fake.isOpen("COM1"));

    h.app.click(s.port1Option);
    EXPECT_TRUE(h.fake.isOpen("COM1"));
    EXPECT_FALSE(h.fake.isOpen("COM2"));
    EXPECT_EQ(s.port().settings, "COM1:1200,n,8,1");
}

TEST_F(BirchTest, AMissingCom2IsDisabledAndPolledWithTheError) {
    h.fake.setMissing("COM2");
    Birchform& s = openQuiet();
    support::CaptionLog log(s.Feedback1);
    h.app.click(s.port2Option);
    EXPECT_EQ(log.captions,
              (std::vector<std::string>{"Port successfully closed.",
                                        "Unable to acquire handle for port \\\\.\\COM2. (2)",
                                        "error acquiring comm setup. (9)"}));
    // The set-up runs on the handle that failed and says so.
    expectLine(s.Feedback1, "error acquiring comm setup. (9)", kRed);
    expectLine(s.Feedback2, "Port \\\\.\\COM2 has been disabled for this session.", kYellow);
    EXPECT_FALSE(s.port2Option.enabled());
    EXPECT_EQ(s.port2Label.foreColor(), kGrey);
    EXPECT_EQ(s.port2Label.toolTip(), "Port in use or not available.");

    h.runFor(100ms);
    expectLine(s.Feedback1, "Error getting status information. (9)", kRed);
    EXPECT_EQ(s.Feedback2.foreColor(), kGreen);

    h.app.click(s.Trigger);
    expectLine(s.Feedback1, "Error writing to port. (9)", kRed);
    EXPECT_EQ(h.fake.writes().size(), 2u);

    h.app.click(s.port1Option);
    EXPECT_TRUE(h.fake.isOpen("COM1"));
    expectLine(s.Feedback1, "DCB updated successfully", kGreen);
}

TEST_F(BirchTest, ABusyCom1AtLoadLeavesTheScreenOnIt) {
    h.fake.setBusy("COM1");
    Birchform& s = open();
    expectLine(s.Feedback1, "error acquiring comm setup. (9)", kRed);
    expectLine(s.Feedback2, "Port \\\\.\\COM1 has been disabled for this session.", kYellow);
    EXPECT_FALSE(s.port1Option.enabled());
    EXPECT_EQ(s.port1Label.foreColor(), kGrey);
    EXPECT_EQ(s.open_char.text(), "85");
    EXPECT_EQ(switches(s), "v^^v");
}

TEST_F(BirchTest, PollShowsDrawerFromRingIndicatorAndEachLineOnItsLamp) {
    struct Case {
        std::uint32_t word;
        bool open, cts, dsr, cd;
    };
    Birchform& s = open();
    for (const Case& c :
         {Case{0xF0, true, true, true, true}, Case{0x00, false, false, false, false},
          Case{0x80, false, false, false, true}, Case{0x40, true, false, false, false}}) {
        SCOPED_TRACE(c.word);
        h.fake.setModemStatus(c.word);
        h.runFor(100ms);
        EXPECT_EQ(s.cd_status.caption(), c.open ? "Open" : "Closed");
        EXPECT_EQ(s.cd_status.foreColor(), c.open ? kGreen : kRed);
        EXPECT_EQ(s.cd_status.toolTip(),
                  c.open ? "Drawer indicates open." : "Drawer indicates closed.");
        EXPECT_EQ(s.CTS.fillColor(), c.cts ? kGreen : kRed);
        EXPECT_EQ(s.CTS_Label.toolTip(), c.cts ? "CTS On" : "CTS Off");
        EXPECT_EQ(s.DSR.fillColor(), c.dsr ? kGreen : kRed);
        EXPECT_EQ(s.DSR_Label.toolTip(), c.dsr ? "DSR On" : "DSR Off");
        EXPECT_EQ(s.CD.fillColor(), c.cd ? kGreen : kRed);
        EXPECT_EQ(s.CD_Label.toolTip(), c.cd ? "CD On" : "CD Off");
    }
}

TEST_F(BirchTest, AFailingStatusReadIsReportedAtEveryTickAndKeepsTheLamps) {
    Birchform& s = open();
    h.fake.setModemStatus(0xF0);
    h.runFor(100ms);
    h.fake.fail(Call::GetCommModemStatus, EIO, 0, support::FakePortSystem::kAll);
    h.fake.clearCalls();
    h.runFor(1000ms);
    EXPECT_EQ(callsOf(h.fake.calls(), {"getCommModemStatus"}).size(), 10u);
    expectLine(s.Feedback1, "Error getting status information. (5)", kRed);
    EXPECT_EQ(s.cd_status.caption(), "Open");
    EXPECT_EQ(s.CTS.fillColor(), kGreen);

    h.runFor(5000ms);  // the message timer has cleared it meanwhile
    EXPECT_EQ(s.Feedback1.caption(), "Error getting status information. (5)");
}

TEST_F(BirchTest, TitleBarCloseReleasesThePortAndEndsTheProgram) {
    Birchform& s = openQuiet();
    h.app.closeWindow(s);
    EXPECT_EQ(h.fake.calls(), std::vector<std::string>{"closeHandle(1)"});
    EXPECT_FALSE(h.fake.isOpen("COM1"));
    EXPECT_TRUE(h.navigator.shown.empty());
    EXPECT_TRUE(h.app.ended());
}

TEST_F(BirchTest, BackClosesThePortAndShowsTheSelector) {
    Birchform& s = openQuiet();
    h.app.click(s.exit);
    // "<< Back" closes the port; the unload's second close fails unseen.
    EXPECT_EQ(h.fake.calls(), (std::vector<std::string>{"closeHandle(1)", "closeHandle(1)"}));
    EXPECT_EQ(h.navigator.shown, std::vector<std::string>{"TestForm"});
    EXPECT_FALSE(h.fake.isOpen("COM1"));
}
