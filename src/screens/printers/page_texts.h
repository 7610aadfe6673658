// The test pages the printer screens print: the page of the hidden Text1 box (CR LF lines of
// at most 39 characters) and the five statements padded for printers that wrap at 42 or 48
// columns.
#pragma once

#include <array>
#include <string_view>

namespace screens {

// The preset text of Text1: 17 lines, each ended by CR LF.
extern const std::string_view PageText;

// The same five statements as single strings, padded with blanks so that the printer's own
// wrapping at 42 (or 48) columns breaks every line between two words.
extern const std::array<std::string_view, 5> Sentences42;
extern const std::array<std::string_view, 5> Sentences48;

}  // namespace screens
