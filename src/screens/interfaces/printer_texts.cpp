#include "screens/interfaces/printer_texts.h"

#include <string>

namespace screens {

namespace {

constexpr std::string_view kAlderText =
    "Dunmere is one of the best known names in the point-of-sale trade, trusted by dealers and "
    "installers everywhere. "
    "Dunmere builds a full range of cash drawers in many sizes and finishes in its own "
    "factory.  "
    "Every Dunmere drawer is backed by a full warranty on parts and labour.  "
    "Dunmere offers serial, parallel and printer-driven drawer interfaces.  "
    "Dunmere electronic drawers can be wired to work with any receipt printer.";
static_assert(kAlderText.size() == 421);

// Everything of the Maple text before the run of blanks that ends it.
constexpr std::string_view kMapleSentences =
    "Dunmere has served the point-of-sale trade for many years,  and its cash drawers open "
    "every time.  "
    "The range runs from compact drawers to heavy-duty models for busy stores,  all built in "
    "the Dunmere factory.  "
    "Every drawer carries a full warranty covering parts and labour.  "
    "Dunmere interfaces work with a serial port,  a parallel port or a receipt printer.  "
    "Dunmere electronic drawers can be wired for any receipt printer";
constexpr std::size_t kMapleTrailingBlanks = 84;
static_assert(kMapleSentences.size() + kMapleTrailingBlanks + 1 == 506);

}  // namespace

std::string_view alderPrinterText() {
    return kAlderText;
}

std::string_view maplePrinterText() {
    static const std::string text =
        std::string(kMapleSentences) + std::string(kMapleTrailingBlanks, ' ') + '.';
    return text;
}

}  // namespace screens
