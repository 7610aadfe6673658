// How every number the user types into a text box is read: blanks, tabs and line feeds are
// ignored anywhere; reading stops at the first character that cannot continue the number
// (sign, digits, one decimal point, an exponent); "&H" and "&O" read hexadecimal and octal
// digits; a text without a number reads as 0.
#pragma once

#include <cstdint>
#include <string_view>

namespace screens {

double readTypedNumber(std::string_view text);

// The value a screen stores: rounded to the nearest integer, halves to the even neighbour.
// A number beyond the 16-bit range is held at its nearest end rather than wrapped around.
std::int16_t storedValue(double number);

// What a box of typed numbers accepts (the unrounded number, both ends included), the text it
// falls back to, and the two messages of a reset.
struct BoxRule {
    double low;
    double high;
    const char* standard;
    const char* rangeText;
    const char* resetText;
};

}  // namespace screens
