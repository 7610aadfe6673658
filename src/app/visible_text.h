// Text from outside the program (the port variables' values, device names) as a window or a
// terminal may show it: its control characters made visible rather than obeyed, and its length
// bounded. The JSON of the command line reads text by the same rule.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace app {

// The most characters a value shows in a window, the ellipsis included: a whole device path
// fits.
inline constexpr std::size_t kVisibleTextLimit = 100;

// `text` (UTF-8) with every control character written out ("\n", "\t", "\r", "\x1B"), as are
// the invisible characters that break or reorder a line ("\u2028", "\u202E", ...) and bytes
// that are no UTF-8 ("\xFF"). Backslashes stay as they are: Windows names are full of them.
// Beyond `limit` characters it is cut and ends in "…"; std::string::npos: never cut.
std::string visibleText(std::string_view text, std::size_t limit = kVisibleTextLimit);

// The character at the start of `text` (not empty): its code point and its length in bytes; a
// length of 0 when the text does not start with a well-formed UTF-8 sequence.
std::pair<char32_t, std::size_t> firstCharacter(std::string_view text);
// Characters a line obeys rather than shows: C0 and C1 controls, and the ones that break a
// line, join, hide or reorder what follows.
bool isControl(char32_t c);

}  // namespace app
