// Text from outside the program (the port variables' values) as a window may show it: its
// control characters made visible rather than obeyed, and its length bounded.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace app {

// The most characters a value shows, the ellipsis included: a whole device path fits.
inline constexpr std::size_t kVisibleTextLimit = 100;

// `text` (UTF-8) with every control character written out ("\n", "\t", "\r", "\x1B"), as are
// the invisible characters that break or reorder a line ("\u2028", "\u202E", ...) and bytes
// that are no UTF-8 ("\xFF"). Backslashes stay as they are: Windows names are full of them.
// Beyond kVisibleTextLimit characters it is cut and ends in "…".
std::string visibleText(std::string_view text);

}  // namespace app
