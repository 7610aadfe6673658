// Telling a network printer's address from a device path.
#include "ports/naming/network_address.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace ports {

namespace {

bool isHostCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '.' || c == '-' || c == '_';
}

// Hex digits, colons, an IPv4 tail and a zone ("%eth0"); the lookup judges the rest.
bool isIpv6Character(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == ':' || c == '.' || c == '%';
}

// Windows names its devices with no path around them: the ports COM1, LPT1, ..., and CON, PRN,
// AUX and NUL, which a port may be pointed at by mistake and must never be taken for a host.
bool isWindowsDeviceName(std::string_view text) {
    std::string name(text);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (name == "CON" || name == "PRN" || name == "AUX" || name == "NUL")
        return true;
    const std::string_view prefix = std::string_view(name).substr(0, 3);
    return name.size() > 3 && (prefix == "COM" || prefix == "LPT") &&
           std::all_of(name.begin() + 3, name.end(),
                       [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
}

std::optional<std::uint16_t> portNumber(std::string_view text) {
    unsigned int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value == 0 || value > 65535)
        return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

}  // namespace

std::string NetworkAddress::text() const {
    const bool ipv6 = host.find(':') != std::string::npos;
    return (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

std::optional<NetworkAddress> parseNetworkAddress(std::string_view text) {
    if (text.empty() || text.find_first_of("/\\") != std::string_view::npos ||
        isWindowsDeviceName(text))
        return std::nullopt;
    NetworkAddress address;
    std::string_view host = text;
    if (text.front() == '[') {
        const auto close = text.find(']');
        if (close == std::string_view::npos)
            return std::nullopt;
        host = text.substr(1, close - 1);
        const std::string_view rest = text.substr(close + 1);
        if (!rest.empty()) {
            const auto number = rest.front() == ':' ? portNumber(rest.substr(1)) : std::nullopt;
            if (!number)
                return std::nullopt;
            address.port = *number;
        }
        if (!std::all_of(host.begin(), host.end(), isIpv6Character))
            return std::nullopt;
    } else if (std::count(text.begin(), text.end(), ':') > 1) {
        // A bare IPv6 address ("fd00::7", "fe80::"): its colons leave no room for a port.
        if (!std::all_of(host.begin(), host.end(), isIpv6Character))
            return std::nullopt;
    } else {
        const auto colon = text.find(':');
        if (colon != std::string_view::npos) {
            host = text.substr(0, colon);
            const auto number = portNumber(text.substr(colon + 1));
            if (!number)
                return std::nullopt;
            address.port = *number;
        }
        if (!std::all_of(host.begin(), host.end(), isHostCharacter))
            return std::nullopt;
    }
    if (host.empty())
        return std::nullopt;
    address.host = host;
    return address;
}

}  // namespace ports
