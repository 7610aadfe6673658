// What the printer screen tests share: opening a screen the way the selector does, and what
// the fake heard: the bytes, one write per byte, and the calls by name.
#pragma once

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "screens/printers/printer_screen.h"
#include "screens/screen_table.h"
#include "support/screen_harness.h"

namespace printer_tests {

using Bytes = std::vector<std::uint8_t>;

inline screens::PrinterScreen& openPrinter(support::ScreenHarness& h, const char* formName) {
    screens::screenNamed(formName)->open(h.app, h.context);
    return dynamic_cast<screens::PrinterScreen&>(*h.app.activeForm());
}

// The bytes of every write since the calls were last cleared.
inline Bytes sentBytes(const support::FakePortSystem& fake) {
    Bytes all;
    for (const Bytes& write : fake.writes()) {
        EXPECT_EQ(write.size(), 1u) << "one write per byte";
        all.insert(all.end(), write.begin(), write.end());
    }
    return all;
}

// The calls by name, a run of writes as one "writeFile".
inline std::string callNames(const support::FakePortSystem& fake) {
    std::string names;
    for (const std::string& call : fake.calls()) {
        const std::string name = call.substr(0, call.find('('));
        if (name != "writeFile" || !names.ends_with("writeFile"))
            names += (names.empty() ? "" : " ") + name;
    }
    return names;
}

inline std::size_t countOf(const support::FakePortSystem& fake, std::string_view prefix) {
    std::size_t n = 0;
    for (const std::string& call : fake.calls())
        n += call.starts_with(prefix) ? 1 : 0;
    return n;
}

// A message that ends with an error code and ")".
inline std::string withCode(const std::string& text, ports::ErrorCode code = EIO) {
    return text + std::to_string(code) + ")";
}

}  // namespace printer_tests
