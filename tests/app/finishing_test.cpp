// What a close that still sends does to the program: a Cedar run of 200 pairs at 300 baud is
// 13.3 s on the line, and the screen is left at once. An open of the port meanwhile waits for
// the run to leave, the window painting and saying what it waits for; the program's end waits
// too, in a window of its own. Either lets the user stop at once, which drops the rest.
#include <gtest/gtest.h>

#include "app/finishing_form.h"
#include "app/test_form.h"
#include "screens/interfaces/cedar_form.h"
#include "sim/device_catalog.h"
#include "support/program_harness.h"

using namespace std::chrono_literals;

namespace {

struct Finishing : ::testing::Test, support::ProgramHarness {
    Finishing() {
        fake.attach("COM1", sim::makeDevice("cedar"));
        program.showSelector();
    }

    // Cedar from the selector, with 200 pairs sent at 300 baud.
    screens::Cedarform& cedarRun() {
        app.click(current<app::TestForm>()->Cedar);
        auto& cedar = *current<screens::Cedarform>();
        app.pick(cedar.baudlist, 4);
        app.edit(cedar.Repeats, "200");
        app.click(cedar.Trigger);
        return cedar;
    }
    ports::PortSystem& seam() { return fake; }
};

TEST_F(Finishing, AnOpenSaysWhatItWaitsForAndOpensOnceTheLastTestHasGone) {
    app.click(cedarRun().exit);
    const toolkit::Millis left = clock.now();
    app.click(current<app::TestForm>()->Cedar);
    ASSERT_NE(current<screens::Cedarform>(), nullptr);
    EXPECT_TRUE(fake.isOpen("COM1"));
    EXPECT_EQ(clock.now() - left, 13334ms) << "the run's time on the line, to the millisecond";
    ASSERT_EQ(windows.notes.size(), 134u);
    EXPECT_EQ(windows.notes.front(),
              "\\\\.\\COM1 is still sending the last test (14 s left) [Stop now]");
    EXPECT_EQ(windows.notes[34],
              "\\\\.\\COM1 is still sending the last test (10 s left) [Stop now]");
    EXPECT_EQ(windows.notes.back(),
              "\\\\.\\COM1 is still sending the last test (1 s left) [Stop now]");
}

TEST_F(Finishing, TheUserMayStopTheWaitAndTheRestIsDropped) {
    app.click(cedarRun().exit);
    const toolkit::Millis left = clock.now();
    windows.stopAtNote = 3;
    app.click(current<app::TestForm>()->Cedar);
    ASSERT_NE(current<screens::Cedarform>(), nullptr);
    EXPECT_TRUE(fake.isOpen("COM1"));
    EXPECT_EQ(clock.now() - left, 200ms);
    EXPECT_EQ(fake.line("COM1").outputQueued(clock.now()), 0u) << "dropped";
}

// The last window closed while the run leaves: a window tells of it until it has gone, or until
// "Stop now"; then the program ends, nothing left sending.
TEST_F(Finishing, TheEndWaitsForTheLastTestInAWindowOfItsOwn) {
    app.closeWindow(cedarRun());
    auto* finishing = current<app::FinishingForm>();
    ASSERT_NE(finishing, nullptr);
    EXPECT_EQ(finishing->note.caption(), "Finishing sending to \\\\.\\COM1 (14 s left)");
    runFor(4000ms);
    EXPECT_EQ(finishing->note.caption(), "Finishing sending to \\\\.\\COM1 (10 s left)");
    EXPECT_FALSE(app.ended());
    runFor(9500ms);
    EXPECT_TRUE(app.ended());
    EXPECT_TRUE(seam().closingPorts().empty());
}

// Exit on the selector too: the program ends "at once", but for that window.
TEST_F(Finishing, StopNowEndsTheProgramAtOnce) {
    app.click(cedarRun().exit);
    app.click(current<app::TestForm>()->Exit);
    auto* finishing = current<app::FinishingForm>();
    ASSERT_NE(finishing, nullptr);
    app.click(finishing->StopNow);
    EXPECT_TRUE(app.ended());
    EXPECT_TRUE(seam().closingPorts().empty());
    EXPECT_EQ(fake.line("COM1").outputQueued(clock.now()), 0u) << "dropped";
}

}  // namespace
