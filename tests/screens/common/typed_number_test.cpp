// Reading typed numbers and storing them in 16 bits.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "screens/common/typed_number.h"

using screens::readTypedNumber;
using screens::storedValue;

TEST(TypedNumber, ReadsTheLeadingNumberIgnoringBlanksTabsAndLineFeeds) {
    const std::pair<const char*, double> cases[] = {
        {"85", 85},  {"12ab", 12},    {" \t1\n2 7", 127}, {"- 5", -5},   {"+7", 7},
        {".5", 0.5}, {"1.2.3", 1.2},  {"2e2", 200},       {"2E-1", 0.2}, {"1d2", 100},
        {"5e", 5},   {"5e+x", 5},     {"&H1B", 27},       {"&hff", 255}, {"&O17", 15},
        {"&o78", 7}, {"& H 1 0", 16}, {"&X10", 0},        {"&H", 0},     {"", 0},
        {"abc", 0},  {"-", 0},        {".", 0},           {"+-5", 0},    {"e5", 0},
        {"\r5", 0},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(readTypedNumber(text), value) << '"' << text << '"';
}

// Too large for a double however the digits and the exponent share the size: held at the
// ends of the 16-bit range, never wrapped.
TEST(TypedNumber, StoresRoundedHalvesToEvenAndHeldAtTheSixteenBitEnds) {
    const std::string zeros(400, '0');
    const std::pair<std::string, int> cases[] = {
        {"3.5", 4},
        {"2.5", 2},
        {"-2.5", -2},
        {"254.6", 255},
        {"0.4", 0},
        {"32767.4", 32767},
        {"40000", 32767},
        {"-40000", -32768},
        {"9e999", 32767},
        {"-1" + zeros, -32768},
        {"1e-999", 0},
        {"1" + zeros + "e-50", 32767},
        {".0" + std::string(400, '9') + "e310", 32767},
        {"-.5e400", -32768},
        {"0." + zeros + "1e300", 0},
        {"&H" + std::string(300, 'F'), 32767},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(storedValue(readTypedNumber(text)), value) << text.substr(0, 24);
}
