// The simulated receipt printers.
#include "sim/printer.h"

#include "ports/rate_mismatch.h"

namespace sim {

namespace {

// Held while offline: everything but the requests answered at once.
bool realTime(const protocol::Command& command) {
    return command.action == protocol::Action::StatusRequest;
}

}  // namespace

Printer::Printer(const protocol::CommandSet& commands, int columns, std::uint32_t baud)
    : Device(2),
      m_commands(commands),
      m_columns(static_cast<std::size_t>(columns > 0 ? columns : commands.paperColumns)),
      m_baud(baud),
      m_decoder(commands) {}

std::string Printer::description() const {
    std::string text = m_commands.printer;
    if (m_baud != kStandardBaud)
        text += " set to " + std::to_string(m_baud) + " baud";
    return text;
}

std::string Printer::deviceId() const {
    std::string id;
    if (!m_commands.deviceIdMakers.empty())
        id += "MFG:" + std::string(m_commands.deviceIdMakers.front()) + ";";
    if (!m_commands.deviceIdCommands.empty())
        id += "CMD:" + std::string(m_commands.deviceIdCommands.front()) + ";";
    return id + "MDL:Simulated " + m_commands.title + ";CLS:PRINTER;";
}

void Printer::setLineSettings(const LineSettings& settings) {
    if (settings.baud != lineSettings().baud)
        tellGarbled();
    Device::setLineSettings(settings);
}

void Printer::setCondition(const protocol::PrinterCondition& condition, Time now) {
    advance(now);
    const bool wasOffline = m_condition.isOffline();
    m_condition = condition;
    if (condition.isOffline() == wasOffline)
        return;
    endLine();
    const std::string why = condition.sentence();
    if (condition.isOffline()) {
        notify(Notice::Kind::Command, "offline: " + (why.empty() ? "no cause given" : why));
        return;
    }
    notify(Notice::Kind::Command,
           "back online: " + std::to_string(m_held.size()) +
               (m_held.size() == 1 ? " held command goes" : " held commands go") + " on");
    Bytes replies;
    for (const protocol::Command& command : std::exchange(m_held, {}))
        act(command, now, replies);
    for (std::uint8_t reply : replies)
        sendLater(reply);
}

// A line without a rate (a parallel port, a network connection) takes the bytes as they are;
// a serial line at another rate than the printer's garbles them both ways.
Bytes Printer::onByte(std::uint8_t byte, Time at) {
    Bytes replies;
    const std::uint32_t lineBaud = lineSettings().baud;
    if (lineBaud == 0 || m_baud == 0 || lineBaud == m_baud) {
        take(byte, at, replies);
    } else {
        if (!m_garbled)
            m_garbled.emplace();
        m_garbled->sent.push_back(byte);
        Bytes garbledReplies;
        for (const ports::Received& received : ports::receivedAt(byte, lineBaud, m_baud)) {
            // The printer drops a byte whose stop bit was wrong.
            if (received.framingError) {
                ++m_garbled->framingErrors;
                continue;
            }
            m_garbled->arrived.push_back(received.byte);
            take(received.byte, at, garbledReplies);
        }
        // The program's serial driver reads a byte with a framing error as 0x00.
        for (std::uint8_t reply : garbledReplies) {
            for (const ports::Received& received : ports::receivedAt(reply, m_baud, lineBaud))
                replies.push_back(received.framingError ? 0x00 : received.byte);
        }
        endWhenQuiet(at);
    }
    // A line left unfinished is printed once the line goes quiet.
    if (m_line)
        endWhenQuiet(at);
    return replies;
}

void Printer::quiet() {
    tellGarbled();
    endLine();
}

void Printer::tellGarbled() {
    if (!m_garbled)
        return;
    const Garbled garbled = *std::exchange(m_garbled, std::nullopt);
    std::string text =
        hex(garbled.sent) + " sent at " + std::to_string(lineSettings().baud) +
        " baud reached a printer set to " + std::to_string(m_baud) +
        " baud garbled: " + (garbled.arrived.empty() ? "nothing" : hex(garbled.arrived));
    if (garbled.framingErrors > 0)
        text += ", " + std::to_string(garbled.framingErrors) + " with a framing error dropped";
    endLine();
    notify(Notice::Kind::Command, text);
}

void Printer::take(std::uint8_t byte, Time at, Bytes& replies) {
    auto command = m_decoder.take(byte);
    if (!command)
        return;
    if (m_condition.isOffline() && !realTime(*command)) {
        note(*command);
        notify(Notice::Kind::Command, "  held: the printer is offline");
        m_held.push_back(std::move(*command));
        return;
    }
    act(*command, at, replies);
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
        case protocol::Action::HeldStatusRequest:
            answer(command, replies);
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

void Printer::answer(const protocol::Command& command, Bytes& replies) {
    const auto reply = m_commands.reply(command, {drawer(1).isOpen(), m_condition});
    if (!reply) {
        note(command);
        return;
    }
    replies.push_back(*reply);
    countStatusAnswer();
    // The drawer is polled ten times a second: only a change is told, and every other request.
    if (command.bytes == m_commands.statusRequest && m_lastReply == reply)
        return;
    if (command.bytes == m_commands.statusRequest)
        m_lastReply = reply;
    endLine();
    notify(Notice::Kind::Reply,
           command.name() + "; " + protocol::describeReply(m_commands, command.bytes, *reply));
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
