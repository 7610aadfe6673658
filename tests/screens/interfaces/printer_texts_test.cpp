// The shapes of the printer test texts: length, sentences, the blanks between them, plain
// one-line ASCII.
#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>
#include <vector>

#include "screens/interfaces/printer_texts.h"

namespace {

// The number of blanks after each full stop, the last one included.
std::vector<std::size_t> blanksAfterFullStops(std::string_view text) {
    std::vector<std::size_t> gaps;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '.')
            continue;
        std::size_t blanks = 0;
        while (i + 1 + blanks < text.size() && text[i + 1 + blanks] == ' ')
            ++blanks;
        gaps.push_back(blanks);
    }
    return gaps;
}

bool plainOneLineAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
}

TEST(PrinterTexts, AlderTextIsFiveSentencesIn421Characters) {
    const std::string_view text = screens::alderPrinterText();
    EXPECT_EQ(text.size(), 421u);
    EXPECT_TRUE(plainOneLineAscii(text));
    EXPECT_EQ(text.back(), '.');
    EXPECT_EQ(blanksAfterFullStops(text), (std::vector<std::size_t>{1, 2, 2, 2, 0}));
    EXPECT_EQ(text.find("   "), std::string_view::npos);
    EXPECT_EQ(text.substr(0, 7), "Dunmere");
}

TEST(PrinterTexts, MapleTextEndsWith84BlanksBeforeItsLastFullStop) {
    const std::string_view text = screens::maplePrinterText();
    EXPECT_EQ(text.size(), 506u);
    EXPECT_TRUE(plainOneLineAscii(text));
    EXPECT_EQ(blanksAfterFullStops(text), (std::vector<std::size_t>{2, 2, 2, 2, 0}));
    const std::string_view ending = text.substr(text.size() - 86);
    EXPECT_NE(ending.front(), ' ');
    EXPECT_EQ(ending.substr(1), std::string(84, ' ') + ".");
    // Apart from that run, no gap is wider than two blanks, and a few gaps between words are.
    const std::string_view body = text.substr(0, text.size() - 85);
    EXPECT_EQ(body.find("   "), std::string_view::npos);
    EXPECT_NE(body.find(",  "), std::string_view::npos);
    EXPECT_EQ(text.substr(0, 7), "Dunmere");
}

}  // namespace
