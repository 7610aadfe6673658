// What the printer screen tests share: opening any of the eight screens by type, the test
// pages as bytes, and the calls the fake heard of one kind.
#pragma once

#include <cerrno>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "screens/printers/citizen_screens.h"
#include "screens/printers/epson_screens.h"
#include "screens/printers/ithaca_screens.h"
#include "screens/printers/page_texts.h"
#include "screens/printers/star_screens.h"
#include "support/screen_harness.h"

namespace printer_tests {

using Bytes = std::vector<std::uint8_t>;
using Opener = screens::PrinterScreen& (*)(support::ScreenHarness&);

template <class Screen>
screens::PrinterScreen& openScreen(support::ScreenHarness& h) {
    return h.open<Screen>();
}

inline Bytes bytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

inline Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// An error text that ends with the code of the failure the tests script (EIO).
inline std::string withCode(const std::string& text) {
    return text + std::to_string(EIO) + ")";
}

inline std::size_t countOf(const std::vector<std::string>& calls, std::string_view prefix) {
    std::size_t n = 0;
    for (const std::string& call : calls)
        n += call.starts_with(prefix) ? 1 : 0;
    return n;
}

}  // namespace printer_tests
