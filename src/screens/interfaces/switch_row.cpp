#include "screens/interfaces/switch_row.h"

#include <cmath>
#include <string_view>

namespace screens {

using namespace toolkit;

namespace {

// The numbers and glyphs share one font. Arial's digits are 0.556 em wide and its blank half
// that, so the centre of each number follows from its place in the text.
const Font kRowFont{"Arial", 12, true, false};
constexpr double kPixelsPerEm = 12.0 * 96.0 / 72.0;
constexpr double kDigitWidth = 0.556 * kPixelsPerEm;
constexpr double kBlankWidth = 0.278 * kPixelsPerEm;
constexpr int kGlyphWidth = 16;
constexpr int kRowHeight = 20;

}  // namespace

void layOutSwitchRow(Label& numbers, const SwitchLabels& bits, int x, int y) {
    const std::string_view text = kSwitchNumbers;
    numbers.setFont(kRowFont);
    numbers.setCaption(std::string(text));
    numbers.setGeometry(x, y, 260, kRowHeight);

    double left = 0;
    std::size_t next = 0;
    for (char c : text) {
        if (c == ' ') {
            left += kBlankWidth;
            continue;
        }
        Label& bit = *bits[next++];
        const int centre = x + static_cast<int>(std::lround(left + kDigitWidth / 2));
        bit.setForeColor(colors::kYellow);
        bit.setFont(kRowFont);
        bit.setAlignment(Align::Center);
        bit.setGeometry(centre - kGlyphWidth / 2, y + kRowHeight, kGlyphWidth, kRowHeight);
        left += kDigitWidth;
    }
}

void setAlderBaudSwitches(SwitchGlyphs& glyphs, int baudRate) {
    bool switch9Down = false;
    bool switch10Down = false;
    switch (baudRate) {
        case 9600:
            break;
        case 4800:
            switch9Down = true;
            break;
        case 2400:
            switch10Down = true;
            break;
        case 1200:
            switch9Down = true;
            switch10Down = true;
            break;
        default:
            return;
    }
    glyphs[8] = switch9Down ? "v" : "^";
    glyphs[9] = switch10Down ? "v" : "^";
}

void showSwitch(Label& bit, std::size_t number, const std::string& glyph) {
    bit.setCaption(glyph);
    const std::string name = "Switch " + std::to_string(number);
    bit.setAccessibleName(glyph == "^" ? name + " up" : glyph == "v" ? name + " down" : name);
}

void showSwitchGlyphs(const SwitchGlyphs& glyphs, const SwitchLabels& bits) {
    for (std::size_t i = glyphs.size(); i-- > 0;)
        showSwitch(*bits[i], i + 1, glyphs[i]);
}

}  // namespace screens
