// Reading typed numbers and storing them in 16 bits.
#include <gtest/gtest.h>

#include <limits>

#include "screens/common/typed_number.h"

using screens::readTypedNumber;
using screens::storedValue;

TEST(TypedNumber, ReadsTheLeadingNumberIgnoringBlanksTabsAndLineFeeds) {
    EXPECT_EQ(readTypedNumber("85"), 85);
    EXPECT_EQ(readTypedNumber("12ab"), 12);
    EXPECT_EQ(readTypedNumber("1 2"), 12);
    EXPECT_EQ(readTypedNumber(" \t1\n2 7"), 127);
    EXPECT_EQ(readTypedNumber("-5"), -5);
    EXPECT_EQ(readTypedNumber("- 5"), -5);
    EXPECT_EQ(readTypedNumber("+7"), 7);
    EXPECT_EQ(readTypedNumber("3.5"), 3.5);
    EXPECT_EQ(readTypedNumber(".5"), 0.5);
    EXPECT_EQ(readTypedNumber("1.2.3"), 1.2);
    EXPECT_EQ(readTypedNumber("2e2"), 200);
    EXPECT_EQ(readTypedNumber("2E-1"), 0.2);
    EXPECT_EQ(readTypedNumber("1d2"), 100);
    EXPECT_EQ(readTypedNumber("5e"), 5);    // an exponent without digits is not read
    EXPECT_EQ(readTypedNumber("5e+x"), 5);
}

TEST(TypedNumber, TextWithoutANumberReadsZero) {
    for (const char* text : {"", "abc", " ", "-", ".", "+-5", "e5", "\r5"}) {
        EXPECT_EQ(readTypedNumber(text), 0) << text;
    }
}

TEST(TypedNumber, ReadsHexadecimalAndOctalPrefixes) {
    EXPECT_EQ(readTypedNumber("&H1B"), 27);
    EXPECT_EQ(readTypedNumber("&hff"), 255);
    EXPECT_EQ(readTypedNumber("&O17"), 15);
    EXPECT_EQ(readTypedNumber("&o78"), 7);  // 8 is no octal digit
    EXPECT_EQ(readTypedNumber("&HFFFF"), 65535);
    EXPECT_EQ(readTypedNumber("& H 1 0"), 16);
    EXPECT_EQ(readTypedNumber("&X10"), 0);
    EXPECT_EQ(readTypedNumber("&H"), 0);
}

TEST(TypedNumber, StoresRoundedHalvesToEven) {
    EXPECT_EQ(storedValue(3.5), 4);
    EXPECT_EQ(storedValue(2.5), 2);
    EXPECT_EQ(storedValue(-2.5), -2);
    EXPECT_EQ(storedValue(254.6), 255);
    EXPECT_EQ(storedValue(0.4), 0);
}

TEST(TypedNumber, NumbersBeyondSixteenBitsAreHeldAtTheEndNotWrapped) {
    EXPECT_EQ(storedValue(32767.4), 32767);
    EXPECT_EQ(storedValue(40000), 32767);
    EXPECT_EQ(storedValue(-40000), -32768);
    EXPECT_EQ(storedValue(readTypedNumber("9e999")), 32767);
    EXPECT_EQ(storedValue(readTypedNumber("-1" + std::string(400, '0'))), -32768);
    EXPECT_EQ(storedValue(readTypedNumber("1e-999")), 0);
    // Too large for a double however the digits and the exponent share the size.
    EXPECT_EQ(storedValue(readTypedNumber("1" + std::string(400, '0') + "e-50")), 32767);
    EXPECT_EQ(storedValue(readTypedNumber(".0999e988")), 32767);
    EXPECT_EQ(storedValue(readTypedNumber("-.5e400")), -32768);
    EXPECT_EQ(storedValue(readTypedNumber("0." + std::string(400, '0') + "1e300")), 0);
    EXPECT_EQ(storedValue(readTypedNumber("&H" + std::string(300, 'F'))), 32767);
}
