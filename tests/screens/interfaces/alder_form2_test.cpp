// The Alder alternate screen: its load in character pulse mode, the two mode buttons, the
// trigger, the bounded wait for a write still under way, and the way back.
#include "screens/interfaces/alder_form2.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "screens/common/screen_checks.h"

using namespace support;
using namespace toolkit::colors;

namespace {

using Alder2Test = ScreenTest<screens::Alderform2>;

TEST_F(Alder2Test, LoadsInCharacterModeAt1200BaudSendingTwice) {
    EXPECT_EQ(s.port().settings, "COM1:1200,n,8,1");
    EXPECT_EQ(callsOf(h.fake.calls(), {"escape"}).back(), "escapeCommFunction(1, SETRTS)");
    // That it polls from load on is the soak's to check, for every screen.
    h.app.click(s.Trigger);  // the next press starts its message's four seconds again
    h.runFor(2000ms);
    h.fake.failWrites(EIO, 0, 1);  // the next pass still runs
    trigger();
    EXPECT_EQ(h.fake.calls(),
              (Calls{"flushFileBuffers(1)", "createEvent(true, false, null)", "writeFile(1, 55 00)",
                     "writeFile(1, 55 00)", "closeEvent(2)"}));
    expectShownFourSeconds(s.Feedback1, "Trigger Character written to port.", kGreen);
}

TEST_F(Alder2Test, ModeButtonsFixCharacterRepeatsAndSwitches) {
    for (const auto& [button, frame, row, writes] :
         {std::tuple{&s.Alder_Level, "Level Mode (Cedar)", "^ v v v v v v ^ v v",
                     std::vector<Bytes>(25, Bytes{0x00, 0x00})},
          std::tuple{&s.Alder_Char, "Character Mode (Birch)", "^ ^ v v v v v ^ v v",
                     std::vector<Bytes>{{0x55, 0x00}}}}) {
        SCOPED_TRACE(frame);
        h.fake.clearCalls();
        h.app.click(*button);
        EXPECT_EQ(s.Frame1.caption(), frame);
        EXPECT_EQ(switchRow(s), row);
        EXPECT_EQ(callsOf(h.fake.calls(), {"buildCommDcb"}),
                  Calls{"buildCommDcb(COM1:1200,n,8,1)"});
        trigger();
        EXPECT_EQ(h.fake.writes(), writes);
    }
}

TEST_F(Alder2Test, APendingWriteIsWaitedForWithABoundAndNoEventMeansNoWrite) {
    h.fake.failWrites(ports::kIoPending, 0, 1);
    trigger();
    EXPECT_EQ(callsOf(h.fake.calls(), {"waitForSingleObject", "getOverlappedResult"}),
              (Calls{"waitForSingleObject(1, 1000)", "getOverlappedResult(1, false)"}));
    expectLine(s.Feedback1, "Trigger Character written to port.", kGreen);

    // The last pass does not end in time, or ends in a failure: its error stays, stored as
    // the last error.
    for (const auto& [call, code] :
         {std::pair{Call::Wait, ETIMEDOUT}, std::pair{Call::OverlappedResult, EIO}}) {
        h.fake.failWrites(ports::kIoPending, 1, 1);
        h.fake.fail(call, code);
        trigger();
        EXPECT_EQ(h.fake.writes().size(), 2u);
        expectLine(s.Feedback1, "Error writing to port. (" + std::to_string(code) + ")", kRed);
        EXPECT_EQ(s.port().lastError, static_cast<ports::ErrorCode>(code));
    }

    h.fake.fail(Call::CreateEvent, ENOMEM);
    trigger();
    EXPECT_TRUE(h.fake.writes().empty());
    expectLine(s.Feedback1, "error writing to port. (" + std::to_string(ENOMEM) + ")", kRed);
    EXPECT_EQ(s.port().lastError, static_cast<ports::ErrorCode>(ENOMEM));
}

TEST_F(Alder2Test, BackToTheStandardTestClosesThePortAndOpensTheAlderScreen) {
    h.app.click(s.AlderAdvanced);
    EXPECT_FALSE(h.fake.isOpen("COM1"));
    EXPECT_EQ(h.navigator.opened, std::vector<std::string>{"Alderform"});
    EXPECT_TRUE(h.app.forms().empty());
}

}  // namespace
