// The program's feedback texts, written as the screens show them, with {device} for a port's
// name as the screen stores it and {code} for an error code (1 or more: a failure never shows
// the code of success). {number} is a count or a rate.
#include "robustness/feedback_texts.h"

#include <regex>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

namespace robustness {

namespace {

const char* const kResults[] = {
    "",
    // Opening, setting up and closing a port.
    "Handle successfully acquired for port {device}.",
    "Unable to acquire handle for port {device}. ({code})",
    "commsetup successfully acquired",
    "Error acquiring comm setup. ({code})",
    "error acquiring comm setup. ({code})",
    "DCB updated successfully",
    "Error writing comm settings. ({code})",
    "error writing comm settings. ({code})",
    "Port successfully closed.",
    "Unable to close port. ({code})",
    "Printer successfully closed.",
    "Unable to close Printer. ({code})",
    "Unable to close print. ({code})",
    "Unable to close printer. ({code})",
    // The drawer interfaces.
    "Error getting status information. ({code})",
    "Error getting port status information. ({code})",
    "Failure to create overlapped event",
    "Failure to create overlapped event.",
    "Trigger Character written to port.",
    "Error writing to port. ({code})",
    "error writing to port. ({code})",
    "Failure to write to printer.",
    "Valid characters are 0 through 127",
    "Valid characters are 0 through 255",
    "Valid values 1 through 100",
    "Enter a valid character between 0 and 255",
    "Repeat value must be greater than 0",
    // The receipt printers.
    "Failure to write to printer .({code})",
    "Failure to write to printer.({code})",
    "Failure to write to printer",
    "Failure to write to Cash Drawer.({code})",
    "Failure to write to Cash Drawer",
    "Failure to write to Cash drawer",
    "failure to create event",
    "Failed to create OverLapped event",
    "Error writing ENQ character. ({code})",
};

const char* const kNotes[] = {
    "",
    "Port {device} has been disabled for this session.",
    "Open Character reset to factory default: 7",
    "Open Character reset to factory default: 85",
    "Open Character reset to standard: 7",
    "Number of repeats reset to standard: 2",
    "Cash drawer installed with 'Y' cable.",
    "Deadend cable or terminator installed.",
    // The Cedar screen's bound on one trigger's run.
    "Repeat count limited to {number} at {number} baud.",
};

std::string patternOf(const std::string& text) {
    static const std::vector<std::pair<std::string, std::string>> kFields = {
        {"{device}", R"((\\\\\.\\COM[12]|COM[12]|LPT[12]))"},
        {"{code}", "[1-9][0-9]*"},
        {"{number}", "(0|[1-9][0-9]*)"},
    };
    std::string pattern;
    for (std::size_t i = 0; i < text.size();) {
        bool field = false;
        for (const auto& [name, regex] : kFields) {
            if (text.compare(i, name.size(), name) == 0) {
                pattern += regex;
                i += name.size();
                field = true;
                break;
            }
        }
        if (field)
            continue;
        if (std::string_view(R"(\^$.|?*+()[]{})").find(text[i]) != std::string_view::npos)
            pattern += '\\';
        pattern += text[i++];
    }
    return pattern;
}

template <std::size_t N>
std::regex anyOf(const char* const (&texts)[N]) {
    std::string pattern;
    for (const char* text : texts) {
        if (!pattern.empty())
            pattern += '|';
        pattern += "(" + patternOf(text) + ")";
    }
    return std::regex(pattern);
}

}  // namespace

bool isProgramText(FeedbackLine line, const std::string& text) {
    static const std::regex results = anyOf(kResults);
    static const std::regex notes = anyOf(kNotes);
    // The same few texts come back all the time: each is matched once.
    static std::unordered_set<std::string> known[2];
    auto& seen = known[line == FeedbackLine::Results ? 0 : 1];
    if (seen.contains(text))
        return true;
    if (!std::regex_match(text, line == FeedbackLine::Results ? results : notes))
        return false;
    seen.insert(text);
    return true;
}

}  // namespace robustness
