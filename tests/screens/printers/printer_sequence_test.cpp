// The test sequence of each printer screen, byte for byte with one write per byte: the page,
// its end commands and the drawer command per drawer and trigger; which writes are checked and
// with which message; a failed event; a port that never opened; and the selector's way in.
#include <gtest/gtest.h>

#include "printer_test_support.h"
#include "screens/printers/printer_screens.h"

using namespace printer_tests;
using screens::PageText;
using screens::ScreenId;
using screens::Sentences42;
using screens::Sentences48;
using support::Call;
using toolkit::colors::kRed;
using toolkit::colors::kWhite;

namespace {

// Bytes with the message their failed write shows ("" when it is not checked); a '#' stands
// for the error code.
struct Segment {
    Bytes bytes;
    std::string failure;
};

struct SequenceCase {
    const char* name;
    Opener open;
    std::vector<Segment> body;  // everything before the drawer command
    std::string drawerFailure;
    Bytes drawer1;
    Bytes alternate1;  // empty: no alternate trigger
    Bytes drawer2;
    std::vector<Segment> after;  // the status request that ends every test (Ithaca serial)
    std::string eventFailure;
    bool eventFailureRed;
};

void PrintTo(const SequenceCase& c, std::ostream* os) {
    *os << c.name;
}

const std::string kPage = "Failure to write to printer .(#)";
const std::string kPrinter = "Failure to write to printer";

std::vector<Segment> text1Page() {
    return {{bytesOf(PageText), kPage}};
}

std::vector<Segment> sentences(const std::array<std::string_view, 5>& s, const Bytes& separator) {
    std::vector<Segment> page;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (i > 0)
            page.push_back({separator, kPage});
        page.push_back({bytesOf(s[i]), kPage});
    }
    return page;
}

using printer_tests::operator+;
std::vector<Segment> operator+(std::vector<Segment> a, const std::vector<Segment>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::string render(const std::string& failure, ports::ErrorCode code) {
    const std::size_t at = failure.find('#');
    if (at == std::string::npos)
        return failure;
    return failure.substr(0, at) + std::to_string(code) + failure.substr(at + 1);
}

Bytes concat(const std::vector<Segment>& segments) {
    Bytes all;
    for (const Segment& s : segments)
        all = all + s.bytes;
    return all;
}

const SequenceCase kCases[] = {
    {"EpsonSerial",
     openScreen<screens::EPSONSerialform>,
     text1Page() + std::vector<Segment>{{{0x1B, 0x64, 0x08, 0x1D, 0x56, 0x01}, ""}},
     "",
     {0x1B, 0x70, 0x00, 0x50, 0x50},
     {},
     {0x1B, 0x70, 0x01, 0x50, 0x50},
     {},
     "",
     true},
    {"EpsonParallel",
     openScreen<screens::EPSONParallelform>,
     sentences(Sentences42, {0x0A, 0x0A}) +
         std::vector<Segment>{{{0x1B, 0x64, 0x08, 0x1D, 0x56, 0x01}, ""}},
     "",
     {0x1B, 0x70, 0x00, 0x50, 0x50},
     {},
     {0x1B, 0x70, 0x01, 0x50, 0x50},
     {},
     "",
     true},
    {"StarSerial",
     openScreen<screens::StarSerialform>,
     sentences(Sentences48, {0x0A, 0x0A}) +
         std::vector<Segment>{{{0x1B, 0x61, 0x08, 0x1B, 0x64}, kPage},
                              {{0x00}, "Failure to write to printer.(#)"}},
     "Failure to write to Cash Drawer.(#)",
     {0x07},
     {0x1C},
     {0x1A},
     {},
     "failure to create event",
     true},
    {"StarParallel",
     openScreen<screens::StarParallelform>,
     std::vector<Segment>{{{0x1B, 0x40}, kPrinter}} + text1Page() +
         std::vector<Segment>{{{0x1B, 0x61, 0x08, 0x1B, 0x64, 0x00}, kPrinter}},
     "Failure to write to Cash drawer",
     {0x07},
     {0x1C},
     {0x1A},
     {},
     "Failed to create OverLapped event",
     false},
    {"CitizenSerial",
     openScreen<screens::CITIZENSerialform>,
     sentences(Sentences42, {0x0C, 0x02}) +
         std::vector<Segment>{{{0x0C, 0x02}, ""}, {{0x1B, 0x50, 0x00}, ""}},
     "",
     {0x07},
     {0x1C},
     {0x1A},
     {},
     "",
     true},
    {"CitizenParallel",
     openScreen<screens::CITIZENParallelform>,
     std::vector<Segment>{{{0x1B, 0x40}, kPrinter}} + text1Page() +
         std::vector<Segment>{{{0x1B, 0x61, 0x08, 0x1B, 0x64, 0x00}, kPrinter}},
     "Failure to write to Cash drawer",
     {0x07},
     {0x1C},
     {0x1A},
     {},
     "Failed to create OverLapped event",
     false},
    {"IthacaSerial",
     openScreen<screens::ITHACASerialform>,
     sentences(Sentences42, {0x0A, 0x0A}) +
         std::vector<Segment>{{{0x18, 0x1B, 0x64, 0x10, 0x1B, 0x76}, kPrinter}},
     "Failure to write to Cash Drawer",
     {0x1B, 0x78, 0x01},
     {},
     {0x1B, 0x78, 0x02},
     {{{0x05}, ""}, {{0x01}, "Error writing ENQ character. (#)"}},
     "",
     true},
    {"IthacaParallel",
     openScreen<screens::ITHACAParallelform>,
     text1Page() + std::vector<Segment>{{{0x18, 0x1B, 0x64, 0x10, 0x1B, 0x76}, kPrinter}},
     "Failure to write to Cash Drawer",
     {0x1B, 0x78, 0x01},
     {},
     {0x1B, 0x78, 0x02},
     {},
     "",
     true},
};

class Sequence : public ::testing::TestWithParam<SequenceCase> {
protected:
    const SequenceCase& c = GetParam();
    support::ScreenHarness h;
    screens::PrinterScreen& s = c.open(h);

    // Presses "Test / Print " and answers the status request the Ithaca serial screen makes
    // after every page, so that only the sequence's own messages show.
    void press() {
        h.fake.queueReplies({0x08});
        h.fake.clearCalls();
        h.app.click(s.Trigger);
    }
    Bytes sent() const {
        Bytes all;
        for (const Bytes& w : h.fake.writes()) {
            EXPECT_EQ(w.size(), 1u) << "one write per byte";
            all = all + w;
        }
        return all;
    }
    Bytes expected(const Bytes& drawer) const { return concat(c.body) + drawer + concat(c.after); }
    std::vector<Segment> checkedRun() const {
        return c.body + std::vector<Segment>{{c.drawer1, c.drawerFailure}} + c.after;
    }
};

}  // namespace

TEST_P(Sequence, SendsThePageAndTheChosenDrawersCommand) {
    press();
    EXPECT_EQ(sent(), expected({})) << "no drawer command while TestDrawer is unchecked";

    h.app.click(s.TestDrawer);
    press();
    EXPECT_EQ(sent(), expected(c.drawer1));

    h.app.click(s.Drawer2);
    press();
    EXPECT_EQ(sent(), expected(c.drawer2));

    // Back to drawer 1 after drawer 2: drawer 1's command again.
    h.app.click(s.Drawer1);
    press();
    EXPECT_EQ(sent(), expected(c.drawer1));

    if (c.alternate1.empty()) {
        EXPECT_FALSE(s.AltTrigger.has_value());
        return;
    }
    h.app.click(*s.AltTrigger);
    press();
    EXPECT_EQ(sent(), expected(c.alternate1));
    // The alternate trigger, then drawer 2, then drawer 1: the primary character again.
    h.app.click(s.Drawer2);
    press();
    EXPECT_EQ(sent(), expected(c.drawer2));
    h.app.click(s.Drawer1);
    press();
    EXPECT_EQ(sent(), expected(c.drawer1));
}

TEST_P(Sequence, MakesEveryWriteUnderOneEventAfterAFlush) {
    h.app.click(s.TestDrawer);
    press();
    const std::vector<std::string>& calls = h.fake.calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0], "createEvent(true, false, \"0\")");
    EXPECT_TRUE(calls[1].starts_with("flushFileBuffers(")) << calls[1];
    EXPECT_EQ(countOf(calls, "createEvent"), c.after.empty() ? 1u : 2u);
    EXPECT_EQ(countOf(calls, "closeEvent"), countOf(calls, "createEvent"));
    // The message timer is running again, its count started anew.
    EXPECT_TRUE(s.Message_Timer.enabled());
}

TEST_P(Sequence, AFailedWriteShowsItsMessageAndTheSequenceGoesOn) {
    h.app.click(s.TestDrawer);
    const std::vector<Segment> run = checkedRun();
    const std::size_t total = concat(run).size();

    // A run where every write succeeds shows nothing.
    s.Feedback1.setCaption("");
    press();
    EXPECT_EQ(s.Feedback1.caption(), "");

    std::size_t offset = 0;
    for (const Segment& segment : run) {
        SCOPED_TRACE(::testing::Message()
                     << "writes " << offset << " to " << offset + segment.bytes.size() - 1);
        s.Feedback1.setCaption("");
        s.Feedback1.setForeColor(kWhite);
        h.fake.failWrites(EIO, offset, segment.bytes.size());
        press();
        EXPECT_EQ(s.Feedback1.caption(), render(segment.failure, EIO));
        EXPECT_EQ(s.Feedback1.foreColor(), segment.failure.empty() ? kWhite : kRed);
        EXPECT_EQ(h.fake.writes().size(), total);
        offset += segment.bytes.size();
    }
}

TEST_P(Sequence, AFailedEventIsReportedAsTheScreenDoesAndChangesNothingElse) {
    s.Feedback1.setCaption("");
    s.Feedback1.setForeColor(kWhite);
    h.fake.fail(Call::CreateEvent, EIO);
    press();
    EXPECT_EQ(s.Feedback1.caption(), c.eventFailure);
    EXPECT_EQ(s.Feedback1.foreColor(),
              c.eventFailureRed && !c.eventFailure.empty() ? kRed : kWhite);
    EXPECT_EQ(sent(), expected({}));
}

TEST_P(Sequence, APortThatNeverOpenedEndsWithTheLastCheckedWritesMessage) {
    support::ScreenHarness missing;
    for (const char* port : {"COM1", "LPT1"})
        missing.fake.setMissing(port);
    screens::PrinterScreen& screen = c.open(missing);
    missing.app.click(screen.TestDrawer);
    missing.app.click(screen.Trigger);

    std::string last;
    for (const Segment& segment : checkedRun()) {
        if (!segment.failure.empty())
            last = segment.failure;
    }
    EXPECT_EQ(screen.Feedback1.caption(), render(last, EBADF));
    EXPECT_EQ(screen.Feedback1.foreColor(), kRed);
    EXPECT_EQ(missing.fake.writes().size(), concat(checkedRun()).size());
    EXPECT_TRUE(screen.Trigger.isUsable());
}

INSTANTIATE_TEST_SUITE_P(PrinterScreens, Sequence, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<SequenceCase>& i) {
                             return std::string(i.param.name);
                         });

TEST(PrinterScreens, TheSelectorOpensEachOfTheEight) {
    const std::pair<ScreenId, const char*> screens[] = {
        {ScreenId::StarParallelform, "StarParallelform"},
        {ScreenId::StarSerialform, "StarSerialform"},
        {ScreenId::EPSONParallelform, "EPSONParallelform"},
        {ScreenId::EPSONSerialform, "EPSONSerialform"},
        {ScreenId::CITIZENParallelform, "CITIZENParallelform"},
        {ScreenId::CITIZENSerialform, "CITIZENSerialform"},
        {ScreenId::ITHACAParallelform, "ITHACAParallelform"},
        {ScreenId::ITHACASerialform, "ITHACASerialform"},
    };
    for (const auto& [id, name] : screens) {
        support::ScreenHarness h;
        screens::openPrinterScreen(h.app, h.context, id);
        ASSERT_NE(h.app.activeForm(), nullptr);
        EXPECT_EQ(h.app.activeForm()->name(), name);
    }
}
