// The simulated receipt printers.
#include "devices/printer.h"

namespace devices {

namespace {

int paperWidth(Brand brand) {
    return brand == Brand::Star ? 48 : 42;
}

}  // namespace

Printer::Printer(Brand brand, int columns)
    : Device(2),
      m_brand(brand),
      m_columns(static_cast<std::size_t>(columns > 0 ? columns : paperWidth(brand))),
      m_decoder(brand) {}

std::string Printer::description() const {
    switch (m_brand) {
        case Brand::Epson:
            return "an Epson receipt printer (ESC/POS)";
        case Brand::Star:
            return "a Star Micronics receipt printer";
        case Brand::Citizen:
            return "a Citizen receipt printer";
        case Brand::Ithaca:
            break;
    }
    return "an Ithaca receipt printer";
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

void Printer::act(const Command& command, Time at, Bytes& replies) {
    switch (command.action) {
        case Action::Text:
            print(command.meaning);
            return;
        case Action::LineFeed:
            if (!m_line)
                m_line.emplace();
            endLine();
            return;
        case Action::CarriageReturn:
            return;
        case Action::Kick:
            note(command);
            kick(command.drawer, at);
            return;
        case Action::StatusRequest:
            if (const auto reply = statusReply(m_brand, command, drawer(1).isOpen())) {
                replies.push_back(*reply);
                countStatusAnswer();
                // Polls come ten times a second: only a change is told.
                if (m_lastReply != reply) {
                    endLine();
                    notify(Notice::Kind::Reply,
                           command.name() + "; " + describeReply(m_brand, *reply));
                    m_lastReply = reply;
                }
            }
            return;
        case Action::Feed:
        case Action::Cut:
        case Action::Initialise:
        case Action::Other:
        case Action::Unknown:
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

void Printer::note(const Command& command) {
    endLine();
    notify(Notice::Kind::Command, command.name() + " (" + hex(command.bytes) + ")");
}

}  // namespace devices
