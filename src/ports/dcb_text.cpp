// The line-settings text reader shared by the backends.
#include "ports/dcb_text.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <optional>
#include <vector>

namespace ports {

namespace {

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

std::optional<std::uint32_t> number(std::string_view s) {
    std::uint32_t value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return value;
}

bool isPortPrefix(std::string_view s) {
    s = trimmed(s);
    return s.size() > 3 && equalsIgnoringCase(s.substr(0, 3), "COM") && number(s.substr(3));
}

std::optional<Parity> parity(std::string_view s) {
    if (s.size() != 1)
        return std::nullopt;
    switch (std::tolower(static_cast<unsigned char>(s[0]))) {
        case 'n':
            return Parity::None;
        case 'o':
            return Parity::Odd;
        case 'e':
            return Parity::Even;
        case 'm':
            return Parity::Mark;
        case 's':
            return Parity::Space;
        default:
            return std::nullopt;
    }
}

std::optional<StopBits> stopBits(std::string_view s) {
    if (s == "1")
        return StopBits::One;
    if (s == "1.5")
        return StopBits::OneAndHalf;
    if (s == "2")
        return StopBits::Two;
    return std::nullopt;
}

}  // namespace

ErrorCode parseDcbText(std::string_view text, CommDcb& dcb) {
    if (const auto colon = text.find(':'); colon != std::string_view::npos) {
        if (!isPortPrefix(text.substr(0, colon)))
            return EINVAL;
        text.remove_prefix(colon + 1);
    }
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const auto comma = text.find(',', start);
        fields.push_back(trimmed(text.substr(start, comma - start)));
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    if (fields.size() != 4)
        return EINVAL;

    const auto rate = number(fields[0]);
    const auto par = parity(fields[1]);
    const auto data = number(fields[2]);
    const auto stop = stopBits(fields[3]);
    if (!rate || !par || !data || *data < 5 || *data > 8 || !stop)
        return EINVAL;

    dcb.baudRate = *rate;
    dcb.parity = *par;
    dcb.byteSize = static_cast<std::uint8_t>(*data);
    dcb.stopBits = *stop;
    dcb.outxCtsFlow = false;
    dcb.outxDsrFlow = false;
    dcb.outX = false;
    dcb.inX = false;
    return kSuccess;
}

}  // namespace ports
