// The simulated drawer interfaces.
#include "sim/drawer_interface.h"

namespace sim {

namespace {

using std::chrono::milliseconds;

// Characters of one run follow each other with no gap on the wire; a host that is not exact
// about time gets this much leeway.
constexpr Time kRunGapLeeway = milliseconds(20);
// Opening characters are counted per press of a trigger: the host writes them one after another,
// and a busy host may pause between two writes, but not as long as a person between two presses.
constexpr Time kPressGap = milliseconds(100);

std::string times(int n) {
    return std::to_string(n) + (n == 1 ? " time" : " times");
}

}  // namespace

std::optional<InterfaceSettings> interfaceSettings(std::string_view name) {
    using Trigger = InterfaceSettings::Trigger;
    if (name == "alder")
        return InterfaceSettings{.description = "an Alder serial interface", .baud = 9600};
    if (name == "alder-char") {
        return InterfaceSettings{.description = "an Alder serial interface in character pulse mode",
                                 .openingCharacter = 85,
                                 .baud = 1200};
    }
    if (name == "alder-level") {
        return InterfaceSettings{.description = "an Alder serial interface in level mode",
                                 .trigger = Trigger::Level,
                                 .baud = 1200};
    }
    if (name == "birch") {
        return InterfaceSettings{
            .description = "a Birch serial interface", .openingCharacter = 85, .repeats = 2};
    }
    if (name == "cedar") {
        return InterfaceSettings{.description = "a Cedar serial interface",
                                 .trigger = Trigger::Level,
                                 .ringReportsDrawer = false};
    }
    if (name == "maple") {
        return InterfaceSettings{.description = "a Maple parallel interface",
                                 .pairs = false,
                                 .serial = false,
                                 .ringReportsDrawer = false};
    }
    return std::nullopt;
}

DrawerInterface::DrawerInterface(InterfaceSettings settings)
    : Device(1), m_settings(std::move(settings)) {}

ModemLines DrawerInterface::modemLines() const {
    if (!m_settings.serial)
        return {};
    return {.cts = true, .dsr = true, .ring = m_settings.ringReportsDrawer && drawer(1).isOpen()};
}

Bytes DrawerInterface::onByte(std::uint8_t byte, Time at) {
    const bool level = m_settings.trigger == InterfaceSettings::Trigger::Level;
    if (at - m_lastByte > (level ? 2 * lineSettings().byteTime() + kRunGapLeeway : kPressGap))
        endRun();
    m_lastByte = at;
    endWhenQuiet(at);
    if (level) {
        ++m_runLength;
        if (!wrongRate() && m_runLength * lineSettings().byteTime() >= m_settings.pulse)
            kick(1, at);
        return {};
    }
    if (!m_settings.pairs) {
        if (byte == m_settings.openingCharacter) {
            character(byte, at);
        } else {
            text(byte);
        }
        return {};
    }
    if (!m_first) {
        m_first = byte;
        return {};
    }
    const std::uint8_t first = *m_first;
    m_first.reset();
    if (byte != 0x00) {
        // Not a pair: the first byte is printer text, and this one may start a pair.
        text(first);
        m_first = byte;
    } else {
        character(first, at);
    }
    return {};
}

void DrawerInterface::character(std::uint8_t c, Time at) {
    if (c != m_runCharacter)
        endRun();
    endText();
    m_runCharacter = c;
    ++m_runLength;
    if (c == m_settings.openingCharacter && m_runLength == m_settings.repeats && !wrongRate())
        kick(1, at);
}

void DrawerInterface::quiet() {
    if (m_first) {
        text(*m_first);
        m_first.reset();
    }
    endRun();
    endText();
}

bool DrawerInterface::wrongRate() const {
    return m_settings.baud != 0 && lineSettings().baud != m_settings.baud;
}

void DrawerInterface::endRun() {
    if (m_runLength == 0)
        return;
    const std::string at = m_settings.serial ? " at " + lineSettings().text() : "";
    std::string told;
    bool opens = !wrongRate();
    if (m_settings.trigger == InterfaceSettings::Trigger::Level) {
        const auto held = m_runLength * lineSettings().byteTime();
        told = "a run of " + std::to_string(m_runLength) + " characters held the solenoid " +
               std::to_string(std::chrono::round<milliseconds>(held).count()) + " ms" + at;
        if (opens && held < m_settings.pulse) {
            told +=
                "; the drawer needs " +
                std::to_string(std::chrono::duration_cast<milliseconds>(m_settings.pulse).count()) +
                " ms";
        }
    } else {
        const bool opening = m_runCharacter == m_settings.openingCharacter;
        told = std::string(opening ? "opening character " : "character ") +
               std::to_string(m_runCharacter) + " (" + hex(m_runCharacter) +
               (m_settings.pairs ? " 00" : "") + ") received " + times(m_runLength) + at;
        if (opens && !opening) {
            told += "; the interface opens on " + std::to_string(m_settings.openingCharacter);
        } else if (opens && m_runLength < m_settings.repeats) {
            told += "; it needs " + times(m_settings.repeats);
        }
    }
    if (!opens)
        told += "; the interface is set for " + std::to_string(m_settings.baud) +
                " baud and cannot read them";
    notify(Notice::Kind::Command, told);
    m_runLength = 0;
}

void DrawerInterface::text(std::uint8_t byte) {
    endRun();
    if (byte == '\n') {
        notify(Notice::Kind::Paper, m_text);
        m_text.clear();
    } else if (byte != '\r') {
        m_text.push_back(static_cast<char>(byte));
    }
}

void DrawerInterface::endText() {
    if (!m_text.empty()) {
        notify(Notice::Kind::Paper, m_text);
        m_text.clear();
    }
}

}  // namespace sim
