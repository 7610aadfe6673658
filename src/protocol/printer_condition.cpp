#include "protocol/printer_condition.h"

#include <vector>

namespace protocol {

namespace {

std::string joined(const std::vector<const char*>& words) {
    std::string text;
    for (const char* word : words)
        text += (text.empty() ? "" : ", ") + std::string(word);
    return text;
}

std::vector<const char*> causes(const PrinterCondition& c) {
    std::vector<const char*> words;
    if (c.coverOpen)
        words.push_back("cover open");
    if (c.paperOut)
        words.push_back("out of paper");
    if (c.feedButton)
        words.push_back("paper being fed by its button");
    if (c.error)
        words.push_back("an error");
    return words;
}

}  // namespace

std::string PrinterCondition::sentence() const {
    std::string text;
    if (isOffline()) {
        const std::string why = joined(causes(*this));
        text = "the printer is offline" + (why.empty() ? "" : " (" + why + ")") +
               ": it will not open the drawer until it is back online";
    }
    if (paperLow && !paperOut)
        text += (text.empty() ? "" : "; ") + std::string("paper is running low");
    return text;
}

std::string PrinterCondition::summary() const {
    std::vector<const char*> words = causes(*this);
    if (offline && words.empty())
        words.push_back("offline");
    if (paperLow && !paperOut)
        words.push_back("paper low");
    return words.empty() ? "online" : joined(words);
}

}  // namespace protocol
