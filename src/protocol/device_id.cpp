#include "protocol/device_id.h"

#include <algorithm>
#include <cctype>

namespace protocol {

namespace {

std::string trimmed(std::string_view text) {
    const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return std::string(text);
}

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// "Star Micronics" is by STAR; "STARLIGHT" is not.
bool madeBy(const std::string& maker, std::string_view name) {
    const std::string words = upper(maker);
    return words.starts_with(name) && (words.size() == name.size() || words[name.size()] == ' ');
}

}  // namespace

std::string DeviceId::text() const {
    std::string text = trimmed(maker + " " + model);
    std::string languages;
    for (const std::string& command : commands)
        languages += (languages.empty() ? "" : ", ") + command;
    if (!languages.empty())
        text += (text.empty() ? "" : " ") + ("(" + languages + ")");
    return text;
}

DeviceId parseDeviceId(std::string_view text) {
    DeviceId id;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find(';'), text.size());
        const std::string_view field = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        const std::size_t colon = field.find(':');
        if (colon == std::string_view::npos)
            continue;
        const std::string key = upper(trimmed(field.substr(0, colon)));
        const std::string value = trimmed(field.substr(colon + 1));
        if (key == "MFG" || key == "MANUFACTURER") {
            id.maker = value;
        } else if (key == "MDL" || key == "MODEL") {
            id.model = value;
        } else if (key == "CMD" || key == "COMMAND SET") {
            std::string_view list = value;
            while (!list.empty()) {
                const std::size_t comma = std::min(list.find(','), list.size());
                if (std::string command = trimmed(list.substr(0, comma)); !command.empty())
                    id.commands.push_back(std::move(command));
                list.remove_prefix(std::min(comma + 1, list.size()));
            }
        }
    }
    return id;
}

const CommandSet* brandOf(const DeviceId& id) {
    for (const std::string& command : id.commands) {
        for (const CommandSet* brand : commandSets()) {
            const auto& known = brand->deviceIdCommands;
            if (std::find(known.begin(), known.end(), upper(command)) != known.end())
                return brand;
        }
    }
    if (!id.commands.empty())
        return nullptr;
    for (const CommandSet* brand : commandSets()) {
        for (std::string_view maker : brand->deviceIdMakers) {
            if (madeBy(id.maker, maker))
                return brand;
        }
    }
    return nullptr;
}

}  // namespace protocol
