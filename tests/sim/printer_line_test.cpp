// A simulated printer's far end as a real one is: bytes at another rate than its own arrive
// garbled both ways, offline it holds what it is sent (the kick too) and answers only its
// real-time requests.
#include <gtest/gtest.h>

#include "ports/rate_mismatch.h"
#include "sim/line.h"
#include "sim/printer.h"

namespace {

using namespace std::chrono_literals;
using sim::Bytes;
using sim::Time;

Bytes bytesOf(const std::vector<ports::Received>& received, bool framingErrorsToo) {
    Bytes bytes;
    for (const ports::Received& r : received) {
        if (framingErrorsToo || !r.framingError)
            bytes.push_back(r.byte);
    }
    return bytes;
}

TEST(Uart, ReadsAByteSentAtAnotherRateAsARealReceiverWould) {
    // Sent twice as fast: 0x10 is 0 0000 1000 1 on the wire, and the receiver's data samples
    // fall on sent bits 2, 4, 6, 8 (the stop bit) and then the idle line.
    EXPECT_EQ(bytesOf(ports::receivedAt(0x10, 19200, 9600), true), Bytes{0xFA});
    // Sent at half the rate: each sent bit lasts two of the receiver's, which finds a start bit
    // in the stretched low bits, reads zeros and a low stop bit, then starts again.
    const auto slow = ports::receivedAt(0x10, 9600, 19200);
    ASSERT_EQ(slow.size(), 2u);
    EXPECT_EQ(slow[0].byte, 0x00);
    EXPECT_TRUE(slow[0].framingError);
    EXPECT_EQ(slow[1].byte, 0xE0);
    EXPECT_FALSE(slow[1].framingError);
}

// What a printer tells: bytes garbled at the rate they came at, once the line changes its
// rate; a drawer status only when it changes, every other reply; and on a parallel link, which
// has no rate, the text as it came.
TEST(PrinterLines, TellWhatTheyHeard) {
    const protocol::CommandSet& epson = protocol::epsonCommands();
    auto printer = std::make_shared<sim::Printer>(epson, 0, 38400);
    std::vector<std::string> told;
    printer->setListener([&told](const sim::Notice& n) { told.push_back(n.text); });
    sim::Line line(sim::LineSettings{.baud = 19200});
    line.attach(printer, Time::zero());
    line.write(epson.statusRequest, Time::zero());
    line.setSettings({.baud = 38400}, 100ms);
    const Bytes offlineCause{0x10, 0x04, 0x02};
    for (const auto at : {200ms, 300ms}) {
        line.write(epson.statusRequest, at);
        line.write(offlineCause, at + 10ms);
    }
    line.advance(1s);
    EXPECT_EQ(told, (std::vector<std::string>{
                        "\\xE0",
                        "10 04 01 sent at 19200 baud reached a printer set to 38400 baud garbled: "
                        "E0, 3 with a framing error dropped",
                        "DLE EOT 1: status request; reply 0x16: drawer closed",
                        "DLE EOT 2: offline cause request; reply 0x12: online",
                        "DLE EOT 2: offline cause request; reply 0x12: online"}))
        << "the stray character printed as the rate changed";

    auto parallel = std::make_shared<sim::Printer>(epson);
    std::vector<std::string> paper;
    parallel->setListener([&paper](const sim::Notice& n) {
        if (n.kind == sim::Notice::Kind::Paper)
            paper.push_back(n.text);
    });
    sim::Line link = sim::Line::parallel();
    link.attach(parallel, Time::zero());
    link.write(Bytes{'H', 'i', 0x0A}, Time::zero());
    link.advance(1s);
    EXPECT_EQ(paper, std::vector<std::string>{"Hi"});
}

// A byte garbled on its way can still make a request (0xE2 at 38400 baud reaches a printer at
// 57600 as EOT), and the reply comes back garbled too (0x10 at 57600 read at 38400 as 0xE4).
TEST(PrinterLines, AnswerAGarbledRequestGarbled) {
    auto star = std::make_shared<sim::Printer>(protocol::starCommands(), 0, 57600);
    sim::Line line(sim::LineSettings{.baud = 38400});
    line.attach(star, Time::zero());
    line.write(Bytes{0xE2}, Time::zero());
    Bytes replies;
    while (auto reply = line.read(1s))
        replies.push_back(*reply);
    EXPECT_EQ(replies, Bytes{0xE4});
    EXPECT_EQ(star->statusAnswers(), 1u);
}

// A printer whose cover is open holds the page and the kick, answers the real-time requests
// that tell why, and acts on what it held once its cover is shut.
TEST(PrinterLines, OfflineHoldTheKickUntilBackOnline) {
    const protocol::CommandSet& epson = protocol::epsonCommands();
    auto printer = std::make_shared<sim::Printer>(epson);
    printer->setCondition({.coverOpen = true}, Time::zero());
    sim::Line line;
    line.attach(printer, Time::zero());
    std::vector<std::string> told;
    printer->setListener([&told](const sim::Notice& n) { told.push_back(n.text); });
    const Bytes kickAndAsk{0x1B, 0x70, 0x00, 0x50, 0x50, 0x1D, 0x72,
                           0x02, 0x10, 0x04, 0x01, 0x10, 0x04, 0x02};
    line.write(kickAndAsk, Time::zero());
    Bytes replies;
    while (auto reply = line.read(1s))
        replies.push_back(*reply);
    EXPECT_EQ(replies, (Bytes{0x1E, 0x16})) << "closed and offline; the cover is open";
    EXPECT_FALSE(printer->drawer(1).isOpen());

    printer->setCondition({}, 2s);
    EXPECT_TRUE(printer->drawer(1).isOpen());
    while (auto reply = line.read(4s))
        replies.push_back(*reply);
    EXPECT_EQ(replies, (Bytes{0x1E, 0x16, 0x00})) << "GS r 2 answered once it is its turn";
    EXPECT_EQ(told.front(),
              "ESC p 0 80 80: drawer kick, pin 2, 160 ms on, 160 ms off (1B 70 00 50 50)");
    EXPECT_NE(std::find(told.begin(), told.end(), "back online: 2 held commands go on"),
              told.end());
    EXPECT_NE(std::find(told.begin(), told.end(),
                        "DLE EOT 2: offline cause request; reply "
                        "0x16: cover open"),
              told.end());
}

}  // namespace
