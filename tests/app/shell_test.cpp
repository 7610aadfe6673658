// Start-up, splash, disclaimer and the main selector, driven as a user would.
#include <gtest/gtest.h>

#include "app/dunmere_splash.h"
#include "app/notice.h"
#include "app/test_form.h"
#include "support/program_harness.h"

using namespace std::chrono_literals;
using Names = std::vector<std::string>;

namespace {

struct Shell : ::testing::Test, support::ProgramHarness {
    Shell() : ProgramHarness({{"COM1", "/dev/pts/7"}, {"LPT1", "/dev/lp0"}}) { program.start(); }

    app::Notice& notice() {
        app.pressKey(*current<app::DunmereSplash>(), " ");
        return *current<app::Notice>();
    }
    app::TestForm& selector() {
        app.click(notice().Accept);
        return *current<app::TestForm>();
    }
};

}  // namespace

// What the splash shows is its reference picture's to check.
TEST_F(Shell, TheSplashGivesWayAfterThreeSecondsOrAtOnceToACharacterKeyOrAFrameClick) {
    // Keys without a character and clicks on what lies on the frame leave it.
    auto* splash = current<app::DunmereSplash>();
    app.pressKey(*splash, "");
    app.click(splash->lblProductName);
    app.click(splash->imgLogo);
    runFor(2999ms);
    ASSERT_EQ(current<app::DunmereSplash>(), splash);
    runFor(1ms);
    EXPECT_NE(current<app::Notice>(), nullptr);

    for (const bool key : {true, false}) {
        program.start();
        app.closeWindow(*app.forms().front());  // only the new splash is left
        key ? app.pressKey(*current<app::DunmereSplash>(), "x")
            : app.click(current<app::DunmereSplash>()->Frame1);
        ASSERT_NE(current<app::Notice>(), nullptr) << key;
        runFor(5s);  // the splash timer died with the splash
    }
    EXPECT_EQ(windows.shown, (Names{"DunmereSplash", "Notice", "DunmereSplash", "Notice",
                                    "DunmereSplash", "Notice"}));
}

TEST_F(Shell, EveryOptionAndMenuItemOpensItsScreenAndBackIsAFreshSelector) {
    using Selector = app::TestForm;
    struct Way {
        const char* option;
        const char* menuItem;
        const char* form;
        const char* caption;
    };
    const Way ways[] = {
        {"Alder", "mAlder", "Alderform", "Alder Interface Test"},
        {"Birch", "mBirch", "Birchform", "Birch Interface Test"},
        {"Cedar", "mCedar", "Cedarform", "Cedar Interface Test"},
        {"Maple", "mMaple", "Mapleform", "Maple Test"},
        {"StarSerial", "mSPSI", "StarSerialform", "Star Micronics Serial Printer Test"},
        {"StarParallel", "mSPPI", "StarParallelform", "Star Micronics Parallel Printer Test"},
        {"EPSONSerail", "mEPSI", "EPSONSerialform", "Epson Serial Printer Test"},
        {"EPSONParallel", "mEPPI", "EPSONParallelform", "Epson Parallel Printer Test"},
        {"CITIZENserial", "mCPSI", "CITIZENSerialform", "Citizen Serial Printer Test"},
        {"CITIZENParallel", "mCPPI", "CITIZENParallelform", "CITIZEN Parallel test form"},
        {"ITHACAserial", "mIPSI", "ITHACASerialform", "Ithaca Serial Printer Test"},
        {"ITHACAparallel", "mIPPI", "ITHACAParallelform", "Ithaca Parallel Printer Test"},
    };
    selector();
    for (const Way& way : ways) {
        for (auto control : {way.option, way.menuItem}) {
            Selector* s = current<Selector>();
            ASSERT_NE(s, nullptr) << way.form;
            for (toolkit::Control* c : s->controls()) {
                if (auto* option = dynamic_cast<toolkit::OptionButton*>(c)) {
                    EXPECT_FALSE(option->value()) << "a fresh selector: " << option->name();
                }
            }
            app.click(*s->find(control));
            toolkit::Form* screen = app.activeForm();
            ASSERT_EQ(app.forms().size(), 1u);
            EXPECT_EQ(screen->name(), way.form) << control;
            EXPECT_EQ(screen->caption(), way.caption) << control;
            app.click(*dynamic_cast<toolkit::CommandButton*>(screen->find("exit")));
        }
    }
    // The disclaimer again: accepting gives a selector, refusing the end.
    app.click(current<app::TestForm>()->mDisclaimer);
    app.click(current<app::Notice>()->Accept);
    app.click(current<app::TestForm>()->mDisclaimer);
    app.click(current<app::Notice>()->refuse);
    EXPECT_TRUE(app.ended());
    EXPECT_TRUE(windows.ended);
    EXPECT_EQ(windows.shown.back(), "Notice") << "refusing shows no selector";
}

TEST_F(Shell, ExitQuitAndTheTitleBarEndTheProgramWithoutAMessage) {
    app.click(selector().Exit);
    EXPECT_TRUE(app.ended());
    // Each shell window closed by its title bar, and Quit.
    for (int which = 0; which < 4; ++which) {
        toolkit::Application app2{clock};
        app2.setWindowSystem(&windows);
        app::Program program2{app2, fake, {}};
        if (which == 0)
            program2.start();
        if (which == 1)
            program2.showNotice();
        if (which >= 2)
            program2.showSelector();
        if (which == 3) {
            app2.click(dynamic_cast<app::TestForm*>(app2.forms().front())->mQuit);
        } else {
            app2.closeWindow(*app2.forms().front());
        }
        EXPECT_TRUE(app2.ended()) << which;
        EXPECT_TRUE(app2.forms().empty()) << which;
    }
    EXPECT_TRUE(windows.messages.empty());
}

TEST_F(Shell, AboutNamesTheProgramItsVersionAndEachPortsDevice) {
    app.click(selector().mAbout);
    ASSERT_EQ(windows.messages.size(), 1u);
    EXPECT_EQ(
        windows.messages[0].second,
        "Dunmere Cash Drawer Test Utility\nVersion 1.2.3\n\nCOM1: /dev/pts/7\nLPT1: /dev/lp0");
    EXPECT_NE(current<app::TestForm>(), nullptr);  // the selector stays

    // The values come from the environment: shown, never obeyed, and never wider than a path.
    const std::string path =
        "\\\\.\\COM12 caf\u00e9\U0001F5A8" + std::string(85, 'a');  // 100 characters
    for (const auto& [value, shown] : std::initializer_list<std::pair<std::string, std::string>>{
             {path, path},
             {"a\nCOM2: "
              "b\t\r\x1b[2J\x7f\u202E\u202F\u2010\u2028\u0085\u200F\u2060\xff\xc3\xe0\x80\x80",
              "a\\nCOM2: b\\t\\r\\x1B[2J\\x7F\\u202E\u202F\u2010"
              "\\u2028\\u0085\\u200F\\u2060\\xFF\\xC3\\xE0\\x80\\x80"},
             {std::string(100'000, 'a'), std::string(99, 'a') + "\u2026"},
             {std::string(98, 'a') + "\nb", std::string(98, 'a') + "\u2026"},
         }) {
        app::Program other{app, fake, {{"COM1", value}}};
        other.showAbout();
        EXPECT_EQ(windows.messages.back().second,
                  "Dunmere Cash Drawer Test Utility\nVersion 1.2.3\n\nCOM1: " + shown);
    }
}
