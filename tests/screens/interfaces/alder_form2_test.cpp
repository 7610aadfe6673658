// The Alder alternate screen: its load in character pulse mode, the two mode buttons, the
// trigger in both modes, the bounded wait for a write still under way, and the way back.
#include "screens/interfaces/alder_form2.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "screen_checks.h"
#include "support/screen_harness.h"

using namespace std::chrono_literals;
using screens::Alderform2;
using support::Call;
using support::switchRow;
using toolkit::colors::kGreen;
using toolkit::colors::kRed;
using Bytes = std::vector<std::uint8_t>;

namespace {

struct Alder2Test : ::testing::Test {
    support::ScreenHarness h;
    Alderform2& f = h.open<Alderform2>();

    void trigger() {
        h.fake.clearCalls();
        h.app.click(f.Trigger);
    }
};

TEST_F(Alder2Test, LoadsInCharacterModeAt1200BaudSendingTwice) {
    EXPECT_EQ(f.caption(), "Alder Alternate Operation");
    EXPECT_EQ(f.title.caption(), "Dunmere Cash Drawer");
    EXPECT_EQ(f.mode(), "Char");
    EXPECT_EQ(f.Frame1.caption(), "Character Mode (Birch)");
    EXPECT_EQ(switchRow(f), "^ ^ v v v v v ^ v v");
    EXPECT_EQ(f.openChar(), 85);
    EXPECT_EQ(f.open_char.text(), "85");
    EXPECT_EQ(f.Repeats.text(), "2");
    EXPECT_EQ(f.baudlist.text(), "1200");
    EXPECT_EQ(f.port().baudRate, 1200);
    for (const toolkit::Control* c : {static_cast<const toolkit::Control*>(&f.open_char),
                                      static_cast<const toolkit::Control*>(&f.Repeats),
                                      static_cast<const toolkit::Control*>(&f.baudlist)}) {
        EXPECT_FALSE(c->enabled()) << c->name();
    }
    EXPECT_EQ(f.Feedback1.caption(), "DCB updated successfully");
    EXPECT_EQ(f.Feedback1.foreColor(), kGreen);
    EXPECT_TRUE(f.Status_timer.enabled());

    // The first set-up runs before a rate is known, with the lower-case error; only RTS is
    // raised.
    EXPECT_EQ(
        support::callsOf(h.fake.calls(), {"buildCommDcb", "escapeCommFunction"}),
        (std::vector<std::string>{"buildCommDcb(COM1:0,n,8,1)", "buildCommDcb(COM1:1200,n,8,1)",
                                  "escapeCommFunction(1, SETRTS)", "buildCommDcb(COM1:1200,n,8,1)",
                                  "escapeCommFunction(1, SETRTS)"}));

    trigger();
    EXPECT_EQ(h.fake.writes(), (std::vector<Bytes>{{0x55, 0x00}, {0x55, 0x00}}));
    EXPECT_EQ(h.fake.calls()[0], "flushFileBuffers(1)");
    EXPECT_EQ(h.fake.calls()[1], "createEvent(true, false, null)");
    EXPECT_EQ(h.fake.calls().back(), "closeEvent(1)");
    EXPECT_EQ(f.Feedback1.caption(), "Trigger Character written to port.");
    h.runFor(4000ms);
    EXPECT_EQ(f.Feedback1.caption(), "");
}

TEST_F(Alder2Test, ModeButtonsFixCharacterRepeatsAndSwitches) {
    h.app.click(f.Alder_Level);
    EXPECT_EQ(f.mode(), "Level");
    EXPECT_EQ(f.Frame1.caption(), "Level Mode (Cedar)");
    EXPECT_EQ(switchRow(f), "^ v v v v v v ^ v v");
    EXPECT_EQ(f.openChar(), 0);
    EXPECT_EQ(f.Repeats.text(), "25");
    EXPECT_EQ(f.Feedback1.caption(), "DCB updated successfully");
    trigger();
    EXPECT_EQ(h.fake.writes(), std::vector<Bytes>(25, Bytes{0x00, 0x00}));
    EXPECT_EQ(f.repeatCount(), 25);

    h.app.click(f.Alder_Char);
    EXPECT_EQ(f.mode(), "Char");
    EXPECT_EQ(f.Frame1.caption(), "Character Mode (Birch)");
    EXPECT_EQ(switchRow(f), "^ ^ v v v v v ^ v v");
    EXPECT_EQ(f.openChar(), 85);
    EXPECT_EQ(f.Repeats.text(), "1");
    trigger();
    EXPECT_EQ(h.fake.writes(), (std::vector<Bytes>{{0x55, 0x00}}));
}

TEST_F(Alder2Test, APendingWriteIsWaitedForWithABound) {
    h.fake.failWrites(ports::kIoPending, 0, 1);
    trigger();
    EXPECT_EQ(support::callsOf(h.fake.calls(), {"waitForSingleObject", "getOverlappedResult"}),
              (std::vector<std::string>{"waitForSingleObject(1, 1000)",
                                        "getOverlappedResult(1, false)"}));
    EXPECT_EQ(f.Feedback1.caption(), "Trigger Character written to port.");
    EXPECT_EQ(f.Feedback1.foreColor(), kGreen);

    // The last pass does not complete in time: its error stays, stored as the last error.
    h.fake.failWrites(ports::kIoPending, 1, 1);
    h.fake.fail(Call::WaitForSingleObject, ETIMEDOUT);
    trigger();
    EXPECT_EQ(h.fake.writes().size(), 2u);
    EXPECT_EQ(f.Feedback1.caption(), "Error writing to port. (" + std::to_string(ETIMEDOUT) + ")");
    EXPECT_EQ(f.Feedback1.foreColor(), kRed);
    EXPECT_EQ(f.port().lastError, static_cast<ports::ErrorCode>(ETIMEDOUT));

    // The wait ends but the write's result is a failure.
    h.fake.failWrites(ports::kIoPending, 1, 1);
    h.fake.fail(Call::GetOverlappedResult, EIO);
    trigger();
    EXPECT_EQ(f.Feedback1.caption(), "Error writing to port. (5)");
    EXPECT_EQ(f.port().lastError, 5u);
}

TEST_F(Alder2Test, FailedWritesAndEventsAreReported) {
    h.fake.failWrites(EIO, 0, 1);
    trigger();
    EXPECT_EQ(h.fake.writes().size(), 2u);  // the second pass still runs
    EXPECT_EQ(f.Feedback1.caption(), "Trigger Character written to port.");
    h.fake.failWrites(EIO, 1, 1);
    trigger();
    EXPECT_EQ(f.Feedback1.caption(), "Error writing to port. (5)");

    // Without an event nothing is written.
    h.fake.fail(Call::CreateEvent, ENOMEM);
    trigger();
    EXPECT_TRUE(h.fake.writes().empty());
    EXPECT_EQ(f.Feedback1.caption(), "error writing to port. (12)");
    EXPECT_EQ(f.Feedback1.foreColor(), kRed);
    EXPECT_EQ(f.port().lastError, 12u);
}

TEST_F(Alder2Test, OnAPortThatDidNotOpenEveryPassFails) {
    support::ScreenHarness other;
    other.fake.setMissing("COM1");
    Alderform2& g = other.open<Alderform2>();
    EXPECT_EQ(g.Feedback1.caption(), "error acquiring comm setup. (9)");
    EXPECT_FALSE(g.port1Option.enabled());
    other.fake.clearCalls();
    other.app.click(g.Trigger);
    EXPECT_EQ(other.fake.writes().size(), 2u);
    EXPECT_EQ(g.Feedback1.caption(), "Error writing to port. (9)");
    other.runFor(4100ms);
    EXPECT_EQ(g.Feedback1.caption(), "Error getting status information. (9)");
}

TEST_F(Alder2Test, PortTwoIsSetUpAt1200) {
    h.app.click(f.port2Option);
    EXPECT_EQ(f.port().settings, "COM2:1200,n,8,1");
    EXPECT_EQ(f.Feedback1.caption(), "DCB updated successfully");
    trigger();
    EXPECT_EQ(h.fake.writeRecords().front().device, "COM2");
}

TEST_F(Alder2Test, TheWaysOffTheScreenCloseThePort) {
    h.app.click(f.AlderAdvanced);
    EXPECT_FALSE(h.fake.isOpen("COM1"));
    EXPECT_EQ(h.navigator.opened, std::vector{screens::ScreenId::Alderform});
    EXPECT_TRUE(h.app.forms().empty());

    support::ScreenHarness other;
    Alderform2& g = other.open<Alderform2>();
    other.app.click(g.exit);
    EXPECT_FALSE(other.fake.isOpen("COM1"));
    EXPECT_EQ(other.navigator.shown, std::vector<std::string>{"TestForm"});

    support::ScreenHarness third;
    third.app.closeWindow(third.open<Alderform2>());
    EXPECT_TRUE(third.app.ended());
    EXPECT_TRUE(third.navigator.shown.empty());
}

}  // namespace
