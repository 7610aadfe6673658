// Fuzz target of the typed-number reader: any text the user can type into a box is read
// without a crash or a hang, and the reading and the stored 16-bit value keep the rules every
// screen relies on. A broken rule aborts with the text that broke it.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "screens/common/typed_number.h"

using screens::readTypedNumber;
using screens::storedValue;

namespace {

void violated(const char* rule, std::string_view text, double got, double expected) {
    std::fprintf(stderr, "typed number rule broken: %s\n  text (%zu bytes):", rule, text.size());
    for (unsigned char c : text)
        std::fprintf(stderr, " %02X", c);
    std::fprintf(stderr, "\n  got %.17g, expected %.17g\n", got, expected);
    std::abort();
}

bool ignored(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool same(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

// The stored value worked out by hand: the nearest integer, a half going to the even
// neighbour, held at the ends of the 16-bit range.
double expectedStored(double x) {
    if (std::isnan(x))
        return 0;
    if (x >= 32767)
        return 32767;
    if (x <= -32768)
        return -32768;
    const double below = std::floor(x);
    const double fraction = x - below;  // exact for numbers this small
    if (fraction > 0.5)
        return below + 1;
    if (fraction < 0.5)
        return below;
    return std::fmod(below, 2) == 0 ? below : below + 1;
}

void checkStored(double x, std::string_view text) {
    const std::int16_t stored = storedValue(x);
    if (!same(stored, expectedStored(x)))
        violated("stored value is the rounded number, held in 16 bits", text, stored,
                 expectedStored(x));
}

// The decimal number at the start of a text without blanks, as the C library reads it: the
// sign, digits with one decimal point, and an exponent written E or D. A text with no digits
// there reads 0.
double referenceDecimal(const std::string& s) {
    std::size_t i = 0;
    std::string number;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        number += s[i++];
    bool digits = false;
    while (i < s.size() && isDigit(s[i])) {
        number += s[i++];
        digits = true;
    }
    if (i < s.size() && s[i] == '.') {
        number += s[i++];
        while (i < s.size() && isDigit(s[i])) {
            number += s[i++];
            digits = true;
        }
    }
    if (!digits)
        return 0;
    if (i < s.size() && std::string_view("eEdD").find(s[i]) != std::string_view::npos) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            exponent += s[j++];
        const std::size_t firstDigit = j;
        while (j < s.size() && isDigit(s[j]))
            exponent += s[j++];
        if (j > firstDigit)
            number += exponent;
    }
    // No locale is set in this process, so strtod reads "." as the decimal point.
    return std::strtod(number.c_str(), nullptr);
}

int digitValue(char c) {
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

// "&H" and "&O" texts: the digits of the base that follow. Up to 13 hexadecimal or 17 octal
// significant digits the number is exact in a double; longer ones are far beyond 16 bits.
void checkPrefixed(const std::string& s, double value, std::string_view text) {
    const bool hex = s[1] == 'H' || s[1] == 'h';
    const int base = hex ? 16 : 8;
    std::uint64_t exact = 0;
    int significant = 0;
    for (std::size_t i = 2; i < s.size() && digitValue(s[i]) < base; ++i) {
        if (significant > 0 || s[i] != '0')
            ++significant;
        if (significant <= (hex ? 13 : 17))
            exact = exact * static_cast<std::uint64_t>(base) +
                    static_cast<std::uint64_t>(digitValue(s[i]));
    }
    if (significant <= (hex ? 13 : 17)) {
        if (value != static_cast<double>(exact))
            violated("a hexadecimal or octal text reads its digits", text, value,
                     static_cast<double>(exact));
    } else if (storedValue(value) != 32767) {
        violated("a long hexadecimal or octal number is held at the top", text, storedValue(value),
                 32767);
    }
}

void checkText(std::string_view text) {
    const double value = readTypedNumber(text);
    if (std::isnan(value))
        violated("a reading is a number", text, value, 0);
    checkStored(value, text);

    std::string stripped;
    for (char c : text) {
        if (!ignored(c))
            stripped += c;
    }
    if (!same(readTypedNumber(stripped), value))
        violated("blanks, tabs and line feeds change nothing", text, readTypedNumber(stripped),
                 value);

    // '#' can continue no number, so whatever follows a reading does not change it.
    std::string extended(text);
    extended += "#9";
    if (!same(readTypedNumber(extended), value))
        violated("reading stops at a character that cannot continue the number", text,
                 readTypedNumber(extended), value);

    const bool prefixed =
        stripped.size() >= 2 && stripped[0] == '&' &&
        (stripped[1] == 'H' || stripped[1] == 'h' || stripped[1] == 'O' || stripped[1] == 'o');
    bool anyDigit = false;
    for (char c : stripped)
        anyDigit = anyDigit || isDigit(c);
    if (!prefixed && !anyDigit && value != 0)
        violated("a text without digits reads 0", text, value, 0);

    if (prefixed) {
        checkPrefixed(stripped, value, text);
    } else if (!stripped.empty() && stripped[0] == '&') {
        if (value != 0)
            violated("an ampersand without H or O reads 0", text, value, 0);
    } else {
        const double expected = referenceDecimal(stripped);
        if (!same(value, expected))
            violated("a decimal text reads as the C library reads it", text, value, expected);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkText(text);

    // The same bytes as a double, NaN, infinities and subnormals included.
    if (size >= sizeof(double)) {
        double raw = 0;
        std::memcpy(&raw, data, sizeof raw);
        checkStored(raw, text);
    }
    return 0;
}
