// find: every port the machine lists, the ports' devices and the addresses named, asked what is
// on them as the Find window asks, each printed as soon as it is done.
#include <csignal>
#include <thread>

#include "cli/commands.h"
#include "find/search.h"
#include "ports/backends/platform_port_system.h"
#include "protocol/bytes.h"

namespace cli {

namespace {

using Clock = std::chrono::steady_clock;
using find::Finding;

volatile std::sig_atomic_t g_cancelled = 0;

extern "C" void onCancel(int) {
    g_cancelled = 1;
}

Report reportOf(const Finding& f) {
    Report report;
    std::string names;
    for (const std::string& port : f.candidate.ports)
        names += (names.empty() ? "" : ",") + port;
    report.text("command", "find").text("port", names).text("device", f.candidate.path);
    report.text("result", f.result());
    if (f.brand)
        report.text("printer", f.brand->name);
    if (f.baud != 0)
        report.number("baud", f.baud);
    if (f.drawer)
        report.text("drawer", *f.drawer == protocol::DrawerReading::Open ? "open" : "closed");
    if (const std::string why = f.condition.sentence(); !why.empty())
        report.text("condition", why);
    if (f.reply)
        report.text("reply", "0x" + protocol::hex(*f.reply));
    if (!f.deviceId.empty())
        report.text("id", f.deviceId);
    if (f.code != ports::kSuccess)
        report.number("code", static_cast<long long>(f.code));
    if (const std::string screen = f.screen(); !screen.empty())
        report.text("screen", screen);
    return report.text("message", f.summary());
}

}  // namespace

int runFind(const std::vector<std::string>& addresses, const ports::DeviceMap& devices,
            const Output& output, const std::string& systemRoot) {
    ports::PlatformPortSystem portSystem(devices);
    bool found = false;
    find::Search search(
        portSystem,
        find::candidatesOf(devices, ports::findDevices(systemRoot), addresses, systemRoot),
        [&](const Finding& f) {
            found = found || f.outcome == Finding::Outcome::Printer ||
                    f.outcome == Finding::Outcome::Interface;
            output.print(reportOf(f), f.candidate.where() + ": " + f.summary(), false);
        });
    std::signal(SIGINT, onCancel);
    std::signal(SIGTERM, onCancel);
    const auto now = [] {
        return std::chrono::duration_cast<find::Search::Time>(Clock::now().time_since_epoch());
    };
    while (const auto due = search.step(now())) {
        if (g_cancelled != 0)
            search.cancel();
        std::this_thread::sleep_until(Clock::time_point(*due));
    }
    return found ? kDone : kNoAnswer;
}

}  // namespace cli
