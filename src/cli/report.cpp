#include "cli/report.h"

#include <cstdint>
#include <iostream>

#include "app/visible_text.h"

namespace cli {

namespace {

std::string hexDigits(unsigned value, int digits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        text += kDigits[(value >> shift) & 0xF];
    return text;
}

// A JSON string: quotes, backslashes (the "\\.\COM1" of the messages) and the characters a
// line obeys escaped. A byte that is no UTF-8 (a path may hold any) has no JSON escape: it
// stands as its visible text does, "\xFF", so that the output stays valid UTF-8.
std::string quoted(std::string_view text) {
    std::string json = "\"";
    while (!text.empty()) {
        const auto [point, length] = app::firstCharacter(text);
        if (length == 0) {
            json += "\\\\x" + hexDigits(static_cast<unsigned char>(text[0]), 2);
        } else if (point == '"' || point == '\\') {
            json += '\\';
            json += static_cast<char>(point);
        } else if (app::isControl(point)) {
            json += "\\u" + hexDigits(point, 4);
        } else {
            json += text.substr(0, length);
        }
        text.remove_prefix(length == 0 ? 1 : length);
    }
    return json + "\"";
}

}  // namespace

Report& Report::text(const std::string& key, std::string_view value) {
    m_fields.emplace_back(key, quoted(value));
    return *this;
}

Report& Report::number(const std::string& key, long long value) {
    m_fields.emplace_back(key, std::to_string(value));
    return *this;
}

std::string Report::json() const {
    std::string json = "{";
    for (const auto& [key, value] : m_fields) {
        if (json.size() > 1)
            json += ",";
        json += quoted(key) + ":" + value;
    }
    return json + "}";
}

void Output::print(const Report& report, const std::string& sentence, bool failed) const {
    // Flushed at once: a script reading a --watch run sees each change as it comes.
    if (json) {
        std::cout << report.json() << std::endl;
    } else if (failed) {
        std::cerr << "drawertest: " << app::visibleText(sentence, std::string::npos) << std::endl;
    } else {
        std::cout << app::visibleText(sentence, std::string::npos) << std::endl;
    }
}

int printFailure(const Output& output, Report report, const Failure& failure) {
    report.text("result", "error")
        .text("message", failure.message)
        .number("code", static_cast<long long>(failure.code));
    output.print(report, failure.message, true);
    return kNoAnswer;
}

}  // namespace cli
