// The Epson serial screen on the real POSIX backend, talking through a pseudo-terminal to a
// scripted printer that answers the real-time status request. Only COM1 is mapped, to the
// pty; the other ports point at paths that do not exist.
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

#include "ports/posix_port_system.h"
#include "screens/printers/epson_screens.h"
#include "screens/printers/page_texts.h"
#include "support/screen_harness.h"
#include "support/virtual_time.h"

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

namespace {

// The far end of the pty: records every byte the screen sends and answers each DLE EOT 1
// with the status byte it is told to, or stays silent.
class ScriptedPrinter {
public:
    ScriptedPrinter() {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
        if (m_master >= 0 && ::grantpt(m_master) == 0 && ::unlockpt(m_master) == 0) {
            m_slave = ::ptsname(m_master);
            m_thread = std::thread([this] { run(); });
        }
    }
    ~ScriptedPrinter() {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_master >= 0)
            ::close(m_master);
    }
    ScriptedPrinter(const ScriptedPrinter&) = delete;
    ScriptedPrinter& operator=(const ScriptedPrinter&) = delete;

    bool ok() const { return !m_slave.empty(); }
    const std::string& slave() const { return m_slave; }
    void answerWith(std::optional<std::uint8_t> status) { m_status = status ? int{*status} : -1; }

    // What arrived so far, once `count` bytes are there or two seconds have passed.
    Bytes received(std::size_t count) {
        std::unique_lock lock(m_mutex);
        m_arrived.wait_for(lock, 2s, [&] { return m_received.size() >= count; });
        return m_received;
    }
    void forget() {
        std::lock_guard lock(m_mutex);
        m_received.clear();
    }

private:
    void run() {
        pollfd entry{m_master, POLLIN, 0};
        while (!m_stop) {
            if (::poll(&entry, 1, 5) <= 0)
                continue;
            std::uint8_t buffer[256];
            const ssize_t n = ::read(m_master, buffer, sizeof buffer);
            if (n <= 0)
                continue;
            std::lock_guard lock(m_mutex);
            for (ssize_t i = 0; i < n; ++i) {
                m_received.push_back(buffer[i]);
                const std::size_t size = m_received.size();
                const bool request = size >= 3 && m_received[size - 3] == 0x10 &&
                                     m_received[size - 2] == 0x04 && m_received[size - 1] == 0x01;
                if (request && m_status >= 0) {
                    const auto reply = static_cast<std::uint8_t>(m_status);
                    (void)::write(m_master, &reply, 1);
                }
            }
            m_arrived.notify_all();
        }
    }

    int m_master = -1;
    std::string m_slave;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_status{-1};
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    Bytes m_received;
};

ports::DeviceMap onlyCom1(const std::string& path) {
    return ports::DeviceMap::fromEnvironment([path](const char* variable) -> const char* {
        static const std::map<std::string, std::string> kMissing{
            {"DRAWERTEST_COM2", "/nonexistent/drawertest-COM2"},
            {"DRAWERTEST_LPT1", "/nonexistent/drawertest-LPT1"},
            {"DRAWERTEST_LPT2", "/nonexistent/drawertest-LPT2"}};
        if (std::string(variable) == "DRAWERTEST_COM1")
            return path.c_str();
        return kMissing.at(variable).c_str();
    });
}

}  // namespace

TEST(PrinterOnAPty, PrintsThePageOpensTheDrawerAndShowsTheReportedState) {
    ScriptedPrinter printer;
    ASSERT_TRUE(printer.ok()) << "no pseudo-terminal: " << errno;
    const std::string slave = printer.slave();

    toolkit::VirtualClock clock;
    toolkit::Application app{clock};
    support::RecordingWindowSystem windows;
    app.setWindowSystem(&windows);
    ports::PosixPortSystem system(onlyCom1(slave));
    ports::SharedRecords records;
    support::RecordingNavigator navigator;
    screens::Context context{system, records, navigator};

    auto& s = app.open<screens::EPSONSerialform>(context);
    ASSERT_EQ(s.Feedback1.caption(), "DCB updated successfully");

    app.click(s.TestDrawer);
    app.click(s.Trigger);
    Bytes expected(screens::PageText.begin(), screens::PageText.end());
    expected.insert(expected.end(),
                    {0x1B, 0x64, 0x08, 0x1D, 0x56, 0x01, 0x1B, 0x70, 0x00, 0x50, 0x50});
    EXPECT_EQ(printer.received(expected.size()), expected);
    EXPECT_EQ(s.Feedback1.caption(), "DCB updated successfully") << "no write failed";

    printer.forget();
    printer.answerWith(0x16);
    app.click(*s.DrawerStatus);
    support::runFor(app, clock, 100ms);
    EXPECT_EQ(printer.received(3), (Bytes{0x10, 0x04, 0x01}));
    EXPECT_EQ(s.statusReply(), 0x16);
    EXPECT_EQ(s.cd_status->caption(), "Closed");

    printer.answerWith(0x12);
    support::runFor(app, clock, 100ms);
    EXPECT_EQ(s.cd_status->caption(), "Open");

    // A printer that stops answering: the read gives up within its bound.
    printer.answerWith(std::nullopt);
    support::runFor(app, clock, 100ms);
    EXPECT_EQ(s.Feedback1.caption(),
              "Error getting status information. (" + std::to_string(ETIMEDOUT) + ")");
    EXPECT_EQ(s.cd_status->caption(), "No reply");
}
