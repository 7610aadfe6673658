#include "protocol/bytes.h"

namespace protocol {

std::string hex(std::uint8_t byte) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[byte >> 4], kDigits[byte & 0x0F]};
}

std::string hex(const Bytes& bytes) {
    std::string text;
    for (std::uint8_t b : bytes)
        text += (text.empty() ? "" : " ") + hex(b);
    return text;
}

}  // namespace protocol
