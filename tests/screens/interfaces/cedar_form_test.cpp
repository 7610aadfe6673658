// The Cedar screen: its load, the run length each baud rate brings, the typed values stored as
// typed and checked when a box is left, the trigger's writes and the message timer. (That
// "<< Back" and the title bar release the port: the soak.)
#include "screens/interfaces/cedar_form.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "screens/common/screen_checks.h"

using namespace support;
using namespace toolkit::colors;

namespace {

using CedarTest = ScreenTest<screens::Cedarform>;

std::vector<Bytes> pairs(std::size_t count, std::uint8_t character) {
    return std::vector<Bytes>(count, Bytes{character, 0x00});
}

TEST_F(CedarTest, LoadOpensCom1At1200AndSendsTenPairsOfCharacter7) {
    EXPECT_EQ(s.port().settings, "COM1:1200,n,8,1");
    EXPECT_EQ(callsOf(h.fake.calls(), {"escape"}).back(), "escapeCommFunction(1, SETRTS)");
    // The lamps polled from load on and the drawer label never touched: the reference picture.
    h.fake.failWrites(EIO, 0, 1);  // the next passes still run
    trigger();
    Calls expected{"createEvent(true, false, \"0\")", "flushFileBuffers(1)"};
    expected.insert(expected.end(), 10, "writeFile(1, 07 00)");
    expected.push_back("closeEvent(1)");
    EXPECT_EQ(h.fake.calls(), expected);
    expectLine(s.Feedback1, "Trigger Character written to port.", kGreen);
    EXPECT_EQ(s.Feedback2.caption(), "");
}

TEST_F(CedarTest, EachBaudRateSetsUpThePortAndBringsItsRunLength) {
    const std::pair<const char*, const char*> table[] = {
        {"9600", "25"}, {"4800", "20"}, {"2400", "15"}, {"1200", "10"}, {"300", "5"}};
    for (int i = 0; i < 5; ++i) {
        h.app.pick(s.baudlist, i);
        EXPECT_EQ(s.port().settings, std::string("COM1:") + table[i].first + ",n,8,1");
        EXPECT_EQ(s.Repeats.text(), table[i].second) << table[i].first;
    }

    // A typed count holds until the next pick.
    h.app.pick(s.baudlist, 1);
    h.app.edit(s.Repeats, "3");
    EXPECT_EQ(s.repeatCount(), 3);
    h.app.pick(s.baudlist, 1);
    EXPECT_EQ(s.Repeats.text(), "20");
}

TEST_F(CedarTest, TypedValuesAreStoredAsTypedAndCheckedWhenTheBoxIsLeft) {
    // Leaving the box for the trigger resets the character before it is sent.
    h.app.edit(s.open_char, "300");
    EXPECT_EQ(s.openChar(), 300);
    trigger();
    EXPECT_EQ(h.fake.writes(), pairs(10, 0x07));
    expectLine(s.Feedback2, "Open Character reset to standard: 7", kGreen);
    for (const char* text : {"-1", "255.4"}) {
        h.app.edit(s.open_char, text);
        h.app.leave(s.open_char);
        EXPECT_EQ(s.open_char.text(), "7") << text;
        expectLine(s.Feedback1, "Valid characters are 0 through 255", kRed);
    }
    h.app.edit(s.open_char, "254.6");
    h.app.leave(s.open_char);
    EXPECT_EQ(s.open_char.text(), "254.6");

    // Empty: the prompt, and the focus stays; the stored character is 0.
    h.app.edit(s.open_char, "  ");
    h.app.focus(s.Repeats);
    expectLine(s.Feedback1, "Enter a valid character between 0 and 255", kRed);
    EXPECT_EQ(s.focused(), &s.open_char);
    EXPECT_EQ(s.openChar(), 0);

    h.app.edit(s.open_char, "9");
    h.app.edit(s.Repeats, "");
    h.app.leave(s.Repeats);
    expectLine(s.Feedback1, "Repeat value must be greater than 0", kGreen);
    EXPECT_EQ(s.focused(), &s.Repeats);
}

// A count of 0 or less sends and shows nothing; any other count goes out whole at every rate,
// a count typed beyond the 16-bit range holding at 32767 rather than wrapping to a negative one.
TEST_F(CedarTest, TheRunIsTheTypedCountAtEveryRate) {
    // The baud rate by its list index.
    for (const auto& [baud, count, sent] :
         {std::tuple{3, "0", 0u}, std::tuple{3, "-4", 0u}, std::tuple{4, "200", 200u},
          std::tuple{0, "99999", 32767u}}) {
        SCOPED_TRACE(count);
        h.app.pick(s.baudlist, baud);
        h.app.edit(s.Repeats, count);
        quiet();
        h.app.click(s.Trigger);
        EXPECT_EQ(h.fake.writes(), pairs(sent, 0x07));
        EXPECT_EQ(s.Feedback1.caption(), sent ? "Trigger Character written to port." : "");
    }
}

TEST_F(CedarTest, AMissingEventIsNotReported) {
    quiet();
    h.fake.fail(Call::CreateEvent, ENOMEM);
    h.fake.failWrites(ports::kIoPending);
    trigger();
    EXPECT_EQ(h.fake.bytesWritten().size(), 20u);
    EXPECT_EQ(s.Feedback1.caption(), "");
}

TEST_F(CedarTest, MessagesClearFourSecondsAfterTheLastChange) {
    quiet();
    h.runFor(2000ms);
    h.app.click(s.Trigger);
    h.runFor(3000ms);
    h.app.edit(s.Repeats, "4");  // stores silently, but the count starts anew
    expectShownFourSeconds(s.Feedback1, "Trigger Character written to port.", kGreen);
}

}  // namespace
