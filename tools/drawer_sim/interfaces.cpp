// Dunmere's serial drawer interfaces: they take the opening character as pairs of bytes (the
// character, then 0x00), sent a number of times, and pass any other bytes on to a printer.
#include <optional>

#include "device.h"

namespace drawersim {

namespace {

class SerialInterface final : public Device {
public:
    explicit SerialInterface(std::string description) : m_description(std::move(description)) {}

    std::string description() const override { return m_description; }
    // The drawer state travels on the ring-indicator line, which a pseudo-terminal has not.
    bool reportsDrawer() const override { return false; }

    void receive(std::uint8_t byte, Host& host) override {
        if (!m_first) {
            m_first = byte;
            return;
        }
        const std::uint8_t first = *m_first;
        m_first.reset();
        if (byte != 0x00) {
            // Not a pair: the first byte is printer text, and this one may start a pair.
            text(first, host);
            m_first = byte;
            return;
        }
        if (m_repeats > 0 && first != m_character)
            endRun(host);
        endText(host);
        m_character = first;
        ++m_repeats;
    }

    void quiet(Host& host) override {
        if (m_first) {
            text(*m_first, host);
            m_first.reset();
        }
        endRun(host);
        endText(host);
    }

private:
    void endRun(Host& host) {
        if (m_repeats == 0)
            return;
        host.report("opening character " + std::to_string(m_character) + " (" + hex(m_character) +
                    " 00) received " + std::to_string(m_repeats) +
                    (m_repeats == 1 ? " time" : " times") + " at " + host.lineSettings());
        m_repeats = 0;
    }
    void text(std::uint8_t byte, Host& host) {
        endRun(host);
        if (byte == '\n') {
            host.report(printed(m_text));
            m_text.clear();
        } else if (byte != '\r') {
            m_text.push_back(static_cast<char>(byte));
        }
    }
    void endText(Host& host) {
        if (!m_text.empty()) {
            host.report(printed(m_text));
            m_text.clear();
        }
    }

    std::string m_description;
    std::optional<std::uint8_t> m_first;  // a byte waiting for the 0x00 that makes it a pair
    std::uint8_t m_character = 0;
    int m_repeats = 0;
    std::string m_text;
};

}  // namespace

std::unique_ptr<Device> makeInterface(std::string_view name) {
    if (name == "alder")
        return std::make_unique<SerialInterface>("an Alder serial interface");
    if (name == "birch")
        return std::make_unique<SerialInterface>("a Birch serial interface");
    if (name == "cedar")
        return std::make_unique<SerialInterface>("a Cedar serial interface");
    return nullptr;
}

}  // namespace drawersim
