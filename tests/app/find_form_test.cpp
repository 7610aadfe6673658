// The Find window on the simulated ports, in virtual time: each device on a line of its own as
// soon as it is done, the window live while it searches (Cancel ends it at the device being
// asked, which is closed), the test screen one click away on the port that leads to the device,
// every step in the wire log.
#include "app/find_form.h"

#include <gtest/gtest.h>

#include "app/test_form.h"
#include "sim/printer.h"
#include "support/fake_port_system.h"
#include "support/recording_window_system.h"
#include "support/virtual_time.h"

namespace {

using namespace std::chrono_literals;

struct FindWindow : ::testing::Test {
    FindWindow() {
        app.setWindowSystem(&windows);
        fake.useClock(clock);
    }

    app::FindForm& openFind() {
        app.open<app::TestForm>(program);
        app.click(dynamic_cast<app::TestForm&>(*app.activeForm()).mFind);
        return dynamic_cast<app::FindForm&>(*app.activeForm());
    }
    void runUntilDone(app::FindForm& find) {
        for (int i = 0; i < 1000 && find.searching(); ++i)
            support::runFor(app, clock, 10ms);
    }

    toolkit::VirtualClock clock;
    toolkit::Application app{clock};
    support::RecordingWindowSystem windows;
    support::FakePortSystem fake;
    app::Program program{app, fake, {}};
};

TEST_F(FindWindow, TellsEachDeviceAndOpensItsTestScreenOnItsPort) {
    fake.attach("COM2", std::make_shared<sim::Printer>(protocol::epsonCommands()));
    fake.attach("LPT1", std::make_shared<sim::Printer>(protocol::starCommands()));
    app::FindForm& find = openFind();
    EXPECT_EQ(find.Progress.caption(), "Looking at 4 devices...");
    runUntilDone(find);
    const std::vector<std::tuple<std::string, std::string, std::string>> shown{
        {"COM1", "nothing answered", ""},
        {"COM2", "Epson-compatible printer at 9600 baud, drawer closed", "Open Epson serial test"},
        {"LPT1", "Star-compatible printer STAR Simulated Star (STAR), by its device ID",
         "Open Star parallel test"},
        {"LPT2",
         "no device ID: a printer on a parallel port is asked nothing else, since what it is sent "
         "prints",
         ""},
    };
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const app::FindForm::Row& row = *find.rows()[i];
        const auto& [where, found, open] = shown[i];
        EXPECT_EQ(row.where.caption(), where);
        EXPECT_EQ(row.found.caption(), found);
        EXPECT_EQ(row.open.isShown(), !open.empty()) << where;
        if (!open.empty()) {
            EXPECT_EQ(row.open.caption(), open);
        }
    }
    EXPECT_EQ(find.Row2.lamp.fillColor(), toolkit::colors::kGreen);
    EXPECT_EQ(find.Row2.lamp.accessibleName(), "COM2: found");
    EXPECT_EQ(find.Row2.open.toolTip(), "Opens the Epson serial test on COM2.");
    EXPECT_FALSE(find.Row5.where.isShown());
    EXPECT_FALSE(find.Next.isShown()) << "one page";
    EXPECT_EQ(find.Progress.caption(),
              "Done: 4 devices looked at; 2 printers and 0 drawer interfaces found.");
    EXPECT_TRUE(find.Again.isUsable());
    EXPECT_FALSE(find.Cancel.isUsable());

    // Every step in the wire log, each request by its brand and each reply by its request.
    const std::string log = program.wireLog().text();
    for (const char* step :
         {"Wire log of \"Find\"", "Epson: DLE EOT 1: status request", "reply 0x16: drawer closed",
          "Epson: DLE EOT 2: offline cause", "reply 0x12: online", "Star: ENQ: status request",
          "device ID: MFG:STAR;CMD:STAR;MDL:Simulated Star;CLS:PRINTER;"})
        EXPECT_NE(log.find(step), std::string::npos) << step;

    // The Epson's screen, on COM2 where it was found.
    app.click(find.Row2.open);
    auto* screen = dynamic_cast<screens::PrinterScreen*>(app.activeForm());
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->name(), "EPSONSerialform");
    EXPECT_TRUE(screen->port2Option.value());
    EXPECT_TRUE(fake.isOpen("COM2"));
    EXPECT_FALSE(fake.isOpen("COM1"));
}

// The window takes clicks while it searches: Cancel ends the search at the device being asked,
// which is put back and closed; Back and the title bar end it the same way.
TEST_F(FindWindow, StaysLiveAndLeavesNoPortOpen) {
    app::FindForm& find = openFind();
    support::runFor(app, clock, 30ms);
    EXPECT_TRUE(find.searching());
    EXPECT_EQ(find.Progress.caption().rfind("Asking COM1: ", 0), 0u) << find.Progress.caption();
    app.click(find.Cancel);
    EXPECT_EQ(find.Progress.caption(),
              "Cancelling: the port being asked is put back and closed...");
    support::runFor(app, clock, 10ms);
    EXPECT_FALSE(find.searching());
    EXPECT_EQ(find.Progress.caption(),
              "Cancelled: 1 device looked at; 0 printers and 0 drawer interfaces found.");
    EXPECT_EQ(find.Row1.found.caption(), "not finished: the search was cancelled");
    EXPECT_TRUE(fake.openHandles().empty());

    app.click(find.Again);
    support::runFor(app, clock, 30ms);
    EXPECT_TRUE(find.searching());
    app.click(find.exit);
    EXPECT_NE(dynamic_cast<app::TestForm*>(app.activeForm()), nullptr);
    EXPECT_TRUE(fake.openHandles().empty());

    app::FindForm& again = openFind();
    support::runFor(app, clock, 30ms);
    app.closeWindow(again);
    EXPECT_TRUE(fake.openHandles().empty());
}

}  // namespace
