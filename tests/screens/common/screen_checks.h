// What the Alder, Alder alternate and Maple tests read off a screen: the switch row as one
// text, the calls of one kind the fake heard, and every text a feedback line showed.
#pragma once

#include <string>
#include <vector>

#include "toolkit/control.h"

namespace support {

// "v v v ^ ^ ^ ^ v ^ ^": the captions of bit1 to bit10.
template <class Screen>
std::string switchRow(const Screen& s) {
    std::string row;
    for (const toolkit::Label* bit : {&s.bit1, &s.bit2, &s.bit3, &s.bit4, &s.bit5, &s.bit6, &s.bit7,
                                      &s.bit8, &s.bit9, &s.bit10}) {
        if (!row.empty())
            row += ' ';
        row += bit->caption();
    }
    return row;
}

// The recorded calls that start with one of the prefixes, in order.
inline std::vector<std::string> callsOf(const std::vector<std::string>& calls,
                                        std::initializer_list<const char*> prefixes) {
    std::vector<std::string> found;
    for (const std::string& call : calls) {
        for (const char* prefix : prefixes) {
            if (call.rfind(prefix, 0) == 0)
                found.push_back(call);
        }
    }
    return found;
}

// Remembers every caption a label takes, so that a message later replaced in the same
// handler can still be checked.
class CaptionLog final : public toolkit::ControlObserver {
public:
    explicit CaptionLog(toolkit::Control& control) { control.setObserver(this); }
    void propertyChanged(toolkit::Control& control, toolkit::Property property) override {
        if (property == toolkit::Property::Caption)
            captions.push_back(control.caption());
    }
    std::vector<std::string> captions;
};

}  // namespace support
