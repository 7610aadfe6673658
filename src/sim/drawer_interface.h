// Dunmere's drawer interfaces. A serial interface (Alder, Birch, Cedar) holds CTS and DSR,
// reports the drawer on the ring-indicator line where it can, and opens the drawer when its
// opening character arrives as often in one press (a pause as long as a person's between two
// presses ends the count) as its switches ask, at the rate they are set for; in level mode
// (Cedar, and the Alder switched to it) any unbroken run of characters holds the drawer's
// solenoid, which opens the drawer once held long enough. The parallel Maple interface opens
// on its character alone. Other bytes go on to a printer behind the interface, and are shown
// as its printed text.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "sim/device.h"

namespace sim {

struct InterfaceSettings {
    enum class Trigger { Character, Level };

    std::string description;
    Trigger trigger = Trigger::Character;
    std::uint8_t openingCharacter = 7;
    int repeats = 1;         // how many in a row open the drawer
    std::uint32_t baud = 0;  // the rate its switches are set for; 0: any rate
    bool pairs = true;       // each character comes as two bytes, itself and 0x00 (serial)
    Time pulse = std::chrono::milliseconds(50);  // level: how long the solenoid must be held
    bool serial = true;
    bool ringReportsDrawer = true;
};

// The settings of "alder", "alder-char" and "alder-level" (an Alder switched to its alternate
// character pulse or level mode), "birch", "cedar" and "maple", as the screens expect them
// when they open; none for another name.
std::optional<InterfaceSettings> interfaceSettings(std::string_view name);

class DrawerInterface final : public Device {
public:
    explicit DrawerInterface(InterfaceSettings settings);

    std::string description() const override { return m_settings.description; }
    ModemLines modemLines() const override;

protected:
    Bytes onByte(std::uint8_t byte, Time at) override;
    void quiet() override;

private:
    void character(std::uint8_t c, Time at);
    void level(Time at);
    void text(std::uint8_t byte);
    void endRun();
    void endText();
    // The line's rate when the switches ask for another one: the interface cannot read it.
    bool wrongRate() const;

    InterfaceSettings m_settings;
    std::optional<std::uint8_t> m_first;  // a byte waiting for the 0x00 that makes it a pair
    std::uint8_t m_runCharacter = 0;      // character mode: the character of the current run
    int m_runLength = 0;                  // characters in the current run
    Time m_lastByte{};
    std::string m_text;
};

}  // namespace sim
