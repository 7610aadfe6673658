// The drawer status of the Epson, Star and Ithaca serial screens: polling exactly while
// "Report  Drawer Status" is checked, with the drawer choice held at drawer 1; the request;
// the judging of each reply; every way a poll can fail, a silent printer included.
#include <optional>

#include "printer_test_support.h"

using namespace printer_tests;
using namespace std::chrono_literals;
using screens::ScreenId;
using toolkit::colors::kGreen;
using toolkit::colors::kRed;
using toolkit::colors::kYellow;

namespace {

struct StatusCase {
    ScreenId id;
    const char* name;
    Bytes request;
    const char* calls;  // of one poll
    bool greensFeedback2;
    bool usesSharedRecord;
    const char* eventFailure;
    Bytes open, closed, ignored;  // replies
    bool uncheckEndsDrawerTest;
};

void PrintTo(const StatusCase& c, std::ostream* os) {
    *os << c.name;
}

const char* const kPoll = "createEvent writeFile readFile closeEvent";
const char* const kFlushedPoll = "flushFileBuffers createEvent writeFile readFile closeEvent";

// The Epson reply is the real-time status byte: pin 3 of the drawer-kick connector (0x04) high
// means closed, whether the printer is on line (0x12, 0x16) or not (0x1A, 0x1E); a byte whose
// fixed bits are wrong is no status byte and says nothing.
const StatusCase kCases[] = {
    {ScreenId::EPSONSerialform, "EPSONSerialform", Bytes{0x10, 0x04, 0x01}, kPoll, true, false, "",
     Bytes{0x12, 0x1A}, Bytes{0x16, 0x1E}, Bytes{0x00, 0xFF, 0x13, 0x92, 0x02}, false},
    {ScreenId::StarSerialform, "StarSerialform", Bytes{0x05}, kFlushedPoll, false, false,
     "failure to create event", Bytes{0x00, 0x7F}, Bytes{0x80, 0xFF}, Bytes{}, true},
    {ScreenId::ITHACASerialform, "ITHACASerialform", Bytes{0x05, 0x01}, kFlushedPoll, true, true,
     "", Bytes{0x48}, Bytes{0x08}, Bytes{0x00, 0x40, 0x09, 0xC8}, true},
};

enum class Shows { Open, Closed, NoReply };

class Status : public ::testing::TestWithParam<StatusCase> {
protected:
    const StatusCase& c = GetParam();
    support::ScreenHarness h;
    screens::PrinterScreen& s = openPrinter(h, c.id);

    void poll() {
        h.fake.clearCalls();
        h.runFor(100ms);
    }
    void answer(std::uint8_t byte) {
        h.fake.queueReplies({byte});
        poll();
    }
    void expectShown(Shows shows) {
        const bool open = shows == Shows::Open;
        const bool closed = shows == Shows::Closed;
        EXPECT_EQ(s.cd_status->caption(), open ? "Open" : closed ? "Closed" : "No reply");
        EXPECT_EQ(s.cd_status->foreColor(), open ? kGreen : closed ? kRed : kYellow);
        EXPECT_EQ(s.cd_status->toolTip(), open ? "Drawer indicates open."
                                          : closed
                                              ? "Drawer indicates closed."
                                              : "The printer did not answer the status request.");
    }
    void expectMessage(const std::string& text) {
        EXPECT_EQ(s.Feedback1.caption(), text);
        EXPECT_EQ(s.Feedback1.foreColor(), kRed);
    }
};

}  // namespace

TEST_P(Status, PollsExactlyWhileItsBoxIsCheckedHoldingTheChoiceAtDrawerOne) {
    h.app.click(s.TestDrawer);
    h.app.click(s.Drawer2);
    h.app.click(*s.DrawerStatus);
    EXPECT_TRUE(s.Drawer1.value());
    EXPECT_FALSE(s.Drawer2.enabled());
    EXPECT_TRUE(s.statusCaption->enabled());
    EXPECT_TRUE(s.cd_status->isUsable());

    s.Feedback2.setForeColor(kYellow);
    answer(c.closed.front());
    EXPECT_EQ(sentBytes(h.fake), c.request);
    EXPECT_EQ(callNames(h.fake), c.calls);
    EXPECT_EQ(countOf(h.fake, "createEvent(true, false, \"0\")"), 1u);
    EXPECT_EQ(h.records.writeOverlapped.event != 0, c.usesSharedRecord);
    EXPECT_EQ(s.Feedback2.foreColor(), c.greensFeedback2 ? kGreen : kYellow);

    h.app.click(s.port2Option);
    answer(c.closed.front());
    EXPECT_EQ(countOf(h.fake, "readFile"), 1u) << "polling goes on on the new port";

    h.app.click(*s.DrawerStatus);
    const bool kept = !c.uncheckEndsDrawerTest;
    EXPECT_EQ(s.TestDrawer.value(), kept);
    EXPECT_EQ(s.Drawer1.value(), kept);
    EXPECT_EQ(s.Drawer2.enabled(), kept);
    EXPECT_EQ(s.TriggerCD.visible(), kept);
    EXPECT_EQ(s.statusCaption->enabled(), kept);
    EXPECT_EQ(s.cd_status->isShown(), kept);
    expectShown(Shows::Closed);
    h.app.click(s.port1Option);
    poll();
    EXPECT_EQ(countOf(h.fake, "readFile"), 0u) << "a port change starts no polling";
}

TEST_P(Status, JudgesEachReplyByThePrintersRuleAndShowsASilentPrinter) {
    h.app.click(*s.DrawerStatus);
    poll();  // nothing queued: the read waits its bound and times out
    expectMessage(withCode("Error getting status information. (", ports::kTimedOut));
    expectShown(Shows::NoReply);
    Shows last = Shows::NoReply;
    const auto answerEach = [&](const Bytes& replies, std::optional<Shows> shows) {
        for (std::uint8_t reply : replies) {
            SCOPED_TRACE(::testing::Message() << "reply 0x" << std::hex << int{reply});
            answer(reply);
            EXPECT_EQ(s.statusReply(), reply);
            last = shows.value_or(last);
            expectShown(last);
        }
    };
    answerEach(c.ignored, std::nullopt);
    answerEach(c.open, Shows::Open);
    answerEach(c.ignored, std::nullopt);
    answerEach(c.closed, Shows::Closed);
    answerEach(c.ignored, std::nullopt);

    h.app.click(s.exit);
    h.fake.clearCalls();
    h.runFor(1000ms);
    EXPECT_EQ(countOf(h.fake, "readFile"), 0u) << "polling ends with the screen";
}

TEST_P(Status, AFailedPollIsReportedAndLeavesTheDisplayAsItWas) {
    h.app.click(*s.DrawerStatus);
    answer(c.open.front());
    s.Feedback1.setCaption("");
    h.fake.failWrites(EIO, 0, c.request.size() - 1);
    answer(c.open.front());
    EXPECT_EQ(s.Feedback1.caption(), "") << "only the request's last write is looked at";

    h.fake.failWrites(EIO, c.request.size() - 1, 1);
    poll();
    expectMessage(withCode("Error writing ENQ character. ("));
    EXPECT_EQ(countOf(h.fake, "readFile"), 0u);
    EXPECT_EQ(countOf(h.fake, "closeEvent"), 1u);

    h.fake.fail(support::Call::ReadFile, EIO);
    poll();
    expectMessage(withCode("Error getting status information. ("));
    EXPECT_EQ(countOf(h.fake, "closeEvent"), 1u);
    expectShown(Shows::Open);

    s.Feedback1.setCaption("");
    h.fake.fail(support::Call::CreateEvent, EIO);
    answer(c.closed.front());
    EXPECT_EQ(s.Feedback1.caption(), c.eventFailure);
    expectShown(Shows::Closed);  // a failed event stops nothing
}

INSTANTIATE_TEST_SUITE_P(PrinterScreens, Status, ::testing::ValuesIn(kCases),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(IthacaStatus, EveryTestPageEndsWithAPollEvenWithItsBoxUnchecked) {
    support::ScreenHarness h;
    auto& s = openPrinter(h, ScreenId::ITHACASerialform);
    h.fake.queueReplies({0x48});
    h.app.click(s.Trigger);
    EXPECT_EQ(s.statusReply(), 0x48);
    EXPECT_EQ(s.cd_status->caption(), "Open") << "judged while hidden";
}
