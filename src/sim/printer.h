// A receipt printer: it prints the text it is sent at its paper width, feeds and cuts, opens
// the two drawers on its kick connector on their commands and answers its brand's status
// requests from the state of drawer 1 (the one whose switch the connector reads) and its
// condition. Its serial interface is set to one rate, as a printer's switches set it: bytes
// sent at another arrive garbled, and so do its replies at the other end. Offline (its cover
// open, out of paper, an error) it holds what it is sent, the kick included, until it is back
// online; only the requests a printer answers at once are answered meanwhile.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "protocol/command_set.h"
#include "sim/device.h"

namespace sim {

class Printer final : public Device {
public:
    // The rate of the printers the screens test.
    static constexpr std::uint32_t kStandardBaud = 9600;

    // columns 0: the brand's own paper width. baud: the rate its interface is set to.
    explicit Printer(const protocol::CommandSet& commands, int columns = 0,
                     std::uint32_t baud = kStandardBaud);

    std::string description() const override;
    // "MFG:EPSON;CMD:ESC/POS;MDL:Simulated Epson;CLS:PRINTER;", as the brand's printers name
    // themselves.
    std::string deviceId() const override;
    // A printer that is on holds CTS and DSR.
    ModemLines modemLines() const override { return {.cts = true, .dsr = true}; }
    void setLineSettings(const LineSettings& settings) override;

    std::uint32_t baud() const { return m_baud; }
    const protocol::PrinterCondition& condition() const { return m_condition; }
    // Offline or back online at `now`; back online, what it held goes on.
    void setCondition(const protocol::PrinterCondition& condition, Time now);

protected:
    Bytes onByte(std::uint8_t byte, Time at) override;
    void quiet() override;

private:
    void take(std::uint8_t byte, Time at, Bytes& replies);
    void act(const protocol::Command& command, Time at, Bytes& replies);
    void answer(const protocol::Command& command, Bytes& replies);
    void print(const std::string& characters);
    void endLine();
    void note(const protocol::Command& command);
    // What the line made of bytes sent at another rate, told once the line goes quiet or
    // changes its rate.
    void tellGarbled();

    const protocol::CommandSet& m_commands;
    std::size_t m_columns;
    std::uint32_t m_baud;
    protocol::Decoder m_decoder;
    protocol::PrinterCondition m_condition;
    std::vector<protocol::Command> m_held;  // while offline
    std::optional<std::string> m_line;      // a line being printed, empty or not
    std::optional<std::uint8_t> m_lastReply;
    struct Garbled {
        Bytes sent;
        Bytes arrived;
        int framingErrors = 0;
    };
    std::optional<Garbled> m_garbled;
};

}  // namespace sim
