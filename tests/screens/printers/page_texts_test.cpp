// The printer test pages: the Text1 page's lines and paragraphs, and the padded statements
// that a printer wrapping at 42 or 48 columns breaks between words.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "screens/printers/page_texts.h"

using screens::PageText;
using screens::Sentences42;
using screens::Sentences48;

namespace {

std::vector<std::size_t> sizes(const std::array<std::string_view, 5>& sentences) {
    std::vector<std::size_t> result;
    for (std::string_view s : sentences)
        result.push_back(s.size());
    return result;
}

// The words of a text, whatever blanks and line breaks stand between them.
std::vector<std::string> words(std::string_view text) {
    std::istringstream in{std::string(text)};
    std::vector<std::string> result;
    for (std::string word; in >> word;)
        result.push_back(word);
    return result;
}

std::vector<std::string> pageLines() {
    std::vector<std::string> lines;
    std::string_view rest = PageText;
    while (!rest.empty()) {
        const std::size_t end = rest.find("\r\n");
        if (end == std::string_view::npos) {
            lines.emplace_back(rest);  // a line without its CR LF: the test below fails
            break;
        }
        lines.emplace_back(rest.substr(0, end));
        rest.remove_prefix(end + 2);
    }
    return lines;
}

// Where a printer that wraps at `width` columns breaks the string: every full piece must end
// with a blank and be followed by a word, except a break glued at `gluedPiece`, where the
// piece ends a word and the next starts one.
void expectBreaksBetweenWords(std::string_view s, std::size_t width, int gluedPiece = -1) {
    for (std::size_t end = width, piece = 0; end < s.size(); end += width, ++piece) {
        SCOPED_TRACE(std::string(s.substr(end - width, width)));
        EXPECT_NE(s[end], ' ');
        if (static_cast<int>(piece) == gluedPiece) {
            EXPECT_NE(s[end - 1], ' ');
        } else {
            EXPECT_EQ(s[end - 1], ' ');
        }
    }
}

}  // namespace

TEST(PageTexts, Text1IsSeventeenCrLfLinesInFiveParagraphs) {
    EXPECT_EQ(PageText.size(), 446u);
    EXPECT_EQ(PageText.substr(PageText.size() - 2), "\r\n");
    const std::vector<std::string> lines = pageLines();
    ASSERT_EQ(lines.size(), 17u);
    std::vector<std::size_t> paragraphs{0};
    for (const std::string& line : lines) {
        EXPECT_LE(line.size(), 39u) << line;
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
        if (line.empty()) {
            paragraphs.push_back(0);
        } else {
            ++paragraphs.back();
        }
    }
    EXPECT_EQ(paragraphs, (std::vector<std::size_t>{3, 3, 2, 2, 3}));
    for (std::size_t empty : {3u, 7u, 10u, 13u})
        EXPECT_EQ(lines[empty], "");
}

TEST(PageTexts, Text1BreaksLinesBetweenWords) {
    // Every break keeps the blank between its two words, on one side or the other.
    const std::vector<std::string> lines = pageLines();
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i].empty() || lines[i + 1].empty())
            continue;
        const bool blankKept = lines[i].back() == ' ' || lines[i + 1].front() == ' ';
        EXPECT_TRUE(blankKept) << lines[i] << "|" << lines[i + 1];
    }
}

TEST(PageTexts, SentencesHaveTheirLengths) {
    EXPECT_EQ(sizes(Sentences42), (std::vector<std::size_t>{98, 117, 53, 76, 92}));
    EXPECT_EQ(sizes(Sentences48), (std::vector<std::size_t>{105, 119, 54, 72, 86}));
}

TEST(PageTexts, PrintersWrappingAt42Or48BreakBetweenWords) {
    for (std::string_view s : Sentences42)
        expectBreaksBetweenWords(s, 42);
    for (std::size_t i = 0; i < 4; ++i)
        expectBreaksBetweenWords(Sentences48[i], 48);
    // The fifth statement's first line fills all 48 columns; the wrap separates its last word
    // from the next.
    expectBreaksBetweenWords(Sentences48[4], 48, 0);
}

TEST(PageTexts, AllThreeTextsCarryTheSameStatementsInOrder) {
    std::vector<std::string> text1 = words(PageText);
    std::vector<std::string> s42, s48;
    for (std::string_view s : Sentences42) {
        for (std::string& w : words(s))
            s42.push_back(std::move(w));
    }
    for (std::size_t i = 0; i < Sentences48.size(); ++i) {
        std::string s(Sentences48[i]);
        if (i == 4)
            s.insert(48, " ");  // the glued break, read as the printer prints it
        for (std::string& w : words(s))
            s48.push_back(std::move(w));
    }
    EXPECT_EQ(s42, text1);
    EXPECT_EQ(s48, text1);
    EXPECT_EQ(text1.front(), "For");
    for (std::string_view s : Sentences42) {
        EXPECT_NE(s.find("Dunmere"), std::string_view::npos) << s;
        EXPECT_EQ(s.back(), '.') << s;
    }
}
