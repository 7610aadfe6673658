// Colours as the screens name them: plain 24-bit RGB values.
#pragma once

#include <cstdint>

namespace toolkit {

struct Color {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;

    static constexpr Color fromRgb(std::uint32_t rgb) {
        return {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                static_cast<std::uint8_t>(rgb)};
    }
    constexpr std::uint32_t rgb() const { return (std::uint32_t{r} << 16) | (g << 8) | b; }
    friend constexpr bool operator==(Color, Color) = default;
};

namespace colors {
inline constexpr Color kBlack = Color::fromRgb(0x000000);
inline constexpr Color kWhite = Color::fromRgb(0xFFFFFF);
inline constexpr Color kGreen = Color::fromRgb(0x00FF00);
inline constexpr Color kRed = Color::fromRgb(0xFF0000);
inline constexpr Color kYellow = Color::fromRgb(0xFFFF00);
inline constexpr Color kGrey = Color::fromRgb(0x808080);
inline constexpr Color kSilver = Color::fromRgb(0xC0C0C0);
inline constexpr Color kLightBlue = Color::fromRgb(0x8080FF);  // every test screen's background
inline constexpr Color kLightYellow = Color::fromRgb(0xFFFF80);
}  // namespace colors

}  // namespace toolkit
