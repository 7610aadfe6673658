// A network printer's address as a port may name it: "host:port", "host" (port 9100, the raw
// printing port), "[IPv6]:port", "[IPv6]" or a bare IPv6 address. A device path is never one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ports {

inline constexpr std::uint16_t kRawPrintingPort = 9100;

struct NetworkAddress {
    std::string host;  // a name, or an IPv4 or IPv6 address without brackets
    std::uint16_t port = kRawPrintingPort;

    // As the messages and the dialog show it: "host:port", "[::1]:9100".
    std::string text() const;
};

// Null for a device path (anything with a slash or backslash; COMn, LPTn and Windows' other
// device names, NUL, CON, PRN, AUX) and for a text that is no address.
std::optional<NetworkAddress> parseNetworkAddress(std::string_view text);

}  // namespace ports
