// The promotional paragraphs the Alder and Maple screens print on a receipt printer that
// shares the drawer's cable, so that one press shows the printer still works with the
// interface in line. Plain ASCII, no line breaks: one byte per character on the wire.
#pragma once

#include <string_view>

namespace screens {

// Five sentences, 421 characters: one blank after the first sentence, two after each of the
// next three.
std::string_view alderPrinterText();

// Five sentences, 506 characters, with a few two-blank gaps; the last sentence ends with a run
// of 84 blanks before its full stop.
std::string_view maplePrinterText();

}  // namespace screens
