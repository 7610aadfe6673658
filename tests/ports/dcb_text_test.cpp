// How the backends read a serial port's line-settings text. (The text each screen builds: the
// screens' tests.)
#include "ports/dcb_text.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <tuple>

namespace {

using ports::Parity;
using ports::StopBits;

TEST(DcbText, ReadsWhatReadsAndKeepsTheBlockOtherwise) {
    // Whether a rate is a line speed is the line's business, not the text's.
    using Read = std::tuple<const char*, std::uint32_t, Parity, int, StopBits>;
    for (const auto& [text, rate, parity, bits, stop] :
         {Read{"COM2:4800,n,8,1", 4800, Parity::None, 8, StopBits::One},
          Read{" com1 : 300 , E , 7 , 2 ", 300, Parity::Even, 7, StopBits::Two},
          Read{"1200,o,5,1.5", 1200, Parity::Odd, 5, StopBits::OneAndHalf},
          Read{"COM1:0,n,8,1", 0, Parity::None, 8, StopBits::One}}) {
        ports::CommDcb dcb;
        dcb.outxCtsFlow = dcb.outxDsrFlow = dcb.outX = dcb.inX = true;
        ASSERT_EQ(ports::parseDcbText(text, dcb), ports::kSuccess) << text;
        EXPECT_EQ(dcb.baudRate, rate) << text;
        EXPECT_EQ(dcb.parity, parity) << text;
        EXPECT_EQ(dcb.byteSize, bits) << text;
        EXPECT_EQ(dcb.stopBits, stop) << text;
        EXPECT_FALSE(dcb.outxCtsFlow || dcb.outxDsrFlow || dcb.outX || dcb.inX) << text;
    }
    for (const char* text :
         {"", "COM1:", "COM1:9600,n,8", "COM1:9600,n,8,1,x", "COM1:,n,8,1", "COM1:96k,n,8,1",
          "COM1:-1,n,8,1", "COM1:4294967296,n,8,1", "COM1:9600,q,8,1", "COM1:9600,n,9,1",
          "COM1:9600,n,4,1", "COM1:9600,n,8,3", "LPT1:9600,n,8,1", "COMX:9600,n,8,1"}) {
        ports::CommDcb dcb;
        dcb.baudRate = 1234;
        EXPECT_EQ(ports::parseDcbText(text, dcb), static_cast<ports::ErrorCode>(EINVAL)) << text;
        EXPECT_EQ(dcb.baudRate, 1234u) << text;
    }
}

}  // namespace
