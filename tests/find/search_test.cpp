// The search for drawers on the simulated ports, in virtual time: each brand found at its own
// rate and nothing claimed where nothing answers, a reply no rule reads named, an interface told
// by its lines, an offline printer with its cause, parallel printers by their ID alone; only
// status requests ever go out, each line is put back as it was found, and no device takes
// longer than the bound.
#include "find/search.h"

#include <gtest/gtest.h>

#include "screens/printers/printer_table.h"
#include "sim/device_catalog.h"
#include "sim/printer.h"
#include "support/fake_port_system.h"

namespace {

using namespace std::chrono_literals;
using find::Finding;
using Outcome = find::Finding::Outcome;
using Bytes = std::vector<std::uint8_t>;

find::Candidate portCandidate(const std::string& port) {
    const bool parallel = port.starts_with("LPT");
    return {port, port, {port}, parallel ? ports::Reach::ParallelPort : ports::Reach::SerialLine};
}

struct Searched {
    std::vector<Finding> findings;
    std::vector<toolkit::Millis> took;  // from the search's start to each report
};

// The search over the candidates, each step when it asks, as the window's timer would run it.
Searched search(support::FakePortSystem& fake, toolkit::VirtualClock& clock,
                std::vector<find::Candidate> candidates, int cancelAfterSteps = -1) {
    Searched run;
    const toolkit::Millis start = clock.now();
    find::Search s(fake, std::move(candidates), [&](const Finding& f) {
        run.findings.push_back(f);
        run.took.push_back(clock.now() - start);
    });
    int steps = 0;
    while (auto due = s.step(clock.now())) {
        if (++steps == cancelAfterSteps)
            s.cancel();
        clock.setNow(std::chrono::ceil<toolkit::Millis>(*due));
    }
    return run;
}

struct SearchTest : ::testing::Test {
    SearchTest() { fake.useClock(clock); }

    // Every write of the search was a brand's status or condition request, whole.
    void expectOnlyRequests() {
        for (const Bytes& write : fake.writes())
            EXPECT_NE(protocol::commandSetAsking(write), nullptr) << protocol::hex(write);
    }

    toolkit::VirtualClock clock;
    support::FakePortSystem fake;
};

// Star's and Ithaca's ENQ is not sent at 19200 and 38400 (Search::safeAt): their printers are
// found at 9600, 57600 and 115200, Epson's at every rate.
TEST_F(SearchTest, FindsEachBrandAtItsOwnRateAndNeverOpensADrawer) {
    const auto rates = [](const protocol::CommandSet* brand) {
        return brand == &protocol::epsonCommands()
                   ? std::vector<std::uint32_t>{9600, 19200, 38400, 57600, 115200}
                   : std::vector<std::uint32_t>{9600, 38400, 57600, 115200};
    };
    for (const protocol::CommandSet* brand :
         {&protocol::epsonCommands(), &protocol::starCommands(), &protocol::ithacaCommands()}) {
        for (std::uint32_t rate : rates(brand)) {
            SCOPED_TRACE(std::string(brand->name) + " at " + std::to_string(rate));
            auto printer = std::make_shared<sim::Printer>(*brand, 0, rate);
            // What arrives garbled may leave a stray character to print; nothing more.
            std::string acted;
            printer->setListener([&](const sim::Notice& n) {
                for (const char* act : {"kick", "cut", "feed", "initialise"}) {
                    if (n.kind == sim::Notice::Kind::Drawer ||
                        n.text.find(act) != std::string::npos)
                        acted += n.text + "\n";
                }
            });
            fake.attach("COM2", printer);
            fake.clearCalls();
            const Searched run =
                search(fake, clock, {portCandidate("COM1"), portCandidate("COM2")});
            ASSERT_EQ(run.findings.size(), 2u);
            EXPECT_EQ(run.findings[0].summary(), "nothing answered");
            const Finding& found = run.findings[1];
            EXPECT_FALSE(printer->drawer(1).isOpen());
            EXPECT_EQ(acted, "");
            expectOnlyRequests();
            EXPECT_LE(run.took[1] - run.took[0], find::Search::kPortBound);
            if (brand != &protocol::epsonCommands() && (rate == 19200 || rate == 38400)) {
                // A Star answers the EOT in Epson's request with its paper status; an Ithaca
                // shows only its lines.
                const bool star = brand == &protocol::starCommands();
                EXPECT_EQ(found.outcome, star ? Outcome::UnknownReply : Outcome::Interface);
                EXPECT_EQ(found.baud, star ? rate : 0);
                continue;
            }
            EXPECT_EQ(found.outcome, Outcome::Printer);
            EXPECT_EQ(found.brand, brand);
            EXPECT_EQ(found.baud, rate);
            EXPECT_EQ(found.drawer, protocol::DrawerReading::Closed);
            EXPECT_EQ(found.screen(), screens::printerBrandNamed(brand->name)->serial.formName);
        }
    }
}

// Where nothing answers, every rate is tried with each request that is safe there, Epson's
// first and Star's catch-all rule last.
TEST_F(SearchTest, AsksEachRateOnlyWhatIsSafeThere) {
    search(fake, clock, {portCandidate("COM1")});
    std::vector<std::string> perRate;
    std::string rate;
    std::size_t write = 0;
    for (const std::string& call : fake.calls()) {
        if (call.starts_with("setCommState")) {
            const std::size_t from = call.find(", ") + 2;
            perRate.push_back(call.substr(from, call.find(',', from) - from) + ":");
        } else if (call.starts_with("writeFile")) {
            perRate.back() +=
                std::string(" ") + protocol::commandSetAsking(fake.writes()[write++])->name;
        }
    }
    EXPECT_EQ(perRate, (std::vector<std::string>{"9600: epson ithaca star", "19200: epson",
                                                 "38400: epson", "57600: epson ithaca star",
                                                 "115200: epson ithaca star", "9600:"}))
        << "the last: the line put back as it was found";
}

// A printer slow to answer (within the late bound) is found as itself: its reply, come while
// another brand is asked, is its own brand's.
TEST_F(SearchTest, FindsASlowPrinterAsItself) {
    for (const protocol::CommandSet* brand :
         {&protocol::epsonCommands(), &protocol::ithacaCommands(), &protocol::starCommands()}) {
        for (const auto delay : {70ms, 120ms, 400ms}) {
            SCOPED_TRACE(std::string(brand->name) + " " + std::to_string(delay.count()));
            toolkit::VirtualClock time;
            support::FakePortSystem ports;
            ports.useClock(time);
            ports.attach("COM1", std::make_shared<sim::Printer>(*brand));
            ports.line("COM1").setReplyDelay(delay);
            const Searched run =
                search(ports, time, {portCandidate("COM1"), portCandidate("COM2")});
            EXPECT_EQ(
                run.findings[0].summary(),
                std::string(brand->title) + "-compatible printer at 9600 baud, drawer closed");
            EXPECT_EQ(run.findings[1].summary(), "nothing answered")
                << "the next device is not given a slow printer's time";
        }
    }
}

// An offline printer still answers its real-time requests: it is asked why, and the kick it
// would hold is explained.
TEST_F(SearchTest, AsksAnOfflinePrinterWhy) {
    auto printer = std::make_shared<sim::Printer>(protocol::epsonCommands());
    printer->setCondition({.coverOpen = true, .paperLow = true}, {});
    fake.attach("COM1", printer);
    const Searched run = search(fake, clock, {portCandidate("COM1")});
    ASSERT_EQ(run.findings.size(), 1u);
    EXPECT_EQ(run.findings[0].summary(),
              "Epson-compatible printer at 9600 baud, drawer closed; the printer is offline (cover "
              "open): it will not open the drawer until it is back online; paper is running low");
    EXPECT_EQ(fake.bytesWritten(), (Bytes{0x10, 0x04, 0x01, 0x10, 0x04, 0x02, 0x10, 0x04, 0x04}));
}

// Answers anything with 'A': no rule reads it.
class Babbler final : public sim::Device {
public:
    Babbler() : Device(1) {}
    std::string description() const override { return "a babbler"; }
    sim::ModemLines modemLines() const override { return {}; }

protected:
    sim::Bytes onByte(std::uint8_t, sim::Time) override { return {'A'}; }
};

TEST_F(SearchTest, NamesAReplyNoRuleReadsAndTellsAnInterfaceByItsLines) {
    fake.attach("COM1", std::make_shared<Babbler>());
    auto alder = sim::makeDevice("alder");
    fake.attach("COM2", alder);
    const Searched run = search(fake, clock, {portCandidate("COM1"), portCandidate("COM2")});
    ASSERT_EQ(run.findings.size(), 2u);
    EXPECT_EQ(run.findings[0].summary(),
              "something answered that is no drawer status (0x41 at 9600 baud)");
    EXPECT_EQ(run.findings[0].screen(), "");
    EXPECT_EQ(run.findings[1].summary(),
              "drawer interface powered (CTS, DSR), drawer closed; or a printer that answered no "
              "request");
    EXPECT_EQ(run.findings[1].screen(), "Alderform");
    EXPECT_FALSE(alder->drawer(1).isOpen()) << "no request is its opening character";

    // A loopback plug echoes every request (and holds CTS and DSR, from RTS and DTR), its echo
    // back at once or late within the reply's bound: no byte of it is taken for the next
    // request's reply.
    fake.attach("COM1", sim::makeDevice("loopback"));
    for (int late = 0; late <= 45; late += 3) {
        fake.line("COM1").setReplyDelay(std::chrono::milliseconds(late));
        EXPECT_EQ(search(fake, clock, {portCandidate("COM1")}).findings[0].summary(),
                  "it sends back what it is sent: a loopback plug, or a device that echoes")
            << late << " ms late";
    }

    // The lines alone, with nothing on the far end: RI tells the drawer; one line is no
    // interface.
    fake.attach("COM2", nullptr);
    for (const auto& [lines, said] :
         {std::pair{0x70u,
                    "drawer interface powered (CTS, DSR), drawer open; or a printer "
                    "that answered no request"},
          std::pair{0x10u, "nothing answered (CTS on)"}}) {
        fake.setModemStatus(lines);
        EXPECT_EQ(search(fake, clock, {portCandidate("COM2")}).findings[0].summary(), said);
    }
}

TEST_F(SearchTest, AsksAParallelPortForItsPrintersIdAlone) {
    search(fake, clock, {portCandidate("COM1")});  // a line read before, and put back
    fake.clearCalls();
    fake.attach("LPT1", std::make_shared<sim::Printer>(protocol::starCommands()));
    fake.attach("LPT2", sim::makeDevice("maple"));
    const Searched run = search(fake, clock, {portCandidate("LPT1"), portCandidate("LPT2")});
    // (What each finding says is the Find window's and the command line's tests' to show.)
    ASSERT_EQ(run.findings.size(), 2u);
    EXPECT_EQ(run.findings[0].screen(), "StarParallelform");
    EXPECT_TRUE(fake.writes().empty());
    EXPECT_EQ(std::count_if(fake.calls().begin(), fake.calls().end(),
                            [](const std::string& c) { return c.starts_with("setCommState"); }),
              0)
        << "no line to put back";

    // A USB printer has a status channel: the brand its ID names is asked, and only that one,
    // whatever the device before it was asked.
    fake.attach("LPT2", std::make_shared<sim::Printer>(protocol::epsonCommands()));
    fake.clearCalls();
    search(fake, clock,
           {{"LPT1", "LPT1", {"LPT1"}, ports::Reach::UsbPrinter},
            {"LPT2", "LPT2", {"LPT2"}, ports::Reach::UsbPrinter}});
    EXPECT_EQ(fake.bytesWritten(), (Bytes{0x05, 0x10, 0x04, 0x01}));
}

TEST_F(SearchTest, PutsEachLineBackAndTellsADeviceItCannotUse) {
    // COM1 left at 2400 baud 7E1 by whatever used it last.
    ports::PortSystem& seam = fake;
    const ports::Handle before = seam.createFile("COM1", 0, 0, 0, 0);
    ports::CommDcb odd{.baudRate = 2400, .byteSize = 7, .parity = ports::Parity::Even};
    ASSERT_EQ(seam.setCommState(before, odd), ports::kSuccess);
    seam.closeHandle(before);
    fake.setBusy("COM2");
    fake.setMissing("LPT2");
    fake.clearCalls();
    const Searched run =
        search(fake, clock, {portCandidate("COM1"), portCandidate("COM2"), portCandidate("LPT2")});
    ASSERT_EQ(run.findings.size(), 3u);
    const auto& calls = fake.calls();
    const auto closed = std::find(calls.begin(), calls.end(), "closeHandle(2)");
    ASSERT_NE(closed, calls.end());
    EXPECT_EQ(*(closed - 1), "setCommState(2, 2400,e,7,1)");
    EXPECT_TRUE(fake.openHandles().empty());
#ifndef _WIN32
    // (The fake's codes are errno values: Windows refuses a port in use with access denied.)
    EXPECT_EQ(run.findings[1].summary(), "held by another program");
#endif
}

// A device that takes no data holds the search no longer than the bound; a cancelled search
// closes the port it was at and goes no further; a port that fails ends its device.
TEST_F(SearchTest, KeepsToItsBoundAndStopsWhenCancelled) {
    fake.setTakesData("COM1", false);
    Searched run = search(fake, clock, {portCandidate("COM1")});
    ASSERT_EQ(run.findings.size(), 1u);
    EXPECT_EQ(run.findings[0].summary(),
              "it takes no data (" + std::to_string(ports::kTimedOut) +
                  "): a printer switched off, or one waiting for a handshake line");
    EXPECT_LE(run.took[0], find::Search::kPortBound);

    fake.setTakesData("COM1", true);
    run = search(fake, clock, {portCandidate("COM1"), portCandidate("COM2")}, 5);
    ASSERT_EQ(run.findings.size(), 1u);
    EXPECT_EQ(run.findings[0].summary(), "not finished: the search was cancelled");
    EXPECT_TRUE(fake.openHandles().empty());

    // A port that fails while a reply is awaited is told by its code.
    fake.fail(support::Call::ClearCommError, 5, 0, 1000);
    run = search(fake, clock, {portCandidate("COM1")});
    EXPECT_EQ(run.findings[0].summary(), "the port failed while it was asked (5)");
}

TEST(Candidates, EachDeviceOnceWithEveryPortThatLeadsToIt) {
    const ports::DeviceMap devices = ports::DeviceMap::fromEnvironment([](const char* name) {
        const std::string variable = name;
        return variable == "DRAWERTEST_COM1" || variable == "DRAWERTEST_COM2" ? "/dev/null"
               : variable == "DRAWERTEST_LPT1"                                ? "/nowhere/lp0"
                                                                              : "printer:9100";
    });
    const std::vector<ports::FoundDevice> found{
        {"/dev/null", ports::PortKind::Serial, false, "the same device"},
        {"/nowhere/ttyUSB0", ports::PortKind::Serial, false, "USB serial adapter"},
        {"Receipt", ports::PortKind::Parallel, false, "print queue on USB001, no COM port", true}};
    const auto candidates =
        find::candidatesOf(devices, found, {"LPT1", "10.0.0.9", "/nowhere/ttyUSB0"});
    ASSERT_EQ(candidates.size(), 5u);
    EXPECT_EQ(candidates[0].where(), "COM1, COM2 /dev/null");
    EXPECT_EQ(candidates[1].where(), "LPT1 /nowhere/lp0");
    EXPECT_EQ(candidates[2].where(), "LPT2 printer:9100");
    EXPECT_EQ(candidates[2].reach, ports::Reach::Network);
    EXPECT_EQ(candidates[3].where(), "/nowhere/ttyUSB0");
    EXPECT_EQ(candidates[3].reach, ports::Reach::SerialLine);
    EXPECT_EQ(candidates[4].device, "10.0.0.9");
}

}  // namespace
