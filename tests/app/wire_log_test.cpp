// The wire log as a person reads it: a screen opened through the program, its calls and bytes
// on the fake ports (a simulated printer on the far end) named; the cap; a save that fails.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <sstream>

#include "screens/printers/printer_screen.h"
#include "sim/printer.h"
#include "support/program_harness.h"

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;
using ports::PortCall;

namespace {

Lines linesOf(const std::string& text) {
    Lines lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

}  // namespace

// (The page and the kick named by the brand's commands: the command sets' test and the window's.)
TEST(WireLog, AnEpsonScreensSetUpAndPollAreNamedInTheirOrder) {
    support::ProgramHarness p;
    p.fake.attach("COM1", std::make_shared<sim::Printer>(protocol::epsonCommands()));
    p.program.showScreen("EPSONSerialform");
    auto& screen = dynamic_cast<screens::PrinterScreen&>(*p.app.activeForm());
    p.app.click(*screen.DrawerStatus);  // polls, and checks "Test Drawer"
    p.runFor(150ms);                    // a request and its reply

    const Lines lines = linesOf(p.program.wireLog().text());
    EXPECT_EQ(lines[0].substr(0, 48), "Wire log of \"Epson Serial Printer Test\", opened ");
    // The port opened and set up, then the first poll: a request and its reply 50 ms later.
    EXPECT_EQ(Lines(lines.begin() + 4, lines.begin() + 18),
              (Lines{
                  "    0.000  call  open COM1: handle 1",
                  "    0.000  call  flush",
                  "    0.000  call  read line settings: 9600 baud, 8N1",
                  "    0.000  call  build line settings \"COM1:9600,n,8,1\": 9600 baud, 8N1",
                  "    0.000  call  set line settings 9600 baud, 8N1",
                  "    0.000  call  raise RTS",
                  "    0.100  call  create event \"0\": event 1",
                  "    0.100  call  purge input",
                  "    0.100  out   10     \".\"",
                  "    0.100  out   04     \".\"",
                  "    0.100  out   01     \".\"   DLE EOT 1: status request",
                  "    0.100  call  close event 1",
                  "    0.150  call  queues: 1 byte in, 0 bytes out",
                  "    0.150  in    16     \".\"   reply 0x16: drawer closed",
              }));
}

TEST(WireLog, KeepsTheNewestEventsAndSaysHowManyWentAndNamesAnInterfacesOpeningCharacters) {
    toolkit::VirtualClock clock;
    app::WireLog log(clock);
    const auto call = [&log](PortCall::Kind kind, std::string bytes = {},
                             ports::ErrorCode result = ports::kSuccess) {
        const auto taken = static_cast<std::uint32_t>(bytes.size());
        log.portCall({kind, result, 1, {taken}, std::move(bytes)});
    };
    const auto write = [&call](std::string bytes, ports::ErrorCode result = ports::kSuccess) {
        call(PortCall::Kind::Write, std::move(bytes), result);
    };
    log.start(*screens::screenNamed("EPSONSerialform"));
    call(PortCall::Kind::Read, "\x16\x16");  // two bytes are no one reply
    EXPECT_EQ(log.line(0), "    0.000  in    16 16  \"..\"");
    clock.spend(1s);  // times count from the start of the screen
    log.start(*screens::screenNamed("Birchform"));
    log.setCaption("Birch Interface Test");
    EXPECT_EQ(log.total(), 0u);
    clock.spend(10001234ms);  // hours into the screen
    call(PortCall::Kind::Flush);
    write({'\x07', '\0'});
    write({'\x07', '\0'}, 5);
    EXPECT_EQ(log.line(1), "10001.234  out   07 00  \"..\"  opening character 7 (0x07), pair 1");
    EXPECT_EQ(log.line(2),
              "10001.234  out   07 00  \"..\"  opening character 7 (0x07), pair 2; failed (5), "
              "not sent");
    // A port found as another program left it.
    const ports::CommDcb found{1200,  7,   ports::Parity::Even, ports::StopBits::Two, true, false,
                               false, true};
    log.portCall({PortCall::Kind::GetCommState, ports::kSuccess, 1, ports::packLine(found), {}});
    EXPECT_EQ(log.line(3),
              "10001.234  call  read line settings: 1200 baud, 7E2, CTS flow, XON/XOFF in");
    log.portCall({PortCall::Kind::ModemStatus, ports::kSuccess, 1, {ports::kDsrOn}, {}});
    EXPECT_EQ(log.line(4), "10001.234  call  modem status 0x20: CTS off, DSR on, RI off, CD off");
    log.portCall({PortCall::Kind::SetCommTimeouts, ports::kSuccess, 1, {1, 2, 3, 4, 5}, {}});
    EXPECT_EQ(log.line(5),
              "10001.234  call  set time-outs: interval 1 ms, read 2 ms a byte + 3 "
              "ms, write 4 ms a byte + 5 ms");
    log.portCall({PortCall::Kind::Wait, ports::kTimedOut, 2, {1000}, {}});
    EXPECT_EQ(log.line(6), "10001.234  call  wait for event 2, at most 1000 ms: timed out (" +
                               std::to_string(ports::kTimedOut) + ")");

    for (std::uint64_t n = log.total(); n < app::WireLog::kCapacity + 1; ++n)
        write("\x7F");
    EXPECT_EQ(log.dropped(), 1u);
    EXPECT_EQ(log.total(), 100'001u);
    EXPECT_EQ(linesOf(log.heading())[1],
              "100,001 events; the oldest 1 dropped, the newest 100,000 kept");
    EXPECT_EQ(log.line(log.total() - 1), "10001.234  out   7F     \".\"");
}

TEST(WireLog, ASaveThatFailsSaysWhy) {  // the window's Save test writes one that succeeds
    const auto nowhere = std::filesystem::temp_directory_path() / "no such directory" / "log.txt";
    EXPECT_EQ(app::saveText(nowhere, "text"), std::strerror(ENOENT));
#ifndef _WIN32
    EXPECT_EQ(app::saveText("/dev/full", "text"), std::strerror(ENOSPC)) << "a full disk";
#endif
}
