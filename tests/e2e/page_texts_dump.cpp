// Prints the printer screens' page texts in hex, one a line, so that the end-to-end tests can
// tell exactly which bytes a printer screen must send: PageText, then each of Sentences48, then
// each of Sentences42.
#include <cstdio>
#include <string_view>

#include "screens/printers/page_texts.h"

namespace {

void print(std::string_view text) {
    for (char c : text)
        std::printf("%02x", static_cast<unsigned>(static_cast<unsigned char>(c)));
    std::printf("\n");
}

}  // namespace

int main() {
    print(screens::PageText);
    for (const auto* sentences : {&screens::Sentences48, &screens::Sentences42}) {
        for (std::string_view sentence : *sentences)
            print(sentence);
    }
    return 0;
}
