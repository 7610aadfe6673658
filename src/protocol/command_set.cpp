// Decoding a byte stream by a brand's command set, and the list of the sets.
#include "protocol/command_set.h"

#include <algorithm>
#include <array>
#include <utility>

#include "protocol/bytes.h"

namespace protocol {

namespace {

bool isText(std::uint8_t byte) {
    return byte >= 0x20 && byte != 0x7F;
}

// A character as it is shown: itself, or its code where it has no glyph of its own here.
std::string shown(std::uint8_t byte) {
    return byte < 0x80 ? std::string(1, static_cast<char>(byte)) : "\\x" + hex(byte);
}

// A command byte as manuals write it: control characters by name, letters as letters.
std::string byteName(std::uint8_t byte) {
    static const char* const kControls[] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL",
                                            "BS",  "HT",  "LF",  "VT",  "FF",  "CR",  "SO",  "SI",
                                            "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB",
                                            "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};
    if (byte < 0x20)
        return kControls[byte];
    return byte == 0x7F ? "DEL" : shown(byte);
}

std::string mnemonicOf(const std::vector<std::uint8_t>& bytes, std::size_t named) {
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        text += (i == 0 ? "" : " ") + (i < named ? byteName(bytes[i]) : std::to_string(bytes[i]));
    }
    return text;
}

}  // namespace

std::span<const CommandSet* const> commandSets() {
    static const std::array<const CommandSet*, 4> kSets{&epsonCommands(), &starCommands(),
                                                        &citizenCommands(), &ithacaCommands()};
    return kSets;
}

const CommandSet* commandSetNamed(std::string_view name) {
    for (const CommandSet* commands : commandSets()) {
        if (name == commands->name)
            return commands;
    }
    return nullptr;
}

std::string Command::name() const {
    return action == Action::Text ? '"' + meaning + '"' : mnemonic + ": " + meaning;
}

std::optional<Command> Decoder::take(std::uint8_t byte) {
    Command command;
    if (m_pending.empty() && isText(byte)) {
        command.action = Action::Text;
        command.bytes = {byte};
        command.meaning = shown(byte);
        return command;
    }
    m_pending.push_back(byte);
    const CommandEntry* match = nullptr;
    bool partial = false;
    for (const CommandEntry& entry : m_commands->commands) {
        const std::size_t n = std::min(entry.prefix.size(), m_pending.size());
        if (!std::equal(entry.prefix.begin(), entry.prefix.begin() + n, m_pending.begin()))
            continue;
        if (m_pending.size() >= entry.prefix.size() + entry.parameters) {
            match = &entry;
        } else {
            partial = true;
        }
    }
    if (!match && partial)
        return std::nullopt;
    command.bytes = std::move(m_pending);
    m_pending.clear();
    if (!match) {
        command.mnemonic = mnemonicOf(command.bytes, command.bytes.size());
        command.meaning = "unknown command";
        return command;
    }
    command.action = match->action;
    command.mnemonic = mnemonicOf(command.bytes, match->prefix.size());
    command.meaning = match->meaning;
    command.drawer = match->drawer;
    if (match->detail)
        match->detail(command);
    return command;
}

std::vector<Command> decode(const CommandSet& set, const std::vector<std::uint8_t>& bytes) {
    Decoder decoder(set);
    std::vector<Command> commands;
    for (std::uint8_t byte : bytes) {
        auto command = decoder.take(byte);
        if (!command)
            continue;
        if (command->action == Action::Text && !commands.empty() &&
            commands.back().action == Action::Text) {
            commands.back().bytes.push_back(byte);
            commands.back().meaning += command->meaning;
        } else {
            commands.push_back(std::move(*command));
        }
    }
    return commands;
}

std::string describeReply(const CommandSet& commands, std::span<const std::uint8_t> request,
                          std::uint8_t reply) {
    const std::string start = "reply 0x" + hex(reply) + ": ";
    const bool status = request.empty() || std::ranges::equal(request, commands.statusRequest);
    PrinterCondition condition;
    const bool told =
        commands.readCondition != nullptr && commands.readCondition(request, reply, condition);
    if (!status)
        return start + (told ? condition.summary() : "not a status reply");
    const DrawerReading reading = commands.readReply(reply);
    if (reading == DrawerReading::NotJudged)
        return start + "not a drawer status";
    return start + (reading == DrawerReading::Open ? "drawer open" : "drawer closed") +
           (told && condition.isOffline() ? ", printer offline" : "");
}

const CommandSet* commandSetAsking(std::span<const std::uint8_t> bytes) {
    for (const CommandSet* commands : commandSets()) {
        if (!commands->statusRequest.empty() && std::ranges::equal(bytes, commands->statusRequest))
            return commands;
        for (const auto& request : commands->conditionRequests) {
            if (std::ranges::equal(bytes, request))
                return commands;
        }
    }
    return nullptr;
}

}  // namespace protocol
