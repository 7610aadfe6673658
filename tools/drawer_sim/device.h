// The devices the simulator plays: a receipt printer with a drawer on its kick connector, or
// one of Dunmere's serial drawer interfaces. A device hears the program's bytes one at a time
// and answers through its Host.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace drawersim {

// What a device can reach: the simulator's output, the line back to the program, and the
// drawer.
class Host {
public:
    virtual ~Host() = default;
    // One line of the simulator's output.
    virtual void report(const std::string& line) = 0;
    // One byte back to the program.
    virtual void reply(std::uint8_t byte) = 0;
    virtual bool drawerOpen() const = 0;
    // A drawer-kick pulse pops the drawer open; only the person closes it again.
    virtual void openDrawer() = 0;
    // The line settings the program gave the port, as "9600 baud, 8N1".
    virtual std::string lineSettings() const = 0;
    // A status request has been answered (the drawer may be due to change).
    virtual void statusAnswered() = 0;
};

class Device {
public:
    virtual ~Device() = default;
    // "an Epson receipt printer", "a Birch serial interface".
    virtual std::string description() const = 0;
    // Whether the program can read this device's drawer state over a pseudo-terminal.
    virtual bool reportsDrawer() const = 0;
    virtual void receive(std::uint8_t byte, Host& host) = 0;
    // The line has been quiet for a while: a run of characters or a line of text has ended.
    virtual void quiet(Host& host) = 0;
};

// The printers "epson", "star", "citizen" and "ithaca", wrapping their text at `columns`, or at
// their own paper width when it is 0; null for another name.
std::unique_ptr<Device> makePrinter(std::string_view name, int columns);
// The serial interfaces "alder", "birch" and "cedar"; null for another name.
std::unique_ptr<Device> makeInterface(std::string_view name);

// Two hex digits, upper case.
std::string hex(std::uint8_t byte);
// A line of printed text as the output shows it, behind a margin.
std::string printed(const std::string& text);

}  // namespace drawersim
