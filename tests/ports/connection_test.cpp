// The line-settings text of a serial port and how the backends read it back.
#include "ports/connection.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "ports/dcb_text.h"

namespace {

TEST(SettingsText, PortAndRate) {
    EXPECT_EQ(ports::settingsText("\\\\.\\COM1", 2400), "COM1:2400,n,8,1");
    EXPECT_EQ(ports::settingsText("\\\\.\\COM2", 2400), "COM2:2400,n,8,1");
    EXPECT_EQ(ports::settingsText("COM1", 9600), "COM1:9600,n,8,1");
    EXPECT_EQ(ports::settingsText("COM2", 4800), "COM2:4800,n,8,1");
    // Set up before any rate was picked.
    EXPECT_EQ(ports::settingsText("\\\\.\\COM1", 0), "COM1:0,n,8,1");
}

TEST(DcbText, ReadsRateParityDataAndStopBits) {
    ports::CommDcb dcb;
    dcb.outxCtsFlow = dcb.outxDsrFlow = dcb.outX = dcb.inX = true;
    ASSERT_EQ(ports::parseDcbText(ports::settingsText("COM2", 4800), dcb), ports::kSuccess);
    EXPECT_EQ(dcb.baudRate, 4800u);
    EXPECT_EQ(dcb.parity, ports::Parity::None);
    EXPECT_EQ(dcb.byteSize, 8);
    EXPECT_EQ(dcb.stopBits, ports::StopBits::One);
    EXPECT_FALSE(dcb.outxCtsFlow || dcb.outxDsrFlow || dcb.outX || dcb.inX);

    ASSERT_EQ(ports::parseDcbText(" com1 : 300 , E , 7 , 2 ", dcb), ports::kSuccess);
    EXPECT_EQ(dcb.baudRate, 300u);
    EXPECT_EQ(dcb.parity, ports::Parity::Even);
    EXPECT_EQ(dcb.byteSize, 7);
    EXPECT_EQ(dcb.stopBits, ports::StopBits::Two);

    ASSERT_EQ(ports::parseDcbText("1200,o,5,1.5", dcb), ports::kSuccess);
    EXPECT_EQ(dcb.parity, ports::Parity::Odd);
    EXPECT_EQ(dcb.stopBits, ports::StopBits::OneAndHalf);

    // Whether a rate is a line speed is the line's business, not the text's.
    ASSERT_EQ(ports::parseDcbText("COM1:0,n,8,1", dcb), ports::kSuccess);
    EXPECT_EQ(dcb.baudRate, 0u);
}

TEST(DcbText, RejectsWhatDoesNotReadAndKeepsTheBlock) {
    for (const char* text :
         {"", "COM1:", "COM1:9600", "COM1:9600,n,8", "COM1:9600,n,8,1,x", "COM1:,n,8,1",
          "COM1:96k,n,8,1", "COM1:-1,n,8,1", "COM1:4294967296,n,8,1", "COM1:9600,q,8,1",
          "COM1:9600,no,8,1", "COM1:9600,n,9,1", "COM1:9600,n,4,1", "COM1:9600,n,8,3",
          "LPT1:9600,n,8,1", "COM:9600,n,8,1", "COMX:9600,n,8,1"}) {
        ports::CommDcb dcb;
        dcb.baudRate = 1234;
        dcb.outX = true;
        EXPECT_EQ(ports::parseDcbText(text, dcb), static_cast<ports::ErrorCode>(EINVAL)) << text;
        EXPECT_EQ(dcb.baudRate, 1234u) << text;
        EXPECT_TRUE(dcb.outX) << text;
    }
}

}  // namespace
