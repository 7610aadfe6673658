// The Birch screen: its load, the checks of the two typed values, the switch display, the
// trigger's writes and the message timer. (That "<< Back" and the title bar release the port:
// the soak.)
#include "screens/interfaces/birch_form.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "screens/common/screen_checks.h"

using namespace support;
using namespace toolkit::colors;

namespace {

using BirchTest = ScreenTest<screens::Birchform>;

std::string switches(const screens::Birchform& s) {
    return glyphRow({&s.bit1, &s.bit2, &s.bit3, &s.bit4}, "");
}

TEST_F(BirchTest, LoadOpensCom1At1200AndSendsCharacter85Twice) {
    EXPECT_EQ(s.port().settings, "COM1:1200,n,8,1");
    EXPECT_EQ(callsOf(h.fake.calls(), {"escape"}).back(), "escapeCommFunction(1, SETRTS)");

    h.fake.failWrites(EIO, 0, 1);  // the next passes still run
    trigger();
    EXPECT_EQ(h.fake.calls(),
              (Calls{"createEvent(true, false, \"0\")", "flushFileBuffers(1)",
                     "writeFile(1, 55 00)", "writeFile(1, 55 00)", "closeEvent(1)"}));
    expectLine(s.Feedback1, "Trigger Character written to port.", kGreen);
}

TEST_F(BirchTest, TypedValuesOutsideTheirRangesAreResetWithBothMessages) {
    toolkit::TextBox* const chr = &s.open_char;
    toolkit::TextBox* const rep = &s.Repeats;
    for (const auto& [box, text, shown, stored] :
         {std::tuple{chr, "254.6", "254.6", 255}, std::tuple{chr, "255.4", "85", 85},
          std::tuple{chr, "-5", "85", 85}, std::tuple{chr, "", "85", 85},
          std::tuple{rep, "100", "100", 100}, std::tuple{rep, "1.5", "1.5", 2},
          std::tuple{rep, "101", "2", 2}, std::tuple{rep, "0.6", "2", 2},
          std::tuple{rep, "", "2", 2}}) {
        SCOPED_TRACE(box->name() + " '" + text + "'");
        h.app.edit(*box, "9");
        h.runFor(4000ms);
        h.app.edit(*box, text);
        EXPECT_EQ(box->text(), shown);
        EXPECT_EQ(box == chr ? s.openChar() : s.repeatCount(), stored);
        const bool reset = std::string(text) != shown;
        EXPECT_EQ(s.Feedback1.caption(), !reset       ? ""
                                         : box == chr ? "Valid characters are 0 through 255"
                                                      : "Valid values 1 through 100");
        EXPECT_EQ(s.Feedback2.caption(), !reset ? ""
                                         : box == chr
                                             ? "Open Character reset to factory default: 85"
                                             : "Number of repeats reset to standard: 2");
    }
}

TEST_F(BirchTest, MessagesClearFourSecondsAfterTheLastChangeOrTrigger) {
    h.runFor(3000ms);
    h.app.edit(s.Repeats, "0");  // reset: the count starts anew
    h.runFor(2000ms);
    h.app.edit(s.open_char, "5");  // accepted: no message, but the count starts anew again
    expectShownFourSeconds(s.Feedback2, "Number of repeats reset to standard: 2", kGreen);
    h.runFor(2000ms);
    h.app.click(s.Trigger);
    expectShownFourSeconds(s.Feedback1, "Trigger Character written to port.", kGreen);
}

TEST_F(BirchTest, TheSwitchesFollowTheFilterAndTheTriggerTheTypedValues) {
    h.app.pick(s.Filter, 1);
    EXPECT_EQ(switches(s), "v^v^");
    h.app.pick(s.Filter, 0);
    EXPECT_EQ(switches(s), "v^^v");

    h.app.edit(s.open_char, "7");
    h.app.edit(s.Repeats, "3");
    trigger();
    EXPECT_EQ(h.fake.writes(), std::vector<Bytes>(3, Bytes{0x07, 0x00}));

    h.fake.fail(Call::CreateEvent, ENOMEM);
    h.fake.failWrites(ports::kIoPending);
    trigger();
    EXPECT_EQ(h.fake.writes().size(), 3u);
    expectLine(s.Feedback1, "Failure to create overlapped event", kRed);
}

}  // namespace
