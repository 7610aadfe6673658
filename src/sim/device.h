// A simulated device on the far end of a port: a receipt printer with drawers on its kick
// connector, or one of Dunmere's drawer interfaces. It hears the program's bytes one at a time,
// answers with bytes of its own, drives its modem lines and tells what it does. Time is passed
// in by its host (real time in the simulator, virtual time in the tests), never read from a
// clock.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "protocol/bytes.h"

namespace sim {

// Time since the host's start. Durations share the type.
using Time = std::chrono::nanoseconds;

using protocol::Bytes;
using protocol::hex;

// The settings the program gave the line; baud 0 where no rate applies (a parallel port).
struct LineSettings {
    std::uint32_t baud = 9600;
    int dataBits = 8;
    char parity = 'N';  // N, O, E, M, S
    int stopBits = 1;

    // Bits on the wire per byte: a start bit, the data, the parity bit, the stop bits.
    int bitsPerByte() const { return 1 + dataBits + (parity == 'N' ? 0 : 1) + stopBits; }
    // How long one byte takes on the wire; 0 without a rate.
    Time byteTime() const;
    // "9600 baud, 8N1".
    std::string text() const;
};

// The lines a device drives towards the program.
struct ModemLines {
    bool cts = false;
    bool dsr = false;
    bool ring = false;
    bool carrier = false;
};

// What a device tells the person watching it.
struct Notice {
    enum class Kind {
        Paper,    // a line the printer printed (the text alone)
        Command,  // a command or a run of characters the device acted on
        Drawer,   // a drawer opened or closed
        Reply,    // a status reply that differs from the one before
    };
    Kind kind;
    std::string text;
};

// A drawer: opened by its device's command, closed again by a person or, when so set, by
// itself a while after it opened.
class Drawer {
public:
    bool isOpen() const { return m_open; }
    // How long it stays open before it closes by itself; none: until someone closes it.
    void setClosesAfter(std::optional<Time> after) { m_closesAfter = after; }
    std::optional<Time> closesAt() const;

    // Each answers whether the drawer changed.
    bool open(Time now);
    bool close();
    bool closeIfDue(Time now);

private:
    bool m_open = false;
    Time m_openedAt{};
    std::optional<Time> m_closesAfter;
};

class Device {
public:
    using Listener = std::function<void(const Notice&)>;

    explicit Device(int drawers);
    virtual ~Device() = default;
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    // "a Birch serial interface", or what a printer's command set says it is.
    virtual std::string description() const = 0;
    // The IEEE 1284 device ID it gives when asked who it is (a printer does); empty for none.
    virtual std::string deviceId() const { return {}; }

    // A byte from the program that has reached the device at `at`; answers what the device
    // sends back. Times never go backwards.
    Bytes receive(std::uint8_t byte, Time at);
    // Time passes to `now`: drawers close by themselves, a quiet line ends a run of characters
    // or a line of text.
    void advance(Time now);
    // When the device will next change by itself, if it will.
    std::optional<Time> nextChange() const;

    virtual ModemLines modemLines() const = 0;
    virtual void setLineSettings(const LineSettings& settings) { m_line = settings; }
    const LineSettings& lineSettings() const { return m_line; }

    // Drawers are numbered from 1.
    int drawerCount() const { return static_cast<int>(m_drawers.size()); }
    const Drawer& drawer(int number) const { return m_drawers.at(number - 1); }
    // A person opens or closes a drawer.
    void setDrawer(int number, bool open, Time now);
    // Every drawer closes by itself this long after it opened; none: only by hand.
    void setClosesAfter(std::optional<Time> after);

    void setListener(Listener listener) { m_listener = std::move(listener); }
    // Status requests answered so far.
    std::uint64_t statusAnswers() const { return m_statusAnswers; }
    // What it has sent by itself since the last look, not in answer to a byte just come (a
    // printer answering a request it held while offline).
    Bytes takeOutbox() { return std::exchange(m_outbox, {}); }

protected:
    virtual Bytes onByte(std::uint8_t byte, Time at) = 0;
    void notify(Notice::Kind kind, std::string text);
    // A drawer command: the drawer opens if it was shut.
    void kick(int number, Time at);
    void countStatusAnswer() { ++m_statusAnswers; }
    void sendLater(std::uint8_t byte) { m_outbox.push_back(byte); }
    // The line has been quiet for kQuietAfter: a pending run or line of text is over.
    virtual void quiet() {}
    // The device holds something that a quiet line ends; the last byte came at `lastByte`.
    void endWhenQuiet(Time lastByte) { m_quietFrom = lastByte; }

private:
    std::string drawerName(int number) const;

    std::vector<Drawer> m_drawers;
    LineSettings m_line;
    Listener m_listener;
    std::optional<Time> m_quietFrom;
    std::uint64_t m_statusAnswers = 0;
    Bytes m_outbox;
};

// How long the line stays silent before a run of characters or a line of text counts as ended.
inline constexpr Time kQuietAfter = std::chrono::milliseconds(300);

}  // namespace sim
