// The Alder screen: its load, switch display, opening-character checks, trigger writes, the
// wiring choices and the ways off the screen.
#include "screens/interfaces/alder_form.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "screen_checks.h"
#include "screens/interfaces/printer_texts.h"
#include "support/screen_harness.h"

using namespace std::chrono_literals;
using screens::Alderform;
using support::Call;
using support::switchRow;
using toolkit::colors::kGreen;
using toolkit::colors::kRed;
using Bytes = std::vector<std::uint8_t>;

namespace {

struct AlderTest : ::testing::Test {
    support::ScreenHarness h;
    Alderform* form = nullptr;

    Alderform& open() {
        form = &h.open<Alderform>();
        return *form;
    }
    void trigger() {
        h.fake.clearCalls();
        h.app.click(form->Trigger);
    }
};

TEST_F(AlderTest, LoadSettlesOnCom1At9600WithCharacter7SentOnce) {
    Alderform& f = open();

    EXPECT_EQ(f.port().deviceName, "\\\\.\\COM1");
    EXPECT_TRUE(f.port1Option.value());
    EXPECT_EQ(f.Feedback1.caption(), "DCB updated successfully");
    EXPECT_EQ(f.Feedback1.foreColor(), kGreen);
    EXPECT_EQ(f.Feedback2.caption(), "");
    EXPECT_EQ(switchRow(f), "v v v ^ ^ ^ ^ v ^ ^");
    EXPECT_EQ(f.alderBaud(), 9600);
    EXPECT_EQ(f.openChar(), 7);
    EXPECT_EQ(f.repeatCount(), 1);
    EXPECT_EQ(f.open_char.text(), "7");
    EXPECT_EQ(f.Repeats.text(), "1");
    EXPECT_EQ(f.baudlist.text(), "9600");
    EXPECT_FALSE(f.TestPrinter.value());
    EXPECT_TRUE(f.TestPrinter.isUsable());
    EXPECT_FALSE(f.Dead_end.value());
    EXPECT_FALSE(f.Parasite.value());
    EXPECT_EQ(f.Trigger.caption(), "Trigger Drawer");
    EXPECT_EQ(f.cd_status.caption(), "");
    EXPECT_TRUE(f.Status_timer.enabled());

    // The set-up inside the port pick runs before a rate is known and fails; the baud pick
    // and the last step set the port up at 9600, raising RTS and DTR each time.
    EXPECT_EQ(
        support::callsOf(h.fake.calls(), {"buildCommDcb", "escapeCommFunction"}),
        (std::vector<std::string>{"buildCommDcb(COM1:0,n,8,1)", "buildCommDcb(COM1:9600,n,8,1)",
                                  "escapeCommFunction(1, SETRTS)", "escapeCommFunction(1, SETDTR)",
                                  "buildCommDcb(COM1:9600,n,8,1)", "escapeCommFunction(1, SETRTS)",
                                  "escapeCommFunction(1, SETDTR)"}));

    // The load's last message goes with the message timer; the status poll then shows the
    // drawer.
    h.runFor(4000ms);
    EXPECT_EQ(f.Feedback1.caption(), "");
    EXPECT_EQ(f.cd_status.caption(), "Closed");
}

TEST_F(AlderTest, SwitchesFollowBaudRateRepeatsAndCharacter) {
    Alderform& f = open();
    h.app.pick(f.baudlist, 3);  // 1200
    h.app.pick(f.Repeats, 1);   // 2
    h.app.edit(f.open_char, "127");
    EXPECT_EQ(switchRow(f), "v v v v v v v ^ v v");
    EXPECT_EQ(f.alderBaud(), 1200);
    EXPECT_EQ(f.repeatCount(), 2);

    h.app.edit(f.open_char, "0");
    h.app.pick(f.baudlist, 1);  // 4800
    EXPECT_EQ(switchRow(f), "^ ^ ^ ^ ^ ^ ^ ^ v ^");
    h.app.pick(f.baudlist, 2);  // 2400
    EXPECT_EQ(switchRow(f), "^ ^ ^ ^ ^ ^ ^ ^ ^ v");
    EXPECT_EQ(f.port().settings, "COM1:2400,n,8,1");
    EXPECT_EQ(f.Feedback1.caption(), "DCB updated successfully");
}

struct TypedCharacter {
    const char* text;
    bool reset;
    int stored;
};

class AlderOpenChar : public AlderTest, public ::testing::WithParamInterface<TypedCharacter> {};

TEST_P(AlderOpenChar, IsReadByTheTypedNumberRuleAndResetOutsideZeroTo127) {
    const TypedCharacter c = GetParam();
    Alderform& f = open();
    h.runFor(4000ms);  // the load's messages are gone
    h.app.edit(f.open_char, c.text);

    EXPECT_EQ(f.openChar(), c.stored);
    if (c.reset) {
        EXPECT_EQ(f.open_char.text(), "7");
        EXPECT_EQ(f.Feedback1.caption(), "Valid characters are 0 through 127");
        EXPECT_EQ(f.Feedback1.foreColor(), kRed);
        EXPECT_EQ(f.Feedback2.caption(), "Open Character reset to factory default: 7");
        EXPECT_EQ(f.Feedback2.foreColor(), kGreen);
        EXPECT_EQ(switchRow(f), "v v v ^ ^ ^ ^ v ^ ^");
    } else {
        EXPECT_EQ(f.open_char.text(), c.text);
        EXPECT_EQ(f.Feedback1.caption(), "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, AlderOpenChar,
    ::testing::Values(TypedCharacter{"", true, 7}, TypedCharacter{"-1", true, 7},
                      TypedCharacter{"128", true, 7}, TypedCharacter{"127.5", true, 7},
                      TypedCharacter{"1e9999", true, 7}, TypedCharacter{"abc", false, 0},
                      TypedCharacter{"12ab", false, 12}, TypedCharacter{"3.5", false, 4},
                      TypedCharacter{"2.5", false, 2}, TypedCharacter{"&H7F", false, 127}));

TEST_F(AlderTest, AResetMessageStaysFourSecondsFromTheLastChange) {
    Alderform& f = open();
    h.app.edit(f.open_char, "1");
    h.app.edit(f.open_char, "12");
    h.app.edit(f.open_char, "128");
    EXPECT_EQ(f.open_char.text(), "7");
    h.runFor(3900ms);
    EXPECT_EQ(f.Feedback1.caption(), "Valid characters are 0 through 127");
    h.runFor(100ms);
    EXPECT_EQ(f.Feedback1.caption(), "");
    EXPECT_EQ(f.Feedback2.caption(), "");

    // Deleting the last digit empties the box, which is itself reset at once.
    h.app.edit(f.open_char, "");
    EXPECT_EQ(f.open_char.text(), "7");
    EXPECT_EQ(f.Feedback1.caption(), "Valid characters are 0 through 127");
}

TEST_F(AlderTest, TriggerSendsTheCharacterAndZeroInOneWritePerRepeat) {
    Alderform& f = open();
    trigger();
    EXPECT_EQ(h.fake.writes(), (std::vector<Bytes>{{0x07, 0x00}}));
    EXPECT_EQ(f.Feedback1.caption(), "Trigger Character written to port.");
    EXPECT_EQ(f.Feedback1.foreColor(), kGreen);
    EXPECT_EQ(h.fake.calls().front(), "createEvent(true, false, \"0\")");
    EXPECT_EQ(h.fake.calls()[1], "flushFileBuffers(1)");
    EXPECT_EQ(h.fake.calls().back(), "closeEvent(1)");

    h.app.pick(f.Repeats, 1);
    h.app.edit(f.open_char, "65");
    trigger();
    EXPECT_EQ(h.fake.writes(), (std::vector<Bytes>{{0x41, 0x00}, {0x41, 0x00}}));
}

TEST_F(AlderTest, TestPrinterSendsTheTextByteByByteThenNineLineFeeds) {
    Alderform& f = open();
    h.app.click(f.TestPrinter);
    EXPECT_EQ(f.Trigger.caption(), "Test/Print");
    trigger();

    const auto writes = h.fake.writes();
    const std::string_view text = screens::alderPrinterText();
    ASSERT_EQ(writes.size(), 1 + text.size() + 9);
    EXPECT_EQ(writes.front(), (Bytes{0x07, 0x00}));
    for (std::size_t i = 0; i < text.size(); ++i) {
        ASSERT_EQ(writes[1 + i], Bytes{static_cast<std::uint8_t>(text[i])}) << i;
    }
    for (std::size_t i = 1 + text.size(); i < writes.size(); ++i) {
        EXPECT_EQ(writes[i], Bytes{0x0A});
    }
    // A flush before the text and another before the line feeds.
    const auto& calls = h.fake.calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "flushFileBuffers(1)"), 3);
    EXPECT_EQ(calls[3], "flushFileBuffers(1)");
    EXPECT_EQ(calls[4 + text.size()], "flushFileBuffers(1)");
}

TEST_F(AlderTest, WriteFailuresAreReportedAndTheRestIsStillSent) {
    Alderform& f = open();
    h.app.pick(f.Repeats, 1);
    h.app.click(f.TestPrinter);
    h.fake.failWrites(EIO, 1, 1);  // the second repetition
    trigger();
    EXPECT_EQ(h.fake.writes().size(), 2 + screens::alderPrinterText().size() + 9);
    EXPECT_EQ(f.Feedback1.caption(), "Error writing to port. (5)");
    EXPECT_EQ(f.Feedback1.foreColor(), kRed);

    // A write still under way is no failure and shows nothing.
    h.app.click(f.TestPrinter);
    h.fake.failWrites(ports::kIoPending);
    trigger();
    EXPECT_EQ(h.fake.writes().size(), 2u);
    EXPECT_EQ(f.Feedback1.caption(), "Error writing to port. (5)");
}

TEST_F(AlderTest, AnEventThatCannotBeCreatedIsReportedAndTheBytesStillGoOut) {
    Alderform& f = open();
    h.fake.fail(Call::CreateEvent, ENOMEM);
    h.fake.failWrites(ports::kIoPending);  // leaves the event message standing
    trigger();
    EXPECT_EQ(f.Feedback1.caption(), "Failure to create overlapped event");
    EXPECT_EQ(f.Feedback1.foreColor(), kRed);
    EXPECT_EQ(h.fake.bytesWritten(), (Bytes{0x07, 0x00}));
}

TEST_F(AlderTest, TriggerMessagesStayFourSeconds) {
    Alderform& f = open();
    h.runFor(2500ms);
    trigger();
    h.runFor(3900ms);
    EXPECT_EQ(f.Feedback1.caption(), "Trigger Character written to port.");
    h.runFor(100ms);
    EXPECT_EQ(f.Feedback1.caption(), "");
}

TEST_F(AlderTest, DeadEndTakesTheTestPrinterAwayAndParasiteGivesItBack) {
    Alderform& f = open();
    h.app.click(f.Parasite);
    h.app.click(f.TestPrinter);
    EXPECT_EQ(f.Trigger.caption(), "Test/Print");

    h.app.click(f.Dead_end);
    EXPECT_FALSE(f.TestPrinter.value());
    EXPECT_FALSE(f.TestPrinter.enabled());
    EXPECT_EQ(f.Trigger.caption(), "Trigger Drawer");
    trigger();
    EXPECT_EQ(h.fake.writes().size(), 1u);

    h.app.click(f.Parasite);
    EXPECT_TRUE(f.TestPrinter.isUsable());
    EXPECT_FALSE(f.TestPrinter.value());
}

TEST_F(AlderTest, PortMovesSetTheNewPortUpAtTheChosenRate) {
    Alderform& f = open();
    h.app.pick(f.baudlist, 1);  // 4800
    h.fake.clearCalls();
    h.app.click(f.port2Option);
    EXPECT_EQ(h.fake.calls().front(), "closeHandle(1)");
    EXPECT_EQ(f.port().settings, "COM2:4800,n,8,1");
    EXPECT_EQ(f.Feedback1.caption(), "DCB updated successfully");
    EXPECT_FALSE(h.fake.isOpen("COM1"));

    h.app.click(f.port1Option);
    EXPECT_EQ(f.port().settings, "COM1:4800,n,8,1");
    EXPECT_FALSE(h.fake.isOpen("COM2"));
}

TEST_F(AlderTest, AMissingOrBusyPortIsDisabledAndItsWritesFail) {
    h.fake.setBusy("COM1");
    h.fake.setMissing("COM2");
    Alderform& f = open();
    EXPECT_EQ(f.Feedback1.caption(), "Error acquiring comm setup. (9)");
    EXPECT_EQ(f.Feedback2.caption(), "Port \\\\.\\COM1 has been disabled for this session.");
    EXPECT_EQ(f.Feedback2.foreColor(), toolkit::colors::kYellow);
    EXPECT_FALSE(f.port1Option.enabled());

    // The next poll turns the warning green and reports the status read on no port, at
    // every tick, also after the message timer has cleared the lines.
    h.runFor(100ms);
    EXPECT_EQ(f.Feedback2.foreColor(), kGreen);
    EXPECT_EQ(f.Feedback1.caption(), "Error getting status information. (9)");
    EXPECT_EQ(f.Feedback1.foreColor(), kRed);
    h.runFor(4000ms);
    EXPECT_EQ(f.Feedback1.caption(), "Error getting status information. (9)");

    h.app.click(f.port2Option);
    EXPECT_FALSE(f.port2Option.enabled());
    EXPECT_EQ(f.port2Label.foreColor(), toolkit::colors::kGrey);
    EXPECT_EQ(f.port2Label.toolTip(), "Port in use or not available.");
    trigger();
    EXPECT_EQ(f.Feedback1.caption(), "Error writing to port. (9)");
}

TEST_F(AlderTest, AlderAdvancedClosesThePortAndOpensTheAlternateScreen) {
    Alderform& f = open();
    h.app.click(f.AlderAdvanced);
    EXPECT_FALSE(h.fake.isOpen("COM1"));
    EXPECT_EQ(h.navigator.opened, std::vector{screens::ScreenId::Alderform2});
    EXPECT_TRUE(h.navigator.shown.empty());
    EXPECT_TRUE(h.app.forms().empty());
}

TEST_F(AlderTest, BackShowsTheSelectorAndTheTitleBarEndsTheProgram) {
    Alderform& f = open();
    h.app.click(f.exit);
    EXPECT_FALSE(h.fake.isOpen("COM1"));
    EXPECT_EQ(h.navigator.shown, std::vector<std::string>{"TestForm"});

    support::ScreenHarness other;
    Alderform& g = other.open<Alderform>();
    other.app.closeWindow(g);
    EXPECT_TRUE(other.navigator.shown.empty());
    EXPECT_TRUE(other.app.ended());
    EXPECT_TRUE(other.fake.isOpen("COM1"));  // left to the operating system at exit
}

}  // namespace
