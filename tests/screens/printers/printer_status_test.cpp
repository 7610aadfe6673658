// The drawer status of the Epson, Star and Ithaca serial screens: polling exactly while
// "Report  Drawer Status" is checked, with the drawer choice held at drawer 1; each request sent
// on one tick with the input thrown away first, its reply taken on a later one; the judging of
// each reply; every way a poll can fail; a silent printer and one that takes no data; and on a
// 9600-baud line with a printer on it, a page that delays the reply but never makes the reading
// stale.
#include <cstdio>
#include <optional>
#include <set>
#include <tuple>

#include "printer_test_support.h"
#include "screens/common/screen_checks.h"
#include "sim/printer.h"

using namespace printer_tests;
using namespace std::chrono_literals;
using support::expectLine;
using toolkit::colors::kGreen;
using toolkit::colors::kRed;
using toolkit::colors::kYellow;

namespace {

struct StatusCase {
    const char* name;
    const protocol::CommandSet& commands;
    Bytes request;
    const char* calls;  // of a reply taken and the next request
    bool greensFeedback2;
    bool usesSharedRecord;
    const char* eventFailure;
    Bytes open, closed, ignored;  // replies
    bool showsUnknown;            // what an ignored reply shows
    bool uncheckEndsDrawerTest;
};

void PrintTo(const StatusCase& c, std::ostream* os) {
    *os << c.name;
}

const char* const kPoll = "clearCommError readFile createEvent purgeComm writeFile closeEvent";
const char* const kFlushedPoll =
    "clearCommError readFile flushFileBuffers createEvent purgeComm writeFile closeEvent";

// The Epson reply is the real-time status byte: pin 3 of the drawer-kick connector (0x04) high
// means closed, whether the printer is on line (0x12, 0x16) or not (0x1A, 0x1E); a byte whose
// fixed bits are wrong is no status byte.
const StatusCase kCases[] = {
    {"EPSONSerialform", protocol::epsonCommands(), Bytes{0x10, 0x04, 0x01}, kPoll, true, false, "",
     Bytes{0x12, 0x1A}, Bytes{0x16, 0x1E}, Bytes{0x00, 0xFF, 0x13, 0x92, 0x02}, true, false},
    {"StarSerialform", protocol::starCommands(), Bytes{0x05}, kFlushedPoll, false, false,
     "failure to create event", Bytes{0x00, 0x7F}, Bytes{0x80, 0xFF}, Bytes{}, false, true},
    {"ITHACASerialform", protocol::ithacaCommands(), Bytes{0x05, 0x01}, kFlushedPoll, true, true,
     "", Bytes{0x48}, Bytes{0x08}, Bytes{0x00, 0x40, 0x09, 0xC8}, false, true},
};

enum Shows { Open, Closed, NoReply, Unknown };

class Status : public ::testing::TestWithParam<StatusCase> {
protected:
    const StatusCase& c = GetParam();
    support::ScreenHarness h;
    screens::PrinterScreen& s = openPrinter(h, c.name);
    // Checks the box: the first request goes out on the next tick.
    void start() {
        h.app.click(*s.DrawerStatus);
        h.runFor(100ms);
    }
    // One tick's time: the printer answers the request on its way (or stays silent), its reply
    // is taken and the next request goes out.
    void answer(std::optional<std::uint8_t> byte) {
        h.fake.clearCalls();
        if (byte)
            h.fake.queueReplies({*byte});
        h.runFor(100ms);
    }
    void expectShown(Shows shows, std::uint8_t reply = 0) {
        char unknown[64];
        std::snprintf(unknown, sizeof unknown,
                      "The printer answered 0x%02X, which is not a drawer status.", reply);
        const std::tuple<const char*, toolkit::Color, std::string> looks[] = {
            {"Open", kGreen, "Drawer indicates open."},
            {"Closed", kRed, "Drawer indicates closed."},
            {"No reply", kYellow, "The printer did not answer the status request."},
            {"Unknown", kYellow, unknown}};
        EXPECT_EQ(
            std::tuple(s.cd_status->caption(), s.cd_status->foreColor(), s.cd_status->toolTip()),
            looks[shows]);
    }
};

}  // namespace

TEST_P(Status, PollsExactlyWhileItsBoxIsCheckedHoldingTheChoiceAtDrawerOne) {
    h.app.click(s.TestDrawer);
    h.app.click(s.Drawer2);
    s.Feedback2.setForeColor(kYellow);
    start();
    EXPECT_TRUE(s.Drawer1.value());
    EXPECT_FALSE(s.Drawer2.enabled());
    EXPECT_EQ(s.Feedback2.foreColor(), c.greensFeedback2 ? kGreen : kYellow);

    answer(c.closed.front());
    expectShown(Closed);
    EXPECT_EQ(sentBytes(h.fake), c.request);
    EXPECT_EQ(callNames(h.fake), c.calls) << "what came before a request is thrown away";
    EXPECT_EQ(countOf(h.fake, "createEvent(true, false, \"0\")"), 1u);
    EXPECT_EQ(h.records.writeOverlapped.event != 0, c.usesSharedRecord);

    // The reply to a request sent on COM1 is not looked for on COM2.
    h.app.click(s.port2Option);
    answer(c.open.front());
    EXPECT_EQ(countOf(h.fake, "clearCommError"), 0u);
    EXPECT_EQ(countOf(h.fake, "writeFile(2"), c.request.size()) << "polling goes on on COM2";

    // Unchecking stops the requests, and nothing of a poll shows after it: neither the reply
    // to the one on its way nor its silence.
    h.app.click(*s.DrawerStatus);
    const bool kept = !c.uncheckEndsDrawerTest;
    EXPECT_EQ(s.TestDrawer.value(), kept);
    EXPECT_EQ(s.Drawer1.value(), kept);
    EXPECT_EQ(s.Drawer2.enabled(), kept);
    EXPECT_EQ(s.TriggerCD.visible(), kept);
    EXPECT_EQ(s.statusCaption->enabled(), kept);
    EXPECT_EQ(s.cd_status->isShown(), kept);
    s.Feedback1.setCaption("");
    answer(c.open.front());
    expectShown(Closed);
    EXPECT_EQ(s.statusReply(), c.closed.front());
    h.app.click(*s.DrawerStatus);
    h.runFor(100ms);  // a request goes out
    h.app.click(*s.DrawerStatus);
    h.runFor(1s);
    EXPECT_EQ(std::pair(s.Feedback1.caption(), s.cd_status->caption()),
              std::pair(std::string(), std::string("Closed")));
    h.app.click(s.port1Option);
    answer(c.closed.front());
    EXPECT_EQ(sentBytes(h.fake), Bytes{}) << "a port change starts no polling";
}

TEST_P(Status, JudgesEachReplyByThePrintersRuleAndShowsASilentPrinter) {
    start();
    EXPECT_TRUE(s.TestDrawer.value()) << "the status is the drawer test's";
    answer(std::nullopt);
    expectLine(s.Feedback1, withCode("Error getting status information. (", ports::kTimedOut),
               kRed);
    expectShown(NoReply);
    EXPECT_EQ(sentBytes(h.fake), Bytes{}) << "its reply may still come";
    h.runFor(400ms);
    EXPECT_EQ(sentBytes(h.fake), Bytes{});
    h.runFor(100ms);
    EXPECT_EQ(sentBytes(h.fake), c.request) << "and asks again once the line has been quiet";
    EXPECT_EQ(h.fake.waited(), 0ms) << "the window never waits for a reply";

    std::pair<Shows, std::uint8_t> last{NoReply, 0};
    for (const auto& [replies, shows] : {std::pair{c.ignored, Unknown},
                                         {c.open, Open},
                                         {c.ignored, Unknown},
                                         {c.closed, Closed},
                                         {c.ignored, Unknown}}) {
        for (std::uint8_t reply : replies) {
            SCOPED_TRACE(::testing::Message() << "reply 0x" << std::hex << int{reply});
            answer(reply);
            EXPECT_EQ(s.statusReply(), reply);
            if (shows != Unknown || c.showsUnknown)
                last = {shows, reply};
            expectShown(last.first, last.second);
        }
    }

    h.app.click(s.exit);
    answer(c.open.front());
    EXPECT_EQ(h.fake.calls(), std::vector<std::string>{}) << "polling ends with the screen";
}

TEST_P(Status, AFailedPollIsReportedAndLeavesTheDisplayAsItWas) {
    start();
    answer(c.open.front());
    s.Feedback1.setCaption("");
    h.fake.failWrites(EIO, 0, c.request.size() - 1);
    answer(c.open.front());
    EXPECT_EQ(s.Feedback1.caption(), "") << "only the request's last write is looked at";

    h.fake.failWrites(EIO, c.request.size() - 1, 1);
    answer(c.open.front());
    expectLine(s.Feedback1, withCode("Error writing ENQ character. ("), kRed);
    answer(std::nullopt);
    EXPECT_EQ(countOf(h.fake, "clearCommError"), 0u) << "no request, no reply to wait for";

    for (const support::Call call : {support::Call::ClearCommError, support::Call::Read}) {
        h.fake.fail(call, EIO);
        answer(c.closed.front());
        expectLine(s.Feedback1, withCode("Error getting status information. ("), kRed);
        expectShown(Open);
    }

    s.Feedback1.setCaption("");
    h.fake.fail(support::Call::CreateEvent, EIO);
    answer(c.closed.front());
    EXPECT_EQ(s.Feedback1.caption(), c.eventFailure);
    answer(c.closed.front());
    expectShown(Closed);  // a failed event stops nothing
}

// The poll and the page that follows it wait out one stall budget, not one each.
TEST_P(Status, APrinterThatTakesNoDataHoldsTheWindowOneSecondInAll) {
    h.fake.setTakesData("COM1", false);
    start();
    h.app.click(s.Trigger);
    answer(std::nullopt);
    EXPECT_EQ(h.fake.waited(), 1000ms);
    expectLine(s.Feedback1, withCode("Error writing ENQ character. (", ports::kTimedOut), kRed);
}

// A slow printer, answering well past the bound: one request is out at a time, so a late reply
// is its own request's. The first request shows the silence, as any does, until its reply comes;
// from then on the printer is given the time it takes, and the reading is right and steady, and
// follows the drawer. A slow printer that falls silent shows so too.
TEST_P(Status, ASlowPrintersLateReplyIsItsOwnAndTheReadingStaysSteady) {
    for (const auto delay : {120ms, 380ms}) {
        SCOPED_TRACE(delay.count());
        support::ScreenHarness slow;
        auto printer = std::make_shared<sim::Printer>(c.commands);
        slow.fake.attach("COM1", printer);
        slow.fake.line("COM1").setReplyDelay(delay);
        auto& screen = openPrinter(slow, c.name);
        // Every request (each begins with a purge) goes once the last one's reply has been read,
        // or once the line has been quiet past the late bound.
        std::size_t requests = 0;
        std::size_t readsBefore = 0;
        toolkit::Millis sentAt{};
        std::set<std::string> shown;
        const auto watch = [&](toolkit::Millis time) {
            for (const toolkit::Millis end = slow.clock.now() + time; slow.clock.now() < end;) {
                slow.runFor(10ms);
                const std::size_t reads = countOf(slow.fake, "readFile");
                if (countOf(slow.fake, "purgeComm") > requests) {
                    EXPECT_TRUE(requests == 0 || reads > readsBefore ||
                                slow.clock.now() - sentAt > screens::kLateReplyBound)
                        << "a request at " << slow.clock.now().count() << " ms";
                    ++requests;
                    readsBefore = reads;
                    sentAt = slow.clock.now();
                }
                shown.insert(screen.cd_status->caption() + "|" + screen.Feedback1.caption());
            }
        };
        slow.app.click(*screen.DrawerStatus);
        watch(200ms);
        EXPECT_EQ(screen.cd_status->caption(), "No reply") << "50 ms after its request";
        watch(delay);
        EXPECT_EQ(std::pair(screen.cd_status->caption(), screen.Feedback1.caption()),
                  std::pair(std::string("Closed"), std::string()))
            << "the late reply answers the silence told before it";

        shown.clear();
        watch(3s);
        EXPECT_EQ(shown, std::set<std::string>{"Closed|"});

        printer->setDrawer(1, true, slow.clock.now());
        watch(2 * (delay + screens::kPollPeriod));
        EXPECT_EQ(screen.cd_status->caption(), "Open");
        slow.fake.line("COM1").setFarEnd(sim::Line::FarEnd::SwitchedOff, slow.clock.now());
        watch(delay + screens::kLateReplyBound + 2 * screens::kPollPeriod);
        EXPECT_EQ(screen.cd_status->caption(), "No reply");
        // Silent now, it has its 50 ms again: the next request is told silent at the bound.
        for (const std::size_t asked = requests; requests == asked;)
            watch(10ms);
        screen.Feedback1.setCaption("");
        watch(screens::kPollPeriod);
        EXPECT_NE(screen.Feedback1.caption(), "");
    }
}

INSTANTIATE_TEST_SUITE_P(PrinterScreens, Status, ::testing::ValuesIn(kCases),
                         [](const auto& p) { return std::string(p.param.name); });

// The poll that ends every Ithaca page runs with its box unchecked too; the printer can only
// answer once the page before the request has left the 9600-baud line.
TEST(IthacaStatus, EveryTestPageEndsWithAPollAnsweredOnceThePageHasGone) {
    support::ScreenHarness h;
    auto& s = openPrinter(h, "ITHACASerialform");
    h.app.click(s.Trigger);
    h.fake.queueReplies({0x48});
    h.runFor(1000ms);
    EXPECT_EQ(s.cd_status->caption(), "Open") << "judged while hidden";

    h.fake.clearCalls();
    h.app.click(s.Trigger);
    const auto onTheLine = std::chrono::duration_cast<toolkit::Millis>(
        ports::wireTime(h.fake.bytesWritten().size(), 9600));
    h.runFor(onTheLine + 49ms);
    EXPECT_EQ(s.cd_status->caption(), "Open") << "no silence while the page is on the line";
    h.runFor(51ms);
    EXPECT_EQ(s.cd_status->caption(), "No reply");

    // A page that ends while the last one's request is still out: its poll follows once that
    // request is over, and shows its reading all the same.
    h.runFor(1s);
    h.fake.clearCalls();
    h.app.click(s.Trigger);
    h.app.click(s.Trigger);
    EXPECT_EQ(countOf(h.fake, "purgeComm"), 1u) << "one request out";
    for (int tick = 0; tick < 300 && countOf(h.fake, "purgeComm") < 2; ++tick)
        h.runFor(10ms);
    h.fake.queueReplies({0x08});
    h.runFor(200ms);
    EXPECT_EQ(std::pair(countOf(h.fake, "purgeComm"), s.cd_status->caption()),
              std::pair(std::size_t{2}, std::string("Closed")));
}

// A printer that holds the line while it prints keeps the page in the port's output queue
// longer than its time on the wire: the request behind it is waited for as long as a flush
// would wait past that time (1 s); a line held longer is as silent as a printer that does not
// answer.
TEST(EpsonStatus, ARequestQueuedBehindAHeldPageIsWaitedForASecondPastItsTime) {
    for (const auto held : {800ms, 2000ms}) {
        SCOPED_TRACE(held.count());
        support::ScreenHarness h;
        h.fake.attach("COM1", std::make_shared<sim::Printer>(protocol::epsonCommands()));
        auto& s = openPrinter(h, "EPSONSerialform");
        h.app.click(*s.DrawerStatus);
        h.runFor(100ms);
        h.app.click(s.Trigger);
        h.fake.setTakesData("COM1", false);
        h.runFor(held);
        EXPECT_EQ(s.cd_status->caption(), held < 1500ms ? "Closed" : "No reply");
        h.fake.setTakesData("COM1", true);
        h.runFor(1s);
        EXPECT_EQ(s.cd_status->caption(), "Open");
    }
}

// Why the drawer did not open: only after a kick, and only while the printer says it is offline,
// is it asked why; the answer stays in Feedback2, and the kick it held opens the drawer once the
// cover is shut. Without a kick the poll is the screen's own alone.
TEST(EpsonStatus, AKickAnOfflinePrinterHoldsIsExplained) {
    const Bytes why{0x10, 0x04, 0x02, 0x10, 0x04, 0x04};
    const auto askedWhy = [&why](const Bytes& sent) {
        return std::search(sent.begin(), sent.end(), why.begin(), why.end()) != sent.end();
    };
    support::ScreenHarness h;
    auto printer = std::make_shared<sim::Printer>(protocol::epsonCommands());
    printer->setCondition({.coverOpen = true}, {});
    h.fake.attach("COM1", printer);
    auto& s = openPrinter(h, "EPSONSerialform");
    h.app.click(*s.DrawerStatus);
    h.runFor(1s);
    EXPECT_EQ(s.cd_status->caption(), "Closed");
    EXPECT_FALSE(askedWhy(h.fake.bytesWritten())) << "no kick, no question";

    h.app.click(s.Trigger);
    h.runFor(1500ms);
    EXPECT_TRUE(askedWhy(h.fake.bytesWritten()));
    expectLine(s.Feedback2,
               "The printer is offline (cover open): it will not open the drawer until it is back "
               "online.",
               kGreen);  // the polls turn Feedback2 green, its text stays
    EXPECT_EQ(s.cd_status->caption(), "Closed");
    h.fake.clearCalls();
    h.runFor(1s);
    EXPECT_FALSE(askedWhy(h.fake.bytesWritten())) << "asked once a kick";

    printer->setCondition({}, h.clock.now());
    h.runFor(300ms);
    EXPECT_EQ(s.cd_status->caption(), "Open");
    EXPECT_TRUE(printer->drawer(1).isOpen());
}
