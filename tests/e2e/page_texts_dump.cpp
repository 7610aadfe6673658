// Prints the printer screens' page texts, one per line in hex, so that the end-to-end tests
// can tell exactly which bytes a printer screen must send: "PageText <hex>", then
// "Sentences42 <hex>" and "Sentences48 <hex>" once per statement, in order.
#include <cstdio>
#include <string_view>

#include "screens/printers/page_texts.h"

namespace {

void print(const char* name, std::string_view text) {
    std::printf("%s ", name);
    for (char c : text)
        std::printf("%02x", static_cast<unsigned>(static_cast<unsigned char>(c)));
    std::printf("\n");
}

}  // namespace

int main() {
    print("PageText", screens::PageText);
    for (std::string_view sentence : screens::Sentences42)
        print("Sentences42", sentence);
    for (std::string_view sentence : screens::Sentences48)
        print("Sentences48", sentence);
    return 0;
}
