// The Ports dialog on a fake device tree: the devices it finds, each port's device, where it
// comes from and its state, and the choice kept for later runs.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "app/find_form.h"
#include "app/ports_form.h"
#include "app/test_form.h"
#include "support/program_harness.h"

namespace fs = std::filesystem;

namespace {

struct MemoryStore final : app::ChoiceStore {
    std::string load(const std::string& port) const override {
        const auto it = saved.find(port);
        return it == saved.end() ? std::string() : it->second;
    }
    std::string save(const std::string& port, const std::string& device) override {
        if (!failure.empty())
            return failure;
        if (device.empty()) {
            saved.erase(port);
        } else {
            saved[port] = device;
        }
        return {};
    }
    std::map<std::string, std::string> saved;
    std::string failure;  // why nothing can be saved, when it cannot
};

struct PortsDialog : ::testing::Test, support::ProgramHarness {
    PortsDialog() {
        fs::remove_all(root);
        for (const auto& [file, text] : std::map<std::string, std::string>{
                 {"sys/class/tty/ttyS0/type", "4"},  // the console
                 {"sys/class/tty/ttyS1/type", "4"},
                 {"sys/class/tty/ttyS2/type", "0"},  // a placeholder with no UART
                 {"sys/class/tty/ttyS10/type", "4"},
                 {"sys/class/tty/console/active", "ttyS0"},
                 {"dev/ttyUSB1", ""},
                 {"dev/ttyUSB0", ""},
                 {"dev/ttyUSB99999999999", ""},  // more than an int holds
                 {"dev/ttyUSB010", ""},
                 {"dev/ttyACM0", ""},
                 {"dev/lp0", ""},
                 {"dev/usb/lp0", ""},
                 {"dev/usb/hiddev0", ""},
             }) {
            fs::create_directories((root / file).parent_path());
            std::ofstream(root / file) << text;
        }
        fs::create_directories(root / "dev/serial/by-id");
        fs::create_symlink("../../ttyUSB0", root / "dev/serial/by-id/usb-FTDI_A1-if00-port0");
        // Left behind by an adapter that has gone.
        fs::create_symlink("../../ttyUSB7", root / "dev/serial/by-id/usb-FTDI_B2-if00-port0");
        // The kernel's own tty drivers and locks.
        fs::create_directories(root / "proc/tty");
        std::ofstream(root / "proc/tty/drivers") << std::ifstream("/proc/tty/drivers").rdbuf();
        fs::create_symlink("/proc/locks", root / "proc/locks");
    }
    ~PortsDialog() override { fs::remove_all(root); }

    app::PortsForm& openDialog() {
        app.open<app::TestForm>(program);
        app.click(dynamic_cast<app::TestForm&>(*app.activeForm()).mPorts);
        return dynamic_cast<app::PortsForm&>(*app.activeForm());
    }

    fs::path root = fs::temp_directory_path() / ("drawertest-ports-" + std::to_string(getpid()));
    MemoryStore store;
    std::map<std::string, std::string> environment{{"DRAWERTEST_LPT2", "/nowhere/lp"}};
    ports::DeviceMap::Lookup lookup = [this](const char* name) -> const char* {
        const auto it = environment.find(name);
        return it == environment.end() ? nullptr : it->second.c_str();
    };
};

}  // namespace

TEST_F(PortsDialog, FindsLinesAdaptersAndPrintersButNeverTheConsoleAPlaceholderOrADeadLink) {
    std::vector<std::string> paths;
    for (const ports::FoundDevice& device : ports::findDevices(root.string()))
        paths.push_back(device.path + (device.fits(ports::PortKind::Serial) ? " COM" : "") +
                        (device.fits(ports::PortKind::Parallel) ? " LPT" : ""));
    EXPECT_EQ(paths, (std::vector<std::string>{
                         "/dev/ttyS1 COM", "/dev/ttyS10 COM", "/dev/ttyUSB0 COM",
                         "/dev/ttyUSB1 COM", "/dev/ttyUSB010 COM", "/dev/ttyUSB99999999999 COM",
                         "/dev/ttyACM0 COM", "/dev/serial/by-id/usb-FTDI_A1-if00-port0 COM",
                         "/dev/lp0 LPT", "/dev/usb/lp0 COM LPT"}));
}

TEST_F(PortsDialog, ShowsSourceAndStateAndKeepsTheChoiceUnlessTheEnvironmentWins) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_TRUE(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
    const std::string pty = ::ptsname(master);
    store.saved["COM2"] = pty;
    app::PortChoices choices(lookup, store, root.string());
    program.setPortChoices(&choices);
    std::vector<std::string> applied;
    choices.setApply(
        [&applied](const ports::DeviceMap& map) { applied.push_back(map.find("COM1")->path); });

    // A lock on another line of the same file system is not this one's.
    const int other = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_TRUE(other >= 0 && ::grantpt(other) == 0 && ::unlockpt(other) == 0);
    const int otherHolder = ::open(::ptsname(other), O_RDWR | O_NOCTTY);
    ASSERT_EQ(::flock(otherHolder, LOCK_EX), 0);

    app::PortsForm& dialog = openDialog();
    for (const auto& [row, device, source, state, usable] : {
             std::tuple{&dialog.COM2, pty, "Your saved choice.", "Ready", true},
             std::tuple{&dialog.LPT1, std::string("/dev/lp0"), "The standard device for LPT1.", "",
                        true},
         }) {
        EXPECT_EQ(row->device.text(), device) << row->port;
        EXPECT_EQ(row->source.caption(), source) << row->port;
        if (*state != '\0') {
            EXPECT_EQ(row->state.caption(), state) << row->port;
        }
        EXPECT_EQ(row->device.isUsable(), usable) << row->port;
    }
    // What the COM1 row says of each device typed into it.
    const std::string file = (root / "dev/ttyUSB0").string();
    const std::string fifo = (root / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const auto& [typed, state, colour] : {
             std::tuple{pty, "Ready", toolkit::colors::kGreen},
             std::tuple{file, "Not a serial line or a printer", toolkit::colors::kRed},
             // A bare name is the device of that name.
             std::tuple{std::string("ttyUSB0"), "Not a serial line or a printer",
                        toolkit::colors::kRed},
             std::tuple{fifo, "A parallel port's device: choose it for LPT1 or LPT2",
                        toolkit::colors::kRed},
             std::tuple{std::string("[fe80::1]"),
                        "Network printer at [fe80::1]:9100: reached when a test screen opens it",
                        toolkit::colors::kGreen},
         }) {
        app.edit(dialog.COM1.device, typed);
        EXPECT_EQ(dialog.COM1.state.caption(), state) << typed;
        EXPECT_EQ(dialog.COM1.state.foreColor(), colour) << typed;
    }
    app.edit(dialog.LPT1.device, pty);
    EXPECT_EQ(dialog.LPT1.state.caption(), "A serial line: choose it for COM1 or COM2");
    app.edit(dialog.LPT1.device, "/dev/lp0");
    const int holder = ::open(pty.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    app.edit(dialog.COM1.device, pty);
    EXPECT_EQ(dialog.COM1.state.caption(), "Held by another program");
    for (const int fd : {holder, master, otherHolder, other})
        ::close(fd);

    // A device picked from those found; OK keeps it, and LPT2's variable still wins.
    app.pick(dialog.COM1.found, 3);
    EXPECT_EQ(dialog.COM1.device.text(), "/dev/ttyUSB0");
    app.click(dialog.OK);
    EXPECT_EQ(store.saved,
              (std::map<std::string, std::string>{{"COM1", "/dev/ttyUSB0"}, {"COM2", pty}}));
    EXPECT_EQ(applied.back(), "/dev/ttyUSB0");
    ASSERT_NE(dynamic_cast<app::TestForm*>(app.activeForm()), nullptr);

    // The standard device again: no choice kept. Cancel keeps what was there.
    app::PortsForm& again = openDialog();
    EXPECT_EQ(again.COM1.source.caption(), "Your saved choice.");
    app.pick(again.COM1.found, 0);
    app.edit(again.COM2.device, "");
    app.click(again.OK);
    EXPECT_TRUE(store.saved.empty());
    app.click(openDialog().Cancel);
    EXPECT_TRUE(store.saved.empty());
}

// Settings that cannot be written: the dialog says so and why, stays, and shows the choices in
// force for this run only; once they can be written, OK keeps them.
TEST_F(PortsDialog, SaysAChoiceCouldNotBeSavedAndShowsWhatIsInForce) {
    const std::string thisRun = "Your choice for this run only: it could not be saved.";
    store.saved["COM2"] = "/dev/ttyUSB1";
    store.failure = "/x/drawertest.conf cannot be written (Permission denied)";
    app::PortChoices choices(lookup, store, root.string());
    program.setPortChoices(&choices);
    app::PortsForm& dialog = openDialog();
    app.edit(dialog.COM1.device, "/dev/ttyUSB0");
    app.edit(dialog.COM2.device, "");
    app.click(dialog.OK);
    ASSERT_EQ(app.activeForm(), &dialog) << "the dialog stays";
    EXPECT_EQ(std::pair(dialog.NotSaved.caption(), dialog.NotSaved.foreColor()),
              std::pair("Your choices could not be saved: " + store.failure +
                            ". They hold until drawertest ends.",
                        toolkit::colors::kRed));
    for (const auto& [row, source, device] :
         {std::tuple{&dialog.COM1, thisRun, "/dev/ttyUSB0"},
          std::tuple{&dialog.COM2, thisRun, "/dev/ttyS1"},  // the standard device is in force
          std::tuple{&dialog.LPT1, std::string("The standard device for LPT1."), "/dev/lp0"}}) {
        EXPECT_EQ(std::pair(row->source.caption(), row->device.text()),
                  std::pair(source, std::string(device)));
        EXPECT_EQ(choices.devices().find(row->port)->path, device);
    }
    EXPECT_EQ(dialog.COM1.source.foreColor(), toolkit::colors::kYellow);
    EXPECT_EQ(store.saved, (std::map<std::string, std::string>{{"COM2", "/dev/ttyUSB1"}}));

    // Cancel leaves the choices in force, shown so the next time; OK tries again.
    app.click(dialog.Cancel);
    app::PortsForm& again = openDialog();
    EXPECT_EQ(std::pair(again.COM1.source.caption(), again.NotSaved.caption()),
              std::pair(thisRun, std::string()));
    store.failure.clear();
    app.click(again.OK);
    EXPECT_EQ(store.saved, (std::map<std::string, std::string>{{"COM1", "/dev/ttyUSB0"}}));
    EXPECT_EQ(openDialog().COM1.source.caption(), "Your saved choice.");
}

// Find, from the dialog, asks every port and device found, more than a page holds, and leads
// back to the dialog; a device it found behind no port of the test's kind is put behind port 1
// (port 2 where port 1's variable wins), as OK would keep it.
TEST_F(PortsDialog, FindLeadsBackHereAndPutsAFoundDeviceBehindAPort) {
    app::PortChoices choices(lookup, store, root.string());
    program.setPortChoices(&choices);
    app.click(openDialog().Find);
    auto& find = dynamic_cast<app::FindForm&>(*app.activeForm());
    while (find.searching())
        runFor(std::chrono::milliseconds(10));
    EXPECT_EQ(find.Page.caption(), "Devices 1 to 6 of 12");
    EXPECT_FALSE(find.Previous.isUsable());
    app.click(find.Next);
    EXPECT_EQ(find.Page.caption(), "Devices 7 to 12 of 12");
    EXPECT_EQ(find.Row1.where.caption(), "/dev/ttyUSB1");
    EXPECT_FALSE(find.Next.isUsable());
    app.click(find.Previous);
    EXPECT_EQ(find.Row1.where.caption(), find.findings()[0].candidate.where());
    app.click(find.exit);
    ASSERT_NE(dynamic_cast<app::PortsForm*>(app.activeForm()), nullptr);

    find::Finding found;
    found.candidate = {"/dev/ttyUSB1", "/dev/ttyUSB1", {}, ports::Reach::SerialLine};
    found.outcome = find::Finding::Outcome::Printer;
    found.brand = &protocol::epsonCommands();
    EXPECT_EQ(program.portForFound(found), "COM1");
    program.openFound(found);
    EXPECT_EQ(store.saved["COM1"], "/dev/ttyUSB1");
    EXPECT_EQ(app.activeForm()->name(), "EPSONSerialform");

    environment["DRAWERTEST_COM1"] = "/nowhere/com1";
    EXPECT_EQ(program.portForFound(found), "COM1") << "the variable is read at start";
    app::PortChoices withVariable(lookup, store, root.string());
    program.setPortChoices(&withVariable);
    EXPECT_EQ(program.portForFound(found), "COM2");
    environment["DRAWERTEST_COM2"] = "/nowhere/com2";
    app::PortChoices withBoth(lookup, store, root.string());
    program.setPortChoices(&withBoth);
    EXPECT_EQ(program.portForFound(found), "");
}
