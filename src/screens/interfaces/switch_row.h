// The switch row of the maker's interface screens: the switch numbers as the interface's own
// label prints them, and under each number the label that shows that switch's position,
// "^" for up and "v" for down.
#pragma once

#include <array>
#include <string>

#include "toolkit/controls.h"

namespace screens {

// Entries for switches 1 to 10 (index 0 to 9); an entry never set stays empty, so a switch
// whose setting is unknown shows nothing.
using SwitchGlyphs = std::array<std::string, 10>;
// The labels bit1 to bit10.
using SwitchLabels = std::array<toolkit::Label*, 10>;

inline constexpr const char* kSwitchNumbers = " 1   2  3  4   5  6  7  8  9   0";

// Captions the numbers label and places it with its top left corner at (x, y); puts each
// glyph label, yellow and centred, right under its number (the screen fills the row on load).
void layOutSwitchRow(toolkit::Label& numbers, const SwitchLabels& bits, int x, int y);

// Switches 9 and 10 of the Alder interface hold its baud rate: 9600 "^ ^", 4800 "v ^",
// 2400 "^ v", 1200 "v v". Any other rate leaves both entries as they are.
void setAlderBaudSwitches(SwitchGlyphs& glyphs, int baudRate);

// Shows one switch's glyph on its label, and tells it in words to accessibility tools:
// "Switch 3 up", "Switch 3 down", or "Switch 3" while its position is not shown.
void showSwitch(toolkit::Label& bit, std::size_t number, const std::string& glyph);

// Copies the entries into the labels, bit10 first and bit1 last.
void showSwitchGlyphs(const SwitchGlyphs& glyphs, const SwitchLabels& bits);

}  // namespace screens
