// A receipt printer: it prints the text it is sent at its paper width, feeds and cuts, opens
// the two drawers on its kick connector on their commands and answers its brand's status
// request from the state of drawer 1 (the one whose switch the connector reads).
#pragma once

#include <optional>
#include <string>

#include "protocol/command_set.h"
#include "sim/device.h"

namespace sim {

class Printer final : public Device {
public:
    // columns 0: the brand's own paper width.
    explicit Printer(const protocol::CommandSet& commands, int columns = 0);

    std::string description() const override;
    // A printer that is on holds CTS and DSR.
    ModemLines modemLines() const override { return {.cts = true, .dsr = true}; }

protected:
    Bytes onByte(std::uint8_t byte, Time at) override;
    void quiet() override { endLine(); }

private:
    void act(const protocol::Command& command, Time at, Bytes& replies);
    void print(const std::string& characters);
    void endLine();
    void note(const protocol::Command& command);

    const protocol::CommandSet& m_commands;
    std::size_t m_columns;
    protocol::Decoder m_decoder;
    std::optional<std::string> m_line;  // a line being printed, empty or not
    std::optional<std::uint8_t> m_lastReply;
};

}  // namespace sim
