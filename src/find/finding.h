// What the search found on one device: what answered and what it means, in the one line the
// Find window and the command line show, and the test screen to open for it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "find/candidates.h"
#include "ports/port_types.h"
#include "protocol/command_set.h"

namespace find {

struct Finding {
    enum class Outcome {
        Printer,       // a brand's status rule read its reply, or its device ID named a brand
        Interface,     // nothing answered, and CTS and DSR are held: a drawer interface
        UnknownReply,  // something answered that no brand's rule reads
        OtherPrinter,  // a device ID of a printer that speaks none of the brands' commands
        Nothing,       // nothing answered
        Held,          // another program holds the device
        Unavailable,   // it could not be opened
        Failed,        // a call failed while it was asked
        Cancelled,     // the search was cancelled while it was asked
    };

    Candidate candidate;
    Outcome outcome = Outcome::Nothing;
    const protocol::CommandSet* brand = nullptr;  // Printer
    std::uint32_t baud = 0;  // the line's rate when something answered; 0 for no line
    std::optional<protocol::DrawerReading> drawer;  // Printer and Interface, where told
    protocol::PrinterCondition condition;           // Printer, where it answers for it
    std::string deviceId;                           // as the printer gave it
    std::optional<std::uint32_t> modemLines;        // a serial line's, where they were read
    std::optional<std::uint8_t> reply;              // UnknownReply: the first such byte
    bool echoes = false;  // UnknownReply: every reply was the first byte of its request
    ports::ErrorCode code = ports::kSuccess;  // Unavailable, Failed
    bool stopped = false;  // the port's time ran out before every question was asked

    // "Epson-compatible printer at 9600 baud, drawer closed", "nothing answered", ...
    std::string summary() const;
    // The word a script reads: "printer", "interface", "unknown reply", "other printer",
    // "nothing", "held", "unavailable", "error", "cancelled".
    std::string result() const;
    // The form name of the test screen that tests what was found; empty for none.
    std::string screen() const;
    // That screen as a button names it: "Epson serial test", "Alder test".
    std::string screenTitle() const;
};

// What an open that failed with `code` means: held by another program, or unavailable.
Finding::Outcome outcomeOfOpen(ports::ErrorCode code);

}  // namespace find
