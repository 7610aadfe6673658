#include "screens/common/typed_number.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace screens {

namespace {

bool ignored(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

int digitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

}  // namespace

double readTypedNumber(std::string_view text) {
    std::string s;
    for (char c : text) {
        if (!ignored(c))
            s += c;
    }

    // "&H1F", "&O17": whole digits in base 16 or 8.
    if (s.size() >= 2 && s[0] == '&') {
        const char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(s[1])));
        if (kind != 'H' && kind != 'O')
            return 0;
        const int base = kind == 'H' ? 16 : 8;
        double value = 0;
        for (std::size_t i = 2; i < s.size() && digitValue(s[i]) < base; ++i) {
            value = value * base + digitValue(s[i]);
        }
        return value;
    }

    // Decimal: the longest prefix of the form [sign] digits [. digits] [E|D [sign] digits].
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    std::string number;
    bool digits = false;
    int wholeDigits = 0;  // significant digits before the point, for the size of the number
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
        if (wholeDigits > 0 || s[i] != '0')
            ++wholeDigits;
        number += s[i++];
        digits = true;
    }
    if (i < s.size() && s[i] == '.') {
        number += s[i++];
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
            number += s[i++];
            digits = true;
        }
    }
    if (!digits)
        return 0;
    bool negativeExponent = false;
    if (i < s.size() && std::string_view("eEdD").find(s[i]) != std::string_view::npos) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            negativeExponent = s[j] == '-';
            exponent += s[j++];
        }
        const std::size_t firstDigit = j;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j])))
            exponent += s[j++];
        if (j > firstDigit)
            number += exponent;
    }
    // from_chars reads the same text whatever the user's locale says a decimal point is.
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        const bool huge = !negativeExponent && wholeDigits > 0;
        value = huge ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

std::int16_t storedValue(double number) {
    constexpr double kMin = std::numeric_limits<std::int16_t>::min();
    constexpr double kMax = std::numeric_limits<std::int16_t>::max();
    if (std::isnan(number))
        return 0;
    const double rounded = std::nearbyint(number);  // the default mode rounds halves to even
    if (rounded <= kMin)
        return std::numeric_limits<std::int16_t>::min();
    if (rounded >= kMax)
        return std::numeric_limits<std::int16_t>::max();
    return static_cast<std::int16_t>(rounded);
}

}  // namespace screens
