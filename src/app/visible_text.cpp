// Control characters written out, long values cut.
#include "app/visible_text.h"

#include <cstdint>
#include <cstdio>
#include <utility>

namespace app {

namespace {

// What one character of the text shows as.
struct Piece {
    std::string shown;
    std::size_t bytes;  // of the text
    std::size_t width;  // characters shown
};

Piece plain(std::string_view character) {
    return {std::string(character), character.size(), 1};
}

Piece escaped(const char* format, unsigned int value, std::size_t bytes) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, format, value);
    return {buffer, bytes, std::string_view(buffer).size()};
}

}  // namespace

std::pair<char32_t, std::size_t> firstCharacter(std::string_view text) {
    const auto lead = static_cast<std::uint8_t>(text[0]);
    std::size_t length = 0;
    if (lead < 0x80) {
        length = 1;
    } else if (lead >= 0xC2 && lead < 0xE0) {
        length = 2;
    } else if (lead >= 0xE0 && lead < 0xF0) {
        length = 3;
    } else if (lead >= 0xF0 && lead < 0xF5) {
        length = 4;
    }
    if (length == 0 || length > text.size())
        return {};
    char32_t point = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<std::uint8_t>(text[i]);
        if ((next & 0xC0) != 0x80)
            return {};
        point = point << 6 | (next & 0x3F);
    }
    // Overlong forms, surrogates and numbers beyond Unicode are no characters.
    constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (point < kShortest[length] || (point >= 0xD800 && point <= 0xDFFF) || point > 0x10FFFF)
        return {};
    return {point, length};
}

bool isControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0x200B && c <= 0x200F) ||
           (c >= 0x2028 && c <= 0x202E) || (c >= 0x2060 && c <= 0x206F) || c == 0xFEFF;
}

namespace {

Piece nextPiece(std::string_view text) {
    const auto [point, length] = firstCharacter(text);
    if (length == 0)
        return escaped("\\x%02X", static_cast<std::uint8_t>(text[0]), 1);
    if (!isControl(point))
        return plain(text.substr(0, length));
    switch (point) {
        case '\n':
            return {"\\n", 1, 2};
        case '\t':
            return {"\\t", 1, 2};
        case '\r':
            return {"\\r", 1, 2};
        default:
            return escaped(point < 0x80 ? "\\x%02X" : "\\u%04X", point, length);
    }
}

}  // namespace

std::string visibleText(std::string_view text, std::size_t limit) {
    std::string shown;
    std::size_t width = 0;
    // Where the text is cut should it turn out too long: room is left for the ellipsis.
    std::size_t cut = std::string::npos;
    while (!text.empty()) {
        const Piece piece = nextPiece(text);
        if (cut == std::string::npos && width + piece.width > limit - 1)
            cut = shown.size();
        width += piece.width;
        if (width > limit) {
            shown.resize(cut);
            return shown + "\u2026";
        }
        shown += piece.shown;
        text.remove_prefix(piece.bytes);
    }
    return shown;
}

}  // namespace app
