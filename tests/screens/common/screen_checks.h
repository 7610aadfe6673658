// What the screen tests share: a screen opened on the fake ports, and what they read off it
// (a feedback line, the switch row, the calls of some kinds, every text a label showed).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/screen_harness.h"
#include "toolkit/control.h"

namespace support {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using Calls = std::vector<std::string>;

// A screen loaded on free ports.
template <class Screen>
struct ScreenTest : ::testing::Test {
    ScreenHarness h;
    Screen& s = h.open<Screen>();

    // Lets the load's messages expire and forgets its calls.
    void quiet() {
        h.runFor(4000ms);
        h.fake.clearCalls();
    }
    // One press of "Trigger Drawer", its calls alone recorded.
    void trigger() {
        h.fake.clearCalls();
        h.app.click(s.Trigger);
    }
    // The line shows the text in the colour for the four seconds the message timer has just
    // started to count, and no longer.
    void expectShownFourSeconds(const toolkit::Label& line, const std::string& text,
                                toolkit::Color color) {
        EXPECT_EQ(line.foreColor(), color);
        EXPECT_EQ(line.caption(), text);
        h.runFor(3900ms);
        EXPECT_EQ(line.caption(), text);
        h.runFor(100ms);
        EXPECT_EQ(line.caption(), "");
    }
};

inline void expectLine(const toolkit::Label& line, const std::string& text, toolkit::Color color) {
    EXPECT_EQ(line.caption(), text);
    EXPECT_EQ(line.foreColor(), color);
}

// "v v v ^ ^ ^ ^ v ^ ^": the glyphs of a switch row, each read aloud as "Switch 1 down".
inline std::string glyphRow(std::initializer_list<const toolkit::Label*> bits,
                            const char* separator = " ") {
    std::string row;
    int number = 0;
    for (const toolkit::Label* bit : bits) {
        const std::string& glyph = bit->caption();
        const std::string position = glyph == "^" ? " up" : glyph == "v" ? " down" : "";
        EXPECT_EQ(bit->accessibleName(), "Switch " + std::to_string(++number) + position);
        row += (row.empty() ? "" : separator) + glyph;
    }
    return row;
}

template <class Screen>
std::string switchRow(const Screen& s) {
    return glyphRow({&s.bit1, &s.bit2, &s.bit3, &s.bit4, &s.bit5, &s.bit6, &s.bit7, &s.bit8,
                     &s.bit9, &s.bit10});
}

// The recorded calls that start with one of the prefixes, in order.
inline Calls callsOf(const Calls& calls, std::initializer_list<const char*> prefixes) {
    Calls found;
    for (const std::string& call : calls) {
        for (const char* prefix : prefixes) {
            if (call.rfind(prefix, 0) == 0)
                found.push_back(call);
        }
    }
    return found;
}

// Every caption a label takes, so that a message replaced within one handler can be checked.
class CaptionLog final : public toolkit::ControlObserver {
public:
    explicit CaptionLog(toolkit::Control& control) { control.setObserver(this); }
    void propertyChanged(toolkit::Control& control, toolkit::Property property) override {
        if (property == toolkit::Property::Caption)
            captions.push_back(control.caption());
    }
    std::vector<std::string> captions;
};

}  // namespace support
