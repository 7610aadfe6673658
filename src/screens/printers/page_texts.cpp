#include "screens/printers/page_texts.h"

namespace screens {

// A break keeps its blank, at the end of a line where it fits, else at the start of the next.
const std::string_view PageText =
    "For over thirty years Dunmere has been \r\n"
    "a trusted name to point-of-sale \r\n"
    "dealers in this industry.\r\n"
    "\r\n"
    "Dunmere makes a wide range of standard,\r\n"
    " compact and heavy-duty cash drawers, \r\n"
    "all built in the Dunmere factory.\r\n"
    "\r\n"
    "Dunmere drawers carry a warranty of \r\n"
    "five full years.\r\n"
    "\r\n"
    "Dunmere offers drawer interfaces built \r\n"
    "for serial, parallel or USB.\r\n"
    "\r\n"
    "Dunmere electronic cash drawers can be \r\n"
    "wired for use with any brand of \r\n"
    "receipt printer.\r\n";

// One literal per printed line; each full line is padded to exactly the printer's width.
const std::array<std::string_view, 5> Sentences42 = {
    "For over thirty years Dunmere has been a  "
    "trusted name to point-of-sale dealers in  "
    "this industry.",
    "Dunmere makes a wide range of standard,   "
    "compact and heavy-duty cash drawers,      "
    "all built in the Dunmere factory.",
    "Dunmere drawers carry a warranty of five  "
    "full years.",
    "Dunmere offers drawer interfaces          "
    "built for serial, parallel or USB.",
    "Dunmere electronic cash drawers can be    "
    "wired for use with any brand of receipt   "
    "printer.",
};

const std::array<std::string_view, 5> Sentences48 = {
    "For over thirty years Dunmere has been a        "
    "trusted name to point-of-sale dealers in this   "
    "industry.",
    "Dunmere makes a wide range of standard,         "
    "compact and heavy-duty cash drawers, all built  "
    "in the Dunmere factory.",
    "Dunmere drawers carry a warranty of five full   "
    "years.",
    "Dunmere offers drawer interfaces built for      "
    "serial, parallel or USB.",
    // The first line is full to its last column, so the next word follows without a blank:
    // the wrap at column 48 still falls between the two words.
    "Dunmere electronic cash drawers can be wired for"
    "use with any brand of receipt printer.",
};

}  // namespace screens
