#include "screens/common/typed_number.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace screens {

namespace {

// An exponent larger than this says the same as any larger one.
constexpr long long kFarBeyondDouble = 1'000'000;

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
    // The number's decimal order of magnitude, for telling a number too large for a double
    // from one too small: the significant digits before the point, or minus the zeros after
    // the point before the first significant digit, plus the exponent (held far beyond any
    // double's range, so that it cannot overflow).
    long long order = 0;
    bool significant = false;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
        significant = significant || s[i] != '0';
        if (significant)
            ++order;
        number += s[i++];
        digits = true;
    }
    if (i < s.size() && s[i] == '.') {
        number += s[i++];
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
            significant = significant || s[i] != '0';
            if (!significant)
                --order;
            number += s[i++];
            digits = true;
        }
    }
    if (!digits)
        return 0;
    if (i < s.size() && std::string_view("eEdD").find(s[i]) != std::string_view::npos) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        bool negativeExponent = false;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            negativeExponent = s[j] == '-';
            exponent += s[j++];
        }
        const std::size_t firstDigit = j;
        long long exponentValue = 0;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) {
            exponentValue = std::min(exponentValue * 10 + (s[j] - '0'), kFarBeyondDouble);
            exponent += s[j++];
        }
        if (j > firstDigit) {
            number += exponent;
            order += negativeExponent ? -exponentValue : exponentValue;
        }
    }
    // from_chars reads the same text whatever the user's locale says a decimal point is.
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range)
        value = order > 0 ? std::numeric_limits<double>::infinity() : 0.0;
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
