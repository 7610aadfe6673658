// The printer test pages: the Text1 page's lines and paragraphs, the padded statements that a
// printer wrapping at 42 or 48 columns breaks between words, and the same words in all three.
#include <gtest/gtest.h>

#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "screens/printers/page_texts.h"

using screens::PageText;

namespace {

std::vector<std::string> words(const std::string& text) {
    std::istringstream in{text};
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

}  // namespace

TEST(PageTexts, Text1IsSeventeenCrLfLinesInFiveParagraphsBrokenBetweenWords) {
    EXPECT_EQ(PageText.size(), 446u);
    ASSERT_TRUE(PageText.ends_with("\r\n"));
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; at < PageText.size(); at = end + 2) {
        end = PageText.find("\r\n", at);
        lines.emplace_back(PageText.substr(at, end - at));
    }
    ASSERT_EQ(lines.size(), 17u);
    std::vector<std::size_t> paragraphs{0};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        EXPECT_LE(line.size(), 39u) << line;
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
        if (line.empty()) {
            paragraphs.push_back(0);
            continue;
        }
        ++paragraphs.back();
        // A break keeps the blank between its two words, on one side or the other.
        const bool lastOfParagraph = i + 1 == lines.size() || lines[i + 1].empty();
        EXPECT_TRUE(lastOfParagraph || line.back() == ' ' || lines[i + 1].front() == ' ') << line;
    }
    EXPECT_EQ(paragraphs, (std::vector<std::size_t>{3, 3, 2, 2, 3}));
}

TEST(PageTexts, PrintersWrappingAt42Or48BreakEveryStatementBetweenWords) {
    struct Width {
        const std::array<std::string_view, 5>& sentences;
        std::size_t columns;
        std::vector<std::size_t> sizes;
    };
    for (const Width& w : {Width{screens::Sentences42, 42, {98, 117, 53, 76, 92}},
                           Width{screens::Sentences48, 48, {105, 119, 54, 72, 86}}}) {
        std::string printed;
        for (std::size_t i = 0; i < 5; ++i) {
            std::string s(w.sentences[i]);
            SCOPED_TRACE(s);
            EXPECT_EQ(s.size(), w.sizes[i]);
            // Each full piece ends with a blank and the next starts with a word; but the fifth
            // 48-column statement fills its first piece, whose break still falls between words.
            const bool glued = w.columns == 48 && i == 4;
            for (std::size_t end = w.columns; end < s.size(); end += w.columns) {
                EXPECT_NE(s[end], ' ');
                EXPECT_EQ(s[end - 1] == ' ', !(glued && end == w.columns));
            }
            printed += (glued ? s.insert(w.columns, " ") : s) + " ";
        }
        EXPECT_EQ(words(printed), words(std::string(PageText))) << "the statements of Text1";
    }
}
