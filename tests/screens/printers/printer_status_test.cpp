// The drawer status of the Epson, Star and Ithaca serial screens: polling exactly while
// "Report  Drawer Status" is checked, the request, the judging of each reply, and every way a
// poll can fail, a silent printer included.
#include <gtest/gtest.h>

#include "printer_test_support.h"

using namespace printer_tests;
using namespace std::chrono_literals;
using support::Call;
using toolkit::Color;
using toolkit::colors::kGreen;
using toolkit::colors::kRed;
using toolkit::colors::kWhite;
using toolkit::colors::kYellow;

namespace {

enum class Shows { Open, Closed, Unchanged };

struct Reply {
    std::uint8_t byte;
    Shows shows;
};

struct StatusCase {
    const char* name;
    Opener open;
    Bytes request;
    bool flushesFirst;
    bool greensFeedback2;
    bool usesSharedRecord;
    const char* eventFailure;  // null: not reported
    std::vector<Reply> replies;
    bool uncheckEndsDrawerTest;
};

void PrintTo(const StatusCase& c, std::ostream* os) {
    *os << c.name;
}

const StatusCase kCases[] = {
    {"EpsonSerial",
     openScreen<screens::EPSONSerialform>,
     {0x10, 0x04, 0x01},
     false,
     true,
     false,
     nullptr,
     // The real-time status byte: pin 3 of the drawer-kick connector (0x04) high means
     // closed, whether the printer is on line (0x12, 0x16) or not (0x1A, 0x1E); bytes that
     // are no status byte (fixed bits wrong) say nothing.
     {{0x16, Shows::Closed},
      {0x12, Shows::Open},
      {0x1E, Shows::Closed},
      {0x00, Shows::Unchanged},
      {0x1A, Shows::Open},
      {0xFF, Shows::Unchanged},
      {0x13, Shows::Unchanged},
      {0x92, Shows::Unchanged},
      {0x02, Shows::Unchanged}},
     false},
    {"StarSerial",
     openScreen<screens::StarSerialform>,
     {0x05},
     true,
     false,
     false,
     "failure to create event",
     {{0x00, Shows::Open}, {0x80, Shows::Closed}, {0x7F, Shows::Open}, {0xFF, Shows::Closed}},
     true},
    {"IthacaSerial",
     openScreen<screens::ITHACASerialform>,
     {0x05, 0x01},
     true,
     true,
     true,
     nullptr,
     {{0x08, Shows::Closed},
      {0x00, Shows::Unchanged},
      {0x48, Shows::Open},
      {0x40, Shows::Unchanged},
      {0x09, Shows::Unchanged},
      {0xC8, Shows::Unchanged}},
     true},
};

class Status : public ::testing::TestWithParam<StatusCase> {
protected:
    const StatusCase& c = GetParam();
    support::ScreenHarness h;
    screens::PrinterScreen& s = c.open(h);

    void poll() {
        h.fake.clearCalls();
        h.runFor(100ms);
    }
    void expectDrawer(const char* caption, Color color, const char* toolTip) {
        EXPECT_EQ(s.cd_status->caption(), caption);
        EXPECT_EQ(s.cd_status->foreColor(), color);
        EXPECT_EQ(s.cd_status->toolTip(), toolTip);
    }
    void expectShown(Shows shows) {
        if (shows == Shows::Open) {
            expectDrawer("Open", kGreen, "Drawer indicates open.");
        } else {
            expectDrawer("Closed", kRed, "Drawer indicates closed.");
        }
    }
    // A poll that the printer answers with `byte`, to bring the display to a known state.
    void answer(std::uint8_t byte) {
        h.fake.queueReplies({byte});
        poll();
    }
};

}  // namespace

TEST_P(Status, PollsExactlyWhileItsBoxIsChecked) {
    h.runFor(1000ms);
    EXPECT_EQ(countOf(h.fake.calls(), "readFile"), 0u);

    h.app.click(*s.DrawerStatus);
    EXPECT_TRUE(s.Status_Timer->enabled());
    EXPECT_TRUE(s.statusCaption->enabled());
    EXPECT_TRUE(s.cd_status->isUsable());
    h.fake.queueReplies({0x00});
    poll();
    Bytes sent;
    for (const Bytes& w : h.fake.writes()) {
        EXPECT_EQ(w.size(), 1u);
        sent = sent + w;
    }
    EXPECT_EQ(sent, c.request);
    const std::vector<std::string>& calls = h.fake.calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front().starts_with("flushFileBuffers"), c.flushesFirst) << calls.front();
    EXPECT_EQ(countOf(calls, "createEvent(true, false, \"0\")"), 1u);
    EXPECT_EQ(countOf(calls, "readFile"), 1u);
    EXPECT_TRUE(calls.back().starts_with("closeEvent")) << calls.back();
    // The poll's event sits in the shared record only on the screen whose writes pass it.
    EXPECT_EQ(h.records.writeOverlapped.event != 0, c.usesSharedRecord);

    // A port change sets the port up again and polling carries on on the new port.
    h.app.click(s.port2Option);
    EXPECT_TRUE(s.Status_Timer->enabled());
    h.app.click(*s.DrawerStatus);
    EXPECT_FALSE(s.Status_Timer->enabled());
    h.app.click(s.port1Option);
    EXPECT_FALSE(s.Status_Timer->enabled()) << "a port change starts no polling of its own";
    poll();
    EXPECT_EQ(countOf(h.fake.calls(), "readFile"), 0u);
}

TEST_P(Status, JudgesEachReplyByThePrintersRule) {
    h.app.click(*s.DrawerStatus);
    Shows last = Shows::Unchanged;
    for (const Reply& reply : c.replies) {
        SCOPED_TRACE(::testing::Message() << "reply 0x" << std::hex << int{reply.byte});
        answer(reply.byte);
        EXPECT_EQ(s.statusReply(), reply.byte);
        if (reply.shows != Shows::Unchanged)
            last = reply.shows;
        ASSERT_NE(last, Shows::Unchanged) << "the first reply of the list must be judged";
        expectShown(last);
    }
}

TEST_P(Status, TurnsAWarningGreenWhereTheScreenDoesSo) {
    h.app.click(*s.DrawerStatus);
    s.Feedback2.setForeColor(kYellow);
    s.Feedback2.setCaption("warning");
    answer(c.replies.front().byte);
    EXPECT_EQ(s.Feedback2.foreColor(), c.greensFeedback2 ? kGreen : kYellow);
    EXPECT_EQ(s.Feedback2.caption(), "warning");
}

TEST_P(Status, AnUnwrittenRequestIsReportedAndNothingIsRead) {
    h.app.click(*s.DrawerStatus);
    answer(c.replies.front().byte);

    // Only the last byte of the request is looked at.
    if (c.request.size() > 1) {
        s.Feedback1.setCaption("");
        h.fake.failWrites(EIO, 0, c.request.size() - 1);
        h.fake.queueReplies({c.replies.front().byte});
        poll();
        EXPECT_EQ(s.Feedback1.caption(), "");
        EXPECT_EQ(countOf(h.fake.calls(), "readFile"), 1u);
    }

    h.fake.failWrites(EIO, c.request.size() - 1, 1);
    poll();
    EXPECT_EQ(s.Feedback1.caption(), withCode("Error writing ENQ character. ("));
    EXPECT_EQ(s.Feedback1.foreColor(), kRed);
    EXPECT_EQ(countOf(h.fake.calls(), "readFile"), 0u);
    EXPECT_EQ(countOf(h.fake.calls(), "closeEvent"), 1u);
    expectShown(c.replies.front().shows);
}

TEST_P(Status, AReplyThatCannotBeReadLeavesTheDisplayAsItWas) {
    h.app.click(*s.DrawerStatus);
    answer(c.replies.front().byte);
    h.fake.fail(Call::ReadFile, EIO);
    poll();
    EXPECT_EQ(s.Feedback1.caption(), withCode("Error getting status information. ("));
    EXPECT_EQ(s.Feedback1.foreColor(), kRed);
    EXPECT_EQ(countOf(h.fake.calls(), "closeEvent"), 1u);
    expectShown(c.replies.front().shows);
}

TEST_P(Status, ASilentPrinterShowsNoReplyUntilItAnswersAgain) {
    h.app.click(*s.DrawerStatus);
    answer(c.replies.front().byte);

    poll();  // nothing queued: the read waits its bound and times out
    EXPECT_EQ(s.Feedback1.caption(),
              "Error getting status information. (" + std::to_string(ports::kTimedOut) + ")");
    EXPECT_EQ(s.Feedback1.foreColor(), kRed);
    expectDrawer("No reply", kYellow, "The printer did not answer the status request.");
    // The screen still takes the user's clicks between polls.
    h.app.click(s.TestDrawer);
    EXPECT_FALSE(s.TestDrawer.value());

    // A reply that is not judged leaves "No reply"; the next judged one replaces it.
    for (const Reply& reply : c.replies) {
        if (reply.shows != Shows::Unchanged)
            continue;
        answer(reply.byte);
        expectDrawer("No reply", kYellow, "The printer did not answer the status request.");
    }
    answer(c.replies.front().byte);
    expectShown(c.replies.front().shows);
}

TEST_P(Status, AFailedEventIsReportedOnlyWhereTheScreenDoesSo) {
    h.app.click(*s.DrawerStatus);
    s.Feedback1.setCaption("");
    h.fake.fail(Call::CreateEvent, EIO);
    answer(c.replies.front().byte);
    EXPECT_EQ(s.Feedback1.caption(), c.eventFailure ? c.eventFailure : "");
    expectShown(c.replies.front().shows);
}

TEST_P(Status, CheckingHoldsTheChoiceAtDrawerOne) {
    h.app.click(s.TestDrawer);
    h.app.click(s.Drawer2);
    h.app.click(*s.DrawerStatus);
    EXPECT_TRUE(s.TestDrawer.value());
    EXPECT_TRUE(s.Drawer1.value());
    EXPECT_FALSE(s.Drawer2.value());
    EXPECT_FALSE(s.Drawer2.enabled());
    answer(c.replies.front().byte);

    h.app.click(*s.DrawerStatus);
    EXPECT_FALSE(s.Status_Timer->enabled());
    if (c.uncheckEndsDrawerTest) {
        EXPECT_FALSE(s.TestDrawer.value());
        EXPECT_FALSE(s.Drawer1.value());
        EXPECT_FALSE(s.Drawer1.enabled());
        EXPECT_FALSE(s.Drawer2.enabled());
        EXPECT_FALSE(s.TriggerCD.visible());
        EXPECT_FALSE(s.statusCaption->enabled());
        EXPECT_FALSE(s.cd_status->visible());
    } else {
        // Drawer 2 is free again; the drawer test and the last reading stay.
        EXPECT_TRUE(s.TestDrawer.value());
        EXPECT_TRUE(s.Drawer1.value());
        EXPECT_TRUE(s.Drawer2.enabled());
        EXPECT_TRUE(s.cd_status->isShown());
    }
    // Hiding the display does not clear it.
    expectShown(c.replies.front().shows);
}

INSTANTIATE_TEST_SUITE_P(PrinterScreens, Status, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<StatusCase>& i) {
                             return std::string(i.param.name);
                         });

TEST(IthacaStatus, EveryTestPageEndsWithAPollEvenWithItsBoxUnchecked) {
    support::ScreenHarness h;
    auto& s = h.open<screens::ITHACASerialform>();
    h.fake.queueReplies({0x48});
    h.app.click(s.Trigger);
    EXPECT_EQ(countOf(h.fake.calls(), "readFile"), 1u);
    EXPECT_EQ(s.statusReply(), 0x48);
    EXPECT_FALSE(s.cd_status->visible());
    EXPECT_EQ(s.cd_status->caption(), "Open");
    EXPECT_TRUE(s.Message_Timer.enabled());

    // A printer that does not answer: the poll's message is the last one the press leaves.
    h.app.click(s.Trigger);
    EXPECT_EQ(s.Feedback1.caption(),
              "Error getting status information. (" + std::to_string(ports::kTimedOut) + ")");
    EXPECT_EQ(s.cd_status->caption(), "No reply");
}
