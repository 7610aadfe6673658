// Start-up, splash, disclaimer and the main selector, driven as a user would.
#include <gtest/gtest.h>

#include "app/dunmere_splash.h"
#include "app/notice.h"
#include "app/program.h"
#include "app/test_form.h"
#include "support/fake_port_system.h"
#include "support/recording_window_system.h"
#include "support/virtual_time.h"

using namespace std::chrono_literals;
using toolkit::colors::kRed;
using toolkit::colors::kWhite;
using toolkit::colors::kYellow;

namespace {

struct Shell : ::testing::Test {
    Shell() {
        app.setWindowSystem(&windows);
        program.start();
    }

    template <class F>
    F* current() const {
        auto forms = app.forms();
        return forms.size() == 1 ? dynamic_cast<F*>(forms.front()) : nullptr;
    }
    app::Notice& notice() {
        app.pressKey(*current<app::DunmereSplash>(), " ");
        return *current<app::Notice>();
    }
    app::TestForm& selector() {
        app.click(notice().Accept);
        return *current<app::TestForm>();
    }

    toolkit::VirtualClock clock;
    toolkit::Application app{clock};
    support::RecordingWindowSystem windows;
    support::FakePortSystem ports;
    app::Program program{app, ports, {{"COM1", "/dev/pts/7"}, {"LPT1", "/dev/lp0"}}};
};

}  // namespace

TEST_F(Shell, SplashShowsItsTextsAndTheVersion) {
    auto* splash = current<app::DunmereSplash>();
    ASSERT_NE(splash, nullptr);
    EXPECT_EQ(splash->caption(), "Dunmere Cash Drawer Test Utility");
    EXPECT_EQ(splash->backColor(), kWhite);
    EXPECT_EQ(splash->lblVersion.caption(), "Version 1.2.3");
    EXPECT_EQ(splash->lblCompanyProduct.caption(), "Dunmere Cash Drawer");
    EXPECT_EQ(splash->lblProductName.font().size, 24);
    EXPECT_EQ(splash->lblWarning.caption(), "Warning: Use of this product is at your own risk.");
    EXPECT_EQ(splash->lblWarning.foreColor(), kRed);
}

TEST_F(Shell, SplashGivesWayToTheDisclaimerAfterThreeSeconds) {
    support::runFor(app, clock, 2999ms);
    EXPECT_NE(current<app::DunmereSplash>(), nullptr);
    support::runFor(app, clock, 1ms);
    EXPECT_NE(current<app::Notice>(), nullptr);
}

TEST_F(Shell, ACharacterKeyOrAFrameClickEndsTheSplashAtOnceAndOnlyOnce) {
    app.pressKey(*current<app::DunmereSplash>(), "x");
    ASSERT_NE(current<app::Notice>(), nullptr);
    support::runFor(app, clock, 5s);  // the splash timer died with the splash
    EXPECT_EQ(app.forms().size(), 1u);
    EXPECT_EQ(windows.shown, (std::vector<std::string>{"DunmereSplash", "Notice"}));

    program.start();
    app.closeWindow(*app.forms().front());  // only the new splash is left
    app.click(current<app::DunmereSplash>()->Frame1);
    EXPECT_NE(current<app::Notice>(), nullptr);
}

TEST_F(Shell, KeysWithoutACharacterAndClicksOnLabelsOrTheLogoLeaveTheSplash) {
    auto* splash = current<app::DunmereSplash>();
    app.pressKey(*splash, "");
    app.click(splash->lblProductName);
    app.click(splash->lblCompany);
    app.click(splash->imgLogo);
    EXPECT_EQ(current<app::DunmereSplash>(), splash);
}

TEST_F(Shell, NoticeShowsTheDisclaimer) {
    auto& n = notice();
    EXPECT_EQ(n.caption(), "Notice! Read before continuing...");
    EXPECT_EQ(n.backColor(), kRed);
    EXPECT_EQ(n.message3.caption(), "Notice!  Please read...");
    EXPECT_EQ(n.message3.foreColor(), kYellow);
    EXPECT_EQ(n.message1.foreColor(), kYellow);
    EXPECT_NE(n.message1.caption().find("<ACCEPT>"), std::string::npos);
    EXPECT_NE(n.message1.caption().find("Dunmere Cash Drawer Corporation"), std::string::npos);
    EXPECT_NE(n.message2.caption().find("not liable"), std::string::npos);
    EXPECT_EQ(n.refuse.caption(), "Refuse");
    EXPECT_EQ(n.refuse.toolTip(), "Exit");
}

TEST_F(Shell, AcceptingShowsAFreshSelector) {
    auto& s = selector();
    EXPECT_EQ(s.caption(), "Main Test Selector");
    for (toolkit::Control* c : s.controls()) {
        if (auto* option = dynamic_cast<toolkit::OptionButton*>(c)) {
            EXPECT_FALSE(option->value()) << option->name();
        }
    }
    EXPECT_EQ(s.mEPI.caption(), "Epson ");
    EXPECT_EQ(s.mCPI.caption(), "Citizen ");
    EXPECT_EQ(s.EPSONSerail.container(), &s.Frame2);
    EXPECT_EQ(s.Exit.toolTip(), "Exit Dunmere Test");
}

TEST_F(Shell, AnOptionButtonAndItsMenuEntryOpenTheSameScreenInPlaceOfTheSelector) {
    app.click(selector().Birch);
    auto* byOption = app.activeForm();
    ASSERT_EQ(app.forms().size(), 1u);
    EXPECT_EQ(byOption->name(), "Birchform");
    EXPECT_EQ(byOption->caption(), "Birch Interface Test");
    auto* optionLine = dynamic_cast<toolkit::Label*>(byOption->find("Feedback1"));
    const std::string afterOption = optionLine->caption();

    app.click(*dynamic_cast<toolkit::CommandButton*>(byOption->find("exit")));
    app.click(current<app::TestForm>()->mBirch);
    auto* byMenu = app.activeForm();
    ASSERT_EQ(app.forms().size(), 1u);
    EXPECT_EQ(byMenu->name(), "Birchform");
    EXPECT_EQ(dynamic_cast<toolkit::Label*>(byMenu->find("Feedback1"))->caption(), afterOption);
}

TEST_F(Shell, RefusingEndsTheProgramWithoutTheSelector) {
    app.click(notice().refuse);
    EXPECT_TRUE(app.ended());
    EXPECT_TRUE(windows.ended);
    EXPECT_EQ(std::count(windows.shown.begin(), windows.shown.end(), "TestForm"), 0);
}

TEST_F(Shell, TheDisclaimerCanBeReadAgainFromTheSelector) {
    app.click(selector().mDisclaimer);
    ASSERT_NE(current<app::Notice>(), nullptr);
    app.click(current<app::Notice>()->Accept);
    ASSERT_NE(current<app::TestForm>(), nullptr);

    app.click(current<app::TestForm>()->mDisclaimer);
    app.click(current<app::Notice>()->refuse);
    EXPECT_TRUE(app.ended());
}

TEST_F(Shell, ExitAndQuitEndTheProgramWithoutAMessage) {
    app.click(selector().Exit);
    EXPECT_TRUE(app.ended());

    toolkit::Application app2{clock};
    app::Program program2{app2, ports, {}};
    program2.showSelector();
    app2.click(dynamic_cast<app::TestForm*>(app2.forms().front())->mQuit);
    EXPECT_TRUE(app2.ended());
    EXPECT_TRUE(windows.messages.empty());
}

TEST_F(Shell, ClosingAnyShellWindowByItsTitleBarEndsTheProgram) {
    app.closeWindow(*current<app::DunmereSplash>());
    EXPECT_TRUE(app.ended());
    EXPECT_EQ(windows.shown, (std::vector<std::string>{"DunmereSplash"}));

    for (int which = 0; which < 2; ++which) {
        toolkit::Application app2{clock};
        app::Program program2{app2, ports, {}};
        if (which == 0)
            program2.showNotice();
        if (which == 1)
            program2.showSelector();
        app2.closeWindow(*app2.forms().front());
        EXPECT_TRUE(app2.ended());
    }
}

TEST_F(Shell, AboutNamesTheProgramItsVersionAndEachPortsDevice) {
    app.click(selector().mAbout);
    ASSERT_EQ(windows.messages.size(), 1u);
    EXPECT_EQ(
        windows.messages[0].second,
        "Dunmere Cash Drawer Test Utility\nVersion 1.2.3\n\nCOM1: /dev/pts/7\nLPT1: /dev/lp0");
    EXPECT_NE(current<app::TestForm>(), nullptr);  // the selector stays
}
