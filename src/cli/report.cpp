#include "cli/report.h"

#include <cstdint>
#include <iostream>

namespace cli {

namespace {

std::string hexDigits(unsigned value, int digits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        text += kDigits[(value >> shift) & 0xF];
    return text;
}

// A JSON string: quotes, backslashes (the "\\.\COM1" of the messages) and control characters
// escaped.
std::string quoted(std::string_view text) {
    std::string json = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            json += "\\u" + hexDigits(static_cast<unsigned char>(c), 4);
        } else {
            json += c;
        }
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
        std::cerr << "drawertest: " << sentence << std::endl;
    } else {
        std::cout << sentence << std::endl;
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
