// The printer screens' frame: what each screen is (captions, controls), how it loads, the
// serial printers' port set-up, and the drawer and trigger choice with TriggerChar whatever
// the order of the clicks.
#include <gtest/gtest.h>

#include "printer_test_support.h"

using namespace printer_tests;
using namespace std::chrono_literals;
using support::Call;
using toolkit::colors::kGreen;
using toolkit::colors::kRed;

namespace {

struct Identity {
    Opener open;
    const char* caption;
    const char* title;
    const char* frameName;
    bool serial;
    bool hasText1;
    bool hasAltTrigger;
    const char* statusCaptionName;  // null: no status polling
    const char* statusCaption;
    const char* drawer1Caption;
    const char* drawer2Caption;
};

const char* const kEpson1 = " Trigger Character is Hex String (1B, 70, 00, 50, 50)";
const char* const kStar2 = " Trigger Character is Hex '1A' ";
const char* const kIthaca1 = " Trigger Character is Hex String (1B 78 01)";
const char* const kIthaca2 = " Trigger Character is Hex string (1B 78 02) ";

const Identity kScreens[] = {
    {openScreen<screens::EPSONSerialform>, "Epson Serial Printer Test",
     "Epson Printer Cash Drawer Test", "Frame1", true, true, false, "Label3",
     "Drawer indicates:", kEpson1, " Trigger Character is Hex string (1B, 70, 01, 50, 50)"},
    {openScreen<screens::EPSONParallelform>, "Epson Parallel Printer Test",
     "Epson Printer Cash Drawer Test", "Frame1", false, false, false, nullptr, nullptr, kEpson1,
     " Trigger Character is Hex String (1B, 70, 01, 50, 50)"},
    {openScreen<screens::StarSerialform>, "Star Micronics Serial Printer Test",
     "Star Printer Cash Drawer Test", "Frame1", true, false, true, "Status3",
     "Drawer Indicates:", " Primary Trigger Character is Hex '07'", kStar2},
    {openScreen<screens::StarParallelform>, "Star Micronics Parallel Printer Test",
     "Star Printer Cash Drawer Test", "Frame1", false, true, true, nullptr, nullptr,
     " Primary Trigger Character is Hex '07' ", kStar2},
    {openScreen<screens::CITIZENSerialform>, "Citizen Serial Printer Test",
     "Citizen Printer Cash Drawer Test", "Drawer_Frame", true, false, true, nullptr, nullptr,
     " Primary Trigger Character is Hex '07' ", kStar2},
    {openScreen<screens::CITIZENParallelform>, "CITIZEN Parallel test form",
     "CITIZEN Printer Cash Drawer Test", "Frame1", false, true, true, nullptr, nullptr,
     " Primary Trigger Character is Hex '07' ", kStar2},
    {openScreen<screens::ITHACASerialform>, "Ithaca Serial Printer Test",
     "Ithaca Printer Cash Drawer Test", "Frame1", true, false, false, "Status3",
     "Drawer indicates:", kIthaca1, kIthaca2},
    {openScreen<screens::ITHACAParallelform>, "Ithaca Parallel Printer Test",
     "Ithaca Printer Cash Drawer Test", "Frame1", false, true, false, nullptr, nullptr, kIthaca1,
     kIthaca2},
};

void PrintTo(const Identity& i, std::ostream* os) {
    *os << i.caption;
}

class EachScreen : public ::testing::TestWithParam<Identity> {
protected:
    const Identity& id = GetParam();
    support::ScreenHarness h;
    screens::PrinterScreen& s = id.open(h);
};

}  // namespace

TEST_P(EachScreen, HasItsCaptionsAndControls) {
    EXPECT_EQ(s.caption(), id.caption);
    EXPECT_EQ(s.title.caption(), id.title);
    EXPECT_EQ(s.drawerFrame.name(), id.frameName);
    EXPECT_EQ(s.drawerFrame.caption(), "Drawer");
    EXPECT_EQ(s.TriggerCD.caption(), "Cash Drawer Trigger");
    EXPECT_EQ(s.Trigger.caption(), "Test / Print ");
    EXPECT_EQ(s.Trigger.toolTip(), "Click to send opening character to the drawer.");
    EXPECT_EQ(s.TestDrawer.caption(), "Test Drawer");
    EXPECT_TRUE(s.Label1.caption().starts_with("If the ")) << s.Label1.caption();
    EXPECT_EQ(s.port1Option.name(), id.serial ? "COM1" : "LPT1");

    ASSERT_EQ(s.Text1.has_value(), id.hasText1);
    if (id.hasText1) {
        EXPECT_FALSE(s.Text1->visible());
        EXPECT_EQ(s.Text1->text(), screens::PageText);
    }
    EXPECT_EQ(s.AltTrigger.has_value(), id.hasAltTrigger);
    ASSERT_EQ(s.DrawerStatus.has_value(), id.statusCaptionName != nullptr);
    if (id.statusCaptionName) {
        EXPECT_EQ(s.DrawerStatus->caption(), "Report  Drawer Status");
        EXPECT_EQ(s.statusCaption->name(), id.statusCaptionName);
        EXPECT_EQ(s.statusCaption->caption(), id.statusCaption);
        EXPECT_EQ(s.Status_Timer->interval(), 100ms);
    }
}

TEST_P(EachScreen, LoadsWithPortOneOpenAndTheDrawerChoiceOff) {
    EXPECT_TRUE(h.fake.isOpen(id.serial ? "COM1" : "LPT1"));
    EXPECT_FALSE(s.Drawer1.enabled());
    EXPECT_FALSE(s.Drawer2.enabled());
    EXPECT_FALSE(s.TriggerCD.visible());
    EXPECT_FALSE(s.PrimaryTrigger.enabled());
    EXPECT_FALSE(s.PrimaryTrigger.visible());
    if (s.AltTrigger) {
        EXPECT_FALSE(s.AltTrigger->visible());
    }
    if (s.DrawerStatus) {
        EXPECT_FALSE(s.Status_Timer->enabled());
        EXPECT_FALSE(s.statusCaption->enabled());
        EXPECT_FALSE(s.cd_status->visible());
        EXPECT_FALSE(s.cd_status->enabled());
    }
    EXPECT_EQ(s.triggerChar(), 0);
    EXPECT_EQ(s.statusReply(), 0);

    // The serial screens keep the port's last message until the first test or port change.
    const std::string loaded = s.Feedback1.caption();
    EXPECT_EQ(loaded, id.serial ? "DCB updated successfully"
                                : "Handle successfully acquired for port LPT1.");
    EXPECT_EQ(s.Message_Timer.enabled(), !id.serial);
    h.runFor(4000ms);
    EXPECT_EQ(s.Feedback1.caption(), id.serial ? loaded : "");
}

TEST_P(EachScreen, EachDrawerShowsItsTriggerCaption) {
    h.app.click(s.TestDrawer);
    EXPECT_TRUE(s.Drawer1.value());
    EXPECT_TRUE(s.TriggerCD.isShown());
    EXPECT_TRUE(s.PrimaryTrigger.isUsable());
    EXPECT_TRUE(s.PrimaryTrigger.value());
    EXPECT_EQ(s.PrimaryTrigger.caption(), id.drawer1Caption);
    if (s.AltTrigger) {
        EXPECT_TRUE(s.AltTrigger->isUsable());
        EXPECT_FALSE(s.AltTrigger->value());
        EXPECT_EQ(s.AltTrigger->caption(), "Alternate Trigger Character is Hex '1C' ");
    }

    h.app.click(s.Drawer2);
    EXPECT_FALSE(s.Drawer1.value());
    EXPECT_TRUE(s.PrimaryTrigger.value());
    EXPECT_EQ(s.PrimaryTrigger.caption(), id.drawer2Caption);
    if (s.AltTrigger) {
        EXPECT_FALSE(s.AltTrigger->visible());
        EXPECT_FALSE(s.AltTrigger->enabled());
    }
}

INSTANTIATE_TEST_SUITE_P(PrinterScreens, EachScreen, ::testing::ValuesIn(kScreens));

// ---- the serial printers' port set-up ----

TEST(PrinterSetUp, RunsAt9600WithRtsAfterEveryOpen) {
    support::ScreenHarness h;
    auto& s = h.open<screens::CITIZENSerialform>();
    EXPECT_EQ(h.fake.calls(), (std::vector<std::string>{
                                  "createFile(COM1)", "flushFileBuffers(1)", "getCommState(1)",
                                  "buildCommDcb(COM1:9600,n,8,1)", "setCommState(1, 9600,n,8,1)",
                                  "escapeCommFunction(1, SETRTS)"}));
    h.fake.clearCalls();
    h.app.click(s.port2Option);
    EXPECT_EQ(countOf(h.fake.calls(), "buildCommDcb(COM2:9600,n,8,1)"), 1u);
    EXPECT_EQ(s.Feedback1.caption(), "DCB updated successfully");
    EXPECT_EQ(s.Feedback1.foreColor(), kGreen);
    // A port change starts the message timer again.
    EXPECT_TRUE(s.Message_Timer.enabled());
    h.runFor(4000ms);
    EXPECT_EQ(s.Feedback1.caption(), "");
}

TEST(PrinterSetUp, ReportsItsFailuresInLowerCase) {
    support::ScreenHarness h;
    h.fake.fail(Call::GetCommState, EIO);
    auto& s = h.open<screens::ITHACASerialform>();
    EXPECT_EQ(s.Feedback1.caption(), withCode("error acquiring comm setup. ("));
    EXPECT_EQ(s.Feedback1.foreColor(), kRed);
    EXPECT_EQ(countOf(h.fake.calls(), "setCommState"), 0u);

    h.fake.fail(Call::SetCommState, EIO);
    h.app.click(s.port2Option);
    EXPECT_EQ(s.Feedback1.caption(), withCode("error writing comm settings. ("));
    EXPECT_EQ(countOf(h.fake.calls(), "escapeCommFunction"), 0u);
    EXPECT_TRUE(s.Message_Timer.enabled());
}

TEST(PrinterSetUp, ParallelScreensSetNothingUp) {
    support::ScreenHarness h;
    auto& s = h.open<screens::StarParallelform>();
    h.app.click(s.port2Option);
    h.app.click(s.port1Option);
    for (const char* call : {"flushFileBuffers", "getCommState", "setCommState", "setupComm",
                             "setCommTimeouts", "purgeComm"}) {
        EXPECT_EQ(countOf(h.fake.calls(), call), 0u) << call;
    }
    EXPECT_EQ(s.Feedback1.caption(), "Handle successfully acquired for port LPT1.");
}

// ---- TriggerChar on the screens with a primary and an alternate character ----

template <class Screen>
class TriggerChar : public ::testing::Test {
protected:
    support::ScreenHarness h;
    Screen& screen = h.open<Screen>();
};
using TriggerCharScreens =
    ::testing::Types<screens::StarSerialform, screens::StarParallelform, screens::CITIZENSerialform,
                     screens::CITIZENParallelform>;
TYPED_TEST_SUITE(TriggerChar, TriggerCharScreens);

TYPED_TEST(TriggerChar, FollowsTheDrawerAndTriggerOnShowWhateverTheClickOrder) {
    auto& s = this->screen;
    auto& app = this->h.app;
    app.click(s.TestDrawer);
    EXPECT_EQ(s.triggerChar(), 0x07);
    app.click(*s.AltTrigger);
    EXPECT_FALSE(s.PrimaryTrigger.value());
    EXPECT_EQ(s.triggerChar(), 0x1C);
    app.click(s.PrimaryTrigger);
    EXPECT_FALSE(s.AltTrigger->value());
    EXPECT_EQ(s.triggerChar(), 0x07);

    // Alternate, then drawer 2: drawer 2's character; then drawer 1: the primary one again.
    app.click(*s.AltTrigger);
    app.click(s.Drawer2);
    EXPECT_EQ(s.triggerChar(), 0x1A);
    app.click(s.Drawer1);
    EXPECT_TRUE(s.PrimaryTrigger.value());
    EXPECT_FALSE(s.AltTrigger->value());
    EXPECT_EQ(s.triggerChar(), 0x07);

    // Clicking the selected drawer or trigger again changes nothing.
    app.click(s.Drawer1);
    app.click(s.PrimaryTrigger);
    EXPECT_EQ(s.triggerChar(), 0x07);
}

TYPED_TEST(TriggerChar, SurvivesUncheckingTestDrawerAndIsSetAgainWhenItIsChecked) {
    auto& s = this->screen;
    auto& app = this->h.app;
    app.click(s.TestDrawer);
    app.click(s.Drawer2);
    app.click(s.TestDrawer);
    EXPECT_EQ(s.triggerChar(), 0x1A);
    EXPECT_FALSE(s.Drawer1.value());
    EXPECT_FALSE(s.Drawer2.value());
    EXPECT_FALSE(s.TriggerCD.visible());
    app.click(s.TestDrawer);
    EXPECT_TRUE(s.Drawer1.value());
    EXPECT_EQ(s.triggerChar(), 0x07);
}

// ---- what unchecking TestDrawer leaves behind, per screen ----

TEST(TestDrawerOff, EpsonSerialKeepsDrawerTwoSelectedButDisabled) {
    support::ScreenHarness h;
    auto& s = h.open<screens::EPSONSerialform>();
    h.app.click(s.TestDrawer);
    h.app.click(s.Drawer2);
    h.app.click(s.TestDrawer);
    EXPECT_TRUE(s.Drawer2.value());
    EXPECT_FALSE(s.Drawer2.enabled());
    EXPECT_FALSE(s.TriggerCD.enabled());
    EXPECT_FALSE(s.PrimaryTrigger.value());
    EXPECT_FALSE(s.PrimaryTrigger.visible());

    h.app.click(s.TestDrawer);
    EXPECT_TRUE(s.Drawer1.value());
    EXPECT_FALSE(s.Drawer2.value());
    EXPECT_TRUE(s.PrimaryTrigger.isUsable());
    EXPECT_TRUE(s.PrimaryTrigger.value());
}

TEST(TestDrawerOff, EachScreenClearsItsOwnSetOfTriggers) {
    support::ScreenHarness h;
    auto& star = h.open<screens::StarSerialform>();
    h.app.click(star.TestDrawer);
    h.app.click(*star.AltTrigger);
    h.app.click(star.TestDrawer);
    EXPECT_FALSE(star.AltTrigger->value());
    EXPECT_FALSE(star.PrimaryTrigger.value());
    EXPECT_TRUE(star.AltTrigger->visible()) << "cleared only; the hidden frame hides it";

    support::ScreenHarness h2;
    auto& citizen = h2.open<screens::CITIZENSerialform>();
    h2.app.click(citizen.TestDrawer);
    h2.app.click(citizen.TestDrawer);
    EXPECT_FALSE(citizen.PrimaryTrigger.value());
    EXPECT_FALSE(citizen.PrimaryTrigger.visible());
    EXPECT_FALSE(citizen.AltTrigger->enabled());

    support::ScreenHarness h3;
    auto& parallel = h3.open<screens::CITIZENParallelform>();
    h3.app.click(parallel.TestDrawer);
    h3.app.click(parallel.TestDrawer);
    EXPECT_TRUE(parallel.PrimaryTrigger.value()) << "kept inside the hidden frame";
    EXPECT_FALSE(parallel.Drawer1.value());
    EXPECT_FALSE(parallel.TriggerCD.visible());
}
