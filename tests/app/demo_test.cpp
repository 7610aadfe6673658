// The demo: every screen, opened as the program opens it, finds on its port the device its test
// expects, opens that device's drawer, reads it where it shows it, sees it close by itself, and
// gives the port back; and Find finds every port's device.
#include "app/demo.h"

#include <gtest/gtest.h>

#include "app/find_form.h"
#include "support/recording_window_system.h"
#include "support/virtual_time.h"

namespace {

using namespace std::chrono_literals;

// The lines' time is the test's clock.
class TestLineClock final : public sim::WaitClock {
public:
    explicit TestLineClock(toolkit::VirtualClock& clock) : m_clock(clock) {}
    sim::Time now() const override { return m_clock.now(); }
    void waitUntil(sim::Time t) override {
        if (t > now())
            m_clock.spend(std::chrono::ceil<toolkit::Millis>(t - now()));
    }

private:
    toolkit::VirtualClock& m_clock;
};

// The demo's program, as main starts it, on a virtual clock.
struct DemoProgram {
    DemoProgram() {
        application.setWindowSystem(&windows);
        program.addScreenListener(
            [this](const screens::ScreenEntry& opened) { demo.screenOpened(opened); });
    }
    toolkit::VirtualClock clock;
    toolkit::Application application{clock};
    support::RecordingWindowSystem windows;
    TestLineClock lineClock{clock};
    app::Demo demo{application, lineClock};
    app::Program program{application, demo.ports(), app::Demo::portDevices()};
};

TEST(Demo, EveryScreenOpensTheDrawerOfTheDeviceOnItsPortAndSeesItCloseAgain) {
    // Every screen, and the Alder's alternate screen once more after its level button.
    std::vector<std::pair<const screens::ScreenEntry*, const char*>> cases{
        {screens::screenNamed("Alderform2"), "Alder_Level"}};
    for (const screens::ScreenEntry& screen : screens::screenTable())
        cases.emplace_back(&screen, nullptr);
    for (const auto& [screen, first] : cases) {
        SCOPED_TRACE(screen->formName + (first ? std::string(" after ") + first : ""));
        DemoProgram run;
        auto& [clock, application, windows, lineClock, demo, program] = run;
        program.showScreen(screen->formName);
        toolkit::Form& form = *application.activeForm();
        if (first != nullptr)
            application.click(*form.find(first));
        // A printer screen polls once "Report  Drawer Status" is checked, which checks "Test
        // Drawer" too; the others only need the drawer test.
        if (toolkit::Control* box = form.find("DrawerStatus"); box != nullptr) {
            application.click(*box);
        } else if (toolkit::Control* drawerTest = form.find("TestDrawer"); drawerTest != nullptr) {
            application.click(*drawerTest);
        }
        toolkit::Control* shown = form.find("cd_status");
        if (shown != nullptr && shown->caption() == "Not Applicable")
            shown = nullptr;
        const auto drawerShown = [&] { return shown != nullptr ? shown->caption() : "-"; };
        const auto drawerOpen = [&] {
            demo.ports().advance();
            return demo.ports().device(demo.ports().openPort())->drawer(1).isOpen();
        };
        support::runFor(application, clock, 300ms);  // a request, and its reply a tick later
        EXPECT_EQ(drawerShown(), shown != nullptr ? "Closed" : "-");
        application.click(*form.find("Trigger"));
        support::runFor(application, clock, 2s);
        EXPECT_TRUE(drawerOpen());
        EXPECT_EQ(drawerShown(), shown != nullptr ? "Open" : "-");
        support::runFor(
            application, clock,
            std::chrono::ceil<toolkit::Millis>(sim::DemoPortSystem::kDrawerClosesAfter));
        EXPECT_FALSE(drawerOpen());
        EXPECT_EQ(drawerShown(), shown != nullptr ? "Closed" : "-");
        application.click(*form.find("exit"));
        EXPECT_EQ(demo.ports().openPort(), "") << "the port is free again";
    }
}

TEST(Demo, FindFindsEveryPortsDevice) {
    DemoProgram run;
    auto& [clock, application, windows, lineClock, demo, program] = run;
    program.showFind(false);
    auto& find = dynamic_cast<app::FindForm&>(*application.activeForm());
    for (int i = 0; i < 1000 && find.searching(); ++i)
        support::runFor(application, clock, 10ms);
    std::vector<std::string> found;
    for (const find::Finding& f : find.findings())
        found.push_back(f.candidate.where() + ": " + f.summary());
    EXPECT_EQ(found,
              (std::vector<std::string>{
                  "COM1: Epson-compatible printer at 9600 baud, drawer closed",
                  "COM2: drawer interface powered (CTS, DSR), drawer closed; or a printer that "
                  "answered no request",
                  "LPT1: Star-compatible printer STAR Simulated Star (STAR), by its device ID",
                  "LPT2: Citizen-compatible printer CITIZEN Simulated Citizen, by its device ID"}));
    // The interface's screen opens on COM2 with the demo's Alder there.
    application.click(find.Row2.open);
    EXPECT_EQ(application.activeForm()->name(), "Alderform");
    EXPECT_EQ(demo.ports().openPort(), "COM2");
}

}  // namespace
