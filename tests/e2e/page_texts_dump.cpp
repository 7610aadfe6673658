// Prints the printer screens' Text1 page in hex, so that the end-to-end tests can tell exactly
// which bytes a printer screen must send.
#include <cstdio>

#include "screens/printers/page_texts.h"

int main() {
    for (char c : screens::PageText)
        std::printf("%02x", static_cast<unsigned>(static_cast<unsigned char>(c)));
    std::printf("\n");
    return 0;
}
