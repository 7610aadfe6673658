// The shapes of the printer test texts: length, the blanks after each sentence, plain one-line
// ASCII, and the run of blanks that ends the Maple text.
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
        if (text[i] == '.')
            gaps.push_back(std::min(text.find_first_not_of(' ', i + 1), text.size()) - i - 1);
    }
    return gaps;
}

TEST(PrinterTexts, AreFiveSentencesOfPlainOneLineAscii) {
    using Gaps = std::vector<std::size_t>;
    for (const auto& [text, size, gaps] :
         {std::tuple{screens::alderPrinterText(), 421u, Gaps{1, 2, 2, 2, 0}},
          std::tuple{screens::maplePrinterText(), 506u, Gaps{2, 2, 2, 2, 0}}}) {
        EXPECT_EQ(text.size(), size);
        EXPECT_EQ(blanksAfterFullStops(text), gaps);
        EXPECT_TRUE(std::all_of(text.begin(), text.end(),
                                [](char ch) { return ch >= 0x20 && ch <= 0x7E; }));
    }
    // The Maple text's last sentence ends with 84 blanks before its full stop.
    const std::string_view maple = screens::maplePrinterText();
    EXPECT_TRUE(maple.ends_with(std::string(84, ' ') + "."));
    EXPECT_NE(maple[maple.size() - 86], ' ');
}

}  // namespace
