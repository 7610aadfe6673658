// The simulated receipt printers.
#include "sim/printer.h"

namespace sim {

Printer::Printer(const protocol::CommandSet& commands, int columns)
    : Device(2),
      m_commands(commands),
      m_columns(static_cast<std::size_t>(columns > 0 ? columns : commands.paperColumns)),
      m_decoder(commands) {}

std::string Printer::description() const {
    return m_commands.printer;
}

Bytes Printer::onByte(std::uint8_t byte, Time at) {
    Bytes replies;
    if (auto command = m_decoder.take(byte))
        act(*command, at, replies);
    // A line left unfinished is printed once the line goes quiet.
    if (m_line)
        endWhenQuiet(at);
    return replies;
}

void Printer::act(const protocol::Command& command, Time at, Bytes& replies) {
    switch (command.action) {
        case protocol::Action::Text:
            print(command.meaning);
            return;
        case protocol::Action::LineFeed:
            if (!m_line)
                m_line.emplace();
            endLine();
            return;
        case protocol::Action::CarriageReturn:
            return;
        case protocol::Action::Kick:
            note(command);
            kick(command.drawer, at);
            return;
        case protocol::Action::StatusRequest:
            if (const auto reply = m_commands.reply(command, drawer(1).isOpen())) {
                replies.push_back(*reply);
                countStatusAnswer();
                // Polls come ten times a second: only a change is told.
                if (m_lastReply != reply) {
                    endLine();
                    notify(Notice::Kind::Reply,
                           command.name() + "; " + protocol::describeReply(m_commands, *reply));
                    m_lastReply = reply;
                }
            }
            return;
        case protocol::Action::Feed:
        case protocol::Action::Cut:
        case protocol::Action::Initialise:
        case protocol::Action::Other:
        case protocol::Action::Unknown:
            note(command);
            return;
    }
}

void Printer::print(const std::string& characters) {
    if (m_line && m_line->size() >= m_columns)
        endLine();
    if (!m_line)
        m_line.emplace();
    *m_line += characters;
}

void Printer::endLine() {
    if (m_line) {
        notify(Notice::Kind::Paper, *m_line);
        m_line.reset();
    }
}

void Printer::note(const protocol::Command& command) {
    endLine();
    notify(Notice::Kind::Command, command.name() + " (" + hex(command.bytes) + ")");
}

}  // namespace sim
