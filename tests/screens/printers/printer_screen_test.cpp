// Each printer screen, reached through the selector: how it loads; its test sequence, the page,
// its end commands and the drawer command of the drawer and trigger on show whatever the order
// of the clicks, byte for byte with one write per byte; which writes are checked and with which
// message; a failed event; a port that is not open; what unchecking TestDrawer leaves behind.
// And the serial printers' port set-up.
#include <algorithm>

#include "printer_test_support.h"
#include "screens/printers/page_texts.h"

using namespace printer_tests;
using namespace std::chrono_literals;
using screens::TestDrawerOff;
using screens::TriggerReset;
using toolkit::colors::kRed;
using toolkit::colors::kWhite;

namespace {

// Bytes with the message their failed write shows: none, or one that ends with "(" and takes
// the error code and ")".
struct Segment {
    Bytes bytes;
    std::string failure;
};
using Segments = std::vector<Segment>;

Segments operator+(Segments a, const Segments& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes concat(const Segments& segments) {
    Bytes all;
    for (const Segment& s : segments)
        all.insert(all.end(), s.bytes.begin(), s.bytes.end());
    return all;
}

std::string render(const std::string& failure, ports::ErrorCode code) {
    return failure.ends_with("(") ? withCode(failure, code) : failure;
}

const std::string kPage = "Failure to write to printer .(";
const std::string kPrinter = "Failure to write to printer";

Segments text1() {
    return {{Bytes(screens::PageText.begin(), screens::PageText.end()), kPage}};
}

Segments sentences(const std::array<std::string_view, 5>& all, const Bytes& separator) {
    Segments page;
    for (std::string_view s : all) {
        if (!page.empty())
            page.push_back({separator, kPage});
        page.push_back({Bytes(s.begin(), s.end()), kPage});
    }
    return page;
}

// A drawer command and the caption of the trigger that names it.
struct Command {
    Bytes bytes;
    std::string caption;
};

struct SequenceCase {
    const char* form;
    Segments body;  // everything before the drawer command
    std::string drawerFailure;
    Command drawer1, alternate, drawer2;  // an alternate without bytes: no AltTrigger
    const char* calls;                    // of a press with TestDrawer checked
    std::string eventFailure;
    bool eventFailureRed;
    Segments after;       // the status request that follows every page
    TestDrawerOff off{};  // what unchecking TestDrawer does beyond clearing the drawers
};

void PrintTo(const SequenceCase& c, std::ostream* os) {
    *os << c.form;
}

const char* const kCalls = "createEvent flushFileBuffers writeFile closeEvent";
const Segments kEscPosEnd{{{0x1B, 0x64, 0x08, 0x1D, 0x56, 0x01}, ""}};
const Command kEscP0{{0x1B, 0x70, 0x00, 0x50, 0x50},
                     " Trigger Character is Hex String (1B, 70, 00, 50, 50)"};
const Bytes kEscP1{0x1B, 0x70, 0x01, 0x50, 0x50};
const Segments kIthacaEnd{{{0x18, 0x1B, 0x64, 0x10, 0x1B, 0x76}, kPrinter}};
const Command kEscX1{{0x1B, 0x78, 0x01}, " Trigger Character is Hex String (1B 78 01)"};
const Command kEscX2{{0x1B, 0x78, 0x02}, " Trigger Character is Hex string (1B 78 02) "};
const Command kBel{{0x07}, " Primary Trigger Character is Hex '07' "};
const Command kFs{{0x1C}, "Alternate Trigger Character is Hex '1C' "};
const Command kSub{{0x1A}, " Trigger Character is Hex '1A' "};
const Command kNone{};
const Segments kCharacterParallel = Segments{{{0x1B, 0x40}, kPrinter}} + text1() +
                                    Segments{{{0x1B, 0x61, 0x08, 0x1B, 0x64, 0x00}, kPrinter}};
const char* const kOverlapped = "Failed to create OverLapped event";
const Segments kNothing{};

const SequenceCase kCases[] = {
    {"EPSONSerialform", text1() + kEscPosEnd, "", kEscP0, kNone,
     Command{kEscP1, " Trigger Character is Hex string (1B, 70, 01, 50, 50)"}, kCalls, "", false,
     kNothing, TestDrawerOff{true, true, TriggerReset::ClearDisableAndHide}},
    {"EPSONParallelform", sentences(screens::Sentences42, {0x0A, 0x0A}) + kEscPosEnd, "", kEscP0,
     kNone, Command{kEscP1, " Trigger Character is Hex String (1B, 70, 01, 50, 50)"}, kCalls, "",
     false, kNothing},
    {"StarSerialform",
     sentences(screens::Sentences48, {0x0A, 0x0A}) +
         Segments{{{0x1B, 0x61, 0x08, 0x1B, 0x64}, kPage},
                  {{0x00}, "Failure to write to printer.("}},
     "Failure to write to Cash Drawer.(", Command{{0x07}, " Primary Trigger Character is Hex '07'"},
     kFs, kSub, "createEvent flushFileBuffers writeFile flushFileBuffers writeFile closeEvent",
     "failure to create event", true, kNothing, TestDrawerOff{.triggers = TriggerReset::Clear}},
    {"StarParallelform", kCharacterParallel, "Failure to write to Cash drawer", kBel, kFs, kSub,
     kCalls, kOverlapped, false, kNothing},
    {"CITIZENSerialform",
     sentences(screens::Sentences42, {0x0C, 0x02}) +
         Segments{{{0x0C, 0x02}, ""}, {{0x1B, 0x50, 0x00}, ""}},
     "", kBel, kFs, kSub, kCalls, "", false, kNothing,
     TestDrawerOff{.triggers = TriggerReset::ClearDisableAndHide}},
    {"CITIZENParallelform", kCharacterParallel, "Failure to write to Cash drawer", kBel, kFs, kSub,
     kCalls, kOverlapped, false, kNothing},
    {"ITHACASerialform", sentences(screens::Sentences42, {0x0A, 0x0A}) + kIthacaEnd,
     "Failure to write to Cash Drawer", kEscX1, kNone, kEscX2,
     "createEvent flushFileBuffers writeFile closeEvent "
     "flushFileBuffers createEvent purgeComm writeFile closeEvent",
     "", false, Segments{{{0x05}, ""}, {{0x01}, "Error writing ENQ character. ("}}},
    {"ITHACAParallelform", text1() + kIthacaEnd, "Failure to write to Cash Drawer", kEscX1, kNone,
     kEscX2, kCalls, "", false, kNothing},
};

enum class Sends { Nothing, Drawer1, Alternate, Drawer2 };
struct Choice {
    std::vector<std::string> clicks;
    Sends sends;
};
// The steps that click AltTrigger are left out on screens without it.
const Choice kChoices[] = {
    {{}, Sends::Nothing},
    {{"TestDrawer"}, Sends::Drawer1},
    {{"Drawer2"}, Sends::Drawer2},
    {{"Drawer1"}, Sends::Drawer1},
    {{"AltTrigger"}, Sends::Alternate},
    {{"PrimaryTrigger"}, Sends::Drawer1},
    {{"AltTrigger", "Drawer2"}, Sends::Drawer2},
    {{"Drawer1"}, Sends::Drawer1},
    {{"Drawer1", "PrimaryTrigger"}, Sends::Drawer1},  // the chosen ones again: no change
    {{"Drawer2", "TestDrawer"}, Sends::Nothing},
    {{"TestDrawer"}, Sends::Drawer1},
};

class EachScreen : public ::testing::TestWithParam<SequenceCase> {
protected:
    const SequenceCase& c = GetParam();
    support::ScreenHarness h;
    screens::PrinterScreen& s = openPrinter(h, c.form);
    const Segments checkedRun = c.body + Segments{{c.drawer1.bytes, c.drawerFailure}} + c.after;

    // Presses "Test / Print " with Feedback1 cleared, once the status request that ended the
    // last page is over (its poll would wait for it).
    Bytes press() {
        h.runFor(2s);
        s.Feedback1.setCaption("");
        s.Feedback1.setForeColor(kWhite);
        h.fake.clearCalls();
        h.app.click(s.Trigger);
        return sentBytes(h.fake);
    }
    void expectFeedback(const std::string& failure, ports::ErrorCode code) {
        EXPECT_EQ(s.Feedback1.caption(), render(failure, code));
        EXPECT_EQ(s.Feedback1.foreColor(), failure.empty() ? kWhite : kRed);
    }
};

}  // namespace

TEST_P(EachScreen, LoadsWithPortOneOpen) {
    const bool serial = std::string_view(c.form).find("Serial") != std::string_view::npos;
    // How each screen looks at load, its message included, is its reference picture's to
    // check, and that it does not poll the soak's.
    EXPECT_TRUE(h.fake.isOpen(serial ? "COM1" : "LPT1"));
    EXPECT_FALSE(s.Text1 && s.Text1->visible()) << "the page's text is no box to type in";

    // The serial screens keep the port's messages until the first test or port change.
    const std::string loaded = s.Feedback1.caption();
    h.runFor(4000ms);
    EXPECT_EQ(s.Feedback1.caption(), serial ? loaded : "");
    if (!serial) {
        h.app.click(s.port2Option);
        for (const std::string& call : h.fake.calls())
            EXPECT_TRUE(call.starts_with("createFile") || call.starts_with("closeHandle")) << call;
    }
}

TEST_P(EachScreen, SendsThePageAndTheCommandOfTheDrawerAndTriggerOnShow) {
    const bool alternate = !c.alternate.bytes.empty();
    ASSERT_EQ(s.AltTrigger.has_value(), alternate);
    for (const Choice& choice : kChoices) {
        if (!alternate && std::ranges::count(choice.clicks, "AltTrigger") > 0)
            continue;
        SCOPED_TRACE("after clicking " + ::testing::PrintToString(choice.clicks));
        for (const std::string& name : choice.clicks)
            h.app.click(*s.find(name));
        const Command& command = choice.sends == Sends::Drawer1     ? c.drawer1
                                 : choice.sends == Sends::Alternate ? c.alternate
                                 : choice.sends == Sends::Drawer2   ? c.drawer2
                                                                    : kNone;
        EXPECT_EQ(press(), concat(c.body + Segments{{command.bytes, ""}} + c.after));
        EXPECT_TRUE(s.Message_Timer.enabled());
        EXPECT_EQ(s.TriggerCD.visible(), choice.sends != Sends::Nothing);
        if (choice.sends == Sends::Nothing)
            continue;
        EXPECT_EQ(callNames(h.fake), c.calls);
        const bool drawer2 = choice.sends == Sends::Drawer2;
        EXPECT_TRUE(s.PrimaryTrigger.isUsable());
        EXPECT_EQ(s.PrimaryTrigger.caption(), (drawer2 ? c.drawer2 : c.drawer1).caption);
        if (alternate) {
            EXPECT_EQ(std::pair(s.AltTrigger->enabled(), s.AltTrigger->visible()),
                      std::pair(!drawer2, !drawer2));
            EXPECT_EQ(s.AltTrigger->caption(), c.alternate.caption);
        }
    }
}

TEST_P(EachScreen, EachCheckedWriteShowsItsMessageAndTheSequenceGoesOn) {
    h.app.click(s.TestDrawer);
    const std::size_t total = concat(checkedRun).size();
    press();
    expectFeedback("", 0);
    std::size_t offset = 0;
    for (const Segment& segment : checkedRun) {
        SCOPED_TRACE(::testing::Message() << "writes " << offset << " on fail");
        h.fake.failWrites(EIO, offset, segment.bytes.size());
        EXPECT_EQ(press().size(), total);
        expectFeedback(segment.failure, EIO);
        offset += segment.bytes.size();
    }

    h.fake.fail(support::Call::CreateEvent, EIO);
    EXPECT_EQ(press().size(), total) << "a failed event stops nothing";
    EXPECT_EQ(s.Feedback1.caption(), c.eventFailure);
    EXPECT_EQ(s.Feedback1.foreColor(), c.eventFailureRed ? kRed : kWhite);

    // With no port open every write fails: the last checked one's message stays.
    h.fake.setMissing(s.port2Option.name());
    h.app.click(s.port2Option);
    h.runFor(2000ms);  // the port change's message is half way through its time
    EXPECT_EQ(press().size(), total);
    const auto last = std::ranges::find_if(checkedRun.rbegin(), checkedRun.rend(),
                                           [](const Segment& seg) { return !seg.failure.empty(); });
    expectFeedback(last->failure, EBADF);
    h.runFor(3900ms);  // a press gives its message the whole four seconds
    expectFeedback(last->failure, EBADF);
    EXPECT_TRUE(s.Trigger.isUsable());
}

TEST_P(EachScreen, UncheckingTestDrawerClearsTheChoiceAsTheScreenDoes) {
    const bool clears = c.off.triggers != TriggerReset::Keep;
    const bool hides = c.off.triggers == TriggerReset::ClearDisableAndHide;
    h.app.click(s.TestDrawer);
    if (s.AltTrigger)
        h.app.click(*s.AltTrigger);
    h.app.click(s.TestDrawer);
    EXPECT_FALSE(s.Drawer1.value());
    EXPECT_FALSE(s.Drawer1.enabled());
    EXPECT_FALSE(s.TriggerCD.visible());
    EXPECT_EQ(s.PrimaryTrigger.value(), !clears && !s.AltTrigger);
    EXPECT_EQ(s.PrimaryTrigger.visible(), !hides);
    if (s.AltTrigger) {
        EXPECT_EQ(s.AltTrigger->value(), !clears);
        EXPECT_EQ(s.AltTrigger->enabled(), !hides);
    }

    h.app.click(s.TestDrawer);
    h.app.click(s.Drawer2);
    h.app.click(s.TestDrawer);
    EXPECT_EQ(s.Drawer2.value(), c.off.keepsDrawer2);
    EXPECT_FALSE(s.Drawer2.enabled());
    EXPECT_EQ(s.TriggerCD.enabled(), !c.off.disablesTriggerFrame);
}

INSTANTIATE_TEST_SUITE_P(PrinterScreens, EachScreen, ::testing::ValuesIn(kCases),
                         [](const auto& p) { return std::string(p.param.form); });

TEST(PrinterSetUp, SerialScreensRunAt9600WithRtsAfterEveryOpenAndReportFailures) {
    support::ScreenHarness h;
    // The calls of the load's set-up, one by one: the wire log's test.
    auto& s = openPrinter(h, "CITIZENSerialform");
    h.app.click(s.port2Option);
    EXPECT_EQ(countOf(h.fake, "buildCommDcb(COM2:9600,n,8,1)"), 1u);
    EXPECT_EQ(s.Feedback1.foreColor(), toolkit::colors::kGreen);
    h.runFor(4000ms);
    EXPECT_EQ(s.Feedback1.caption(), "") << "a port change starts the message timer again";

    h.fake.clearCalls();
    h.fake.fail(support::Call::GetCommState, EIO);
    h.app.click(s.port1Option);
    EXPECT_EQ(s.Feedback1.caption(), withCode("error acquiring comm setup. ("));
    EXPECT_EQ(s.Feedback1.foreColor(), toolkit::colors::kRed);
    EXPECT_EQ(countOf(h.fake, "setCommState"), 0u);
    h.fake.fail(support::Call::SetCommState, EIO);
    h.app.click(s.port2Option);
    EXPECT_EQ(s.Feedback1.caption(), withCode("error writing comm settings. ("));
    EXPECT_EQ(countOf(h.fake, "escapeCommFunction"), 0u);
    EXPECT_TRUE(s.Message_Timer.enabled());
}
