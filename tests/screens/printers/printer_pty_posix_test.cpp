// The Epson serial screen on the real POSIX backend, its COM1 a pseudo-terminal with a scripted
// printer on the far end; the other ports point at paths that do not exist. The printer's
// status reply is put on the line between the request and the tick that takes it, and only once
// the line holds it, so that tick finds it however slowly the machine runs.
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "ports/posix_port_system.h"
#include "screens/printers/epson_screens.h"
#include "screens/printers/page_texts.h"
#include "support/screen_harness.h"

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

namespace {

// Bounds the waits of a broken run only: a working one never waits that long.
constexpr int kPatienceMs = 10000;

// The printer's end of the pty, and a second opening of the screen's end that tells when a
// byte put on the line has arrived there.
struct ScriptedPrinter {
    int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    std::string slave =
        master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0 ? ::ptsname(master) : "";
    int watch = ::open(slave.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);

    ScriptedPrinter() = default;
    ScriptedPrinter(const ScriptedPrinter&) = delete;
    ScriptedPrinter& operator=(const ScriptedPrinter&) = delete;
    ~ScriptedPrinter() {
        ::close(watch);
        ::close(master);
    }

    // The next `count` bytes the screen sent.
    Bytes receive(std::size_t count) {
        Bytes bytes(count);
        std::size_t got = 0;
        for (pollfd entry{master, POLLIN, 0}; got < count;) {
            const ssize_t n = ::poll(&entry, 1, kPatienceMs) == 1
                                  ? ::read(master, bytes.data() + got, count - got)
                                  : 0;
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        bytes.resize(got);
        return bytes;
    }
    // Puts a status byte on the line and returns once the screen's end holds it.
    bool queueReply(std::uint8_t status) {
        pollfd entry{watch, POLLIN, 0};
        return ::write(master, &status, 1) == 1 && ::poll(&entry, 1, kPatienceMs) == 1;
    }
};

ports::DeviceMap onlyCom1(const std::string& path) {
    return ports::DeviceMap::fromEnvironment([path](const char* variable) -> const char* {
        return std::string(variable) == "DRAWERTEST_COM1" ? path.c_str() : "/nonexistent/port";
    });
}

}  // namespace

TEST(PrinterOnAPty, PrintsThePageOpensTheDrawerAndShowsTheReportedState) {
    ScriptedPrinter printer;
    ASSERT_GE(printer.watch, 0) << "no pseudo-terminal: " << errno;
    ports::PosixPortSystem system(onlyCom1(printer.slave));
    support::ScreenHarness h;
    screens::Context context{system, h.records, h.navigator};
    auto& s = h.app.open<screens::EPSONSerialform>(context);
    ASSERT_EQ(s.Feedback1.caption(), "DCB updated successfully");

    h.app.click(s.TestDrawer);
    h.app.click(s.Trigger);
    Bytes expected(screens::PageText.begin(), screens::PageText.end());
    expected.insert(expected.end(),
                    {0x1B, 0x64, 0x08, 0x1D, 0x56, 0x01, 0x1B, 0x70, 0x00, 0x50, 0x50});
    EXPECT_EQ(printer.receive(expected.size()), expected);
    EXPECT_EQ(s.Feedback1.caption(), "DCB updated successfully") << "no write failed";

    // What the line held before the request is thrown away; the reply is taken once it is there.
    ASSERT_TRUE(printer.queueReply(0x12));
    h.app.click(*s.DrawerStatus);
    h.runFor(100ms);
    EXPECT_EQ(printer.receive(3), (Bytes{0x10, 0x04, 0x01}));
    ASSERT_TRUE(printer.queueReply(0x16));
    h.runFor(50ms);
    EXPECT_EQ(s.statusReply(), 0x16);
    EXPECT_EQ(s.cd_status->caption(), "Closed");

    // A printer that stays silent, once the page has had its time on the line.
    h.runFor(1000ms);
    EXPECT_EQ(s.Feedback1.caption(),
              "Error getting status information. (" + std::to_string(ETIMEDOUT) + ")");
    EXPECT_EQ(s.cd_status->caption(), "No reply");
}
