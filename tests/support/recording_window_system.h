// A window system for tests without a display: it remembers the message boxes shown, the notes
// of waits, and whether the program has ended; the user may stop a wait at its nth note.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "toolkit/application.h"

namespace support {

class RecordingWindowSystem final : public toolkit::WindowSystem {
public:
    void formShown(toolkit::Form& form) override { shown.push_back(form.name()); }
    void formDestroyed(toolkit::Form&) override {}
    void timersChanged() override {}
    void showMessage(const std::string& caption, const std::string& text) override {
        messages.emplace_back(caption, text);
    }
    void programEnded() override { ended = true; }
    bool paintWhileWaiting(const std::string& note, const std::string& stopCaption) override {
        notes.push_back(note + " [" + stopCaption + "]");
        return notes.size() == stopAtNote;
    }

    std::vector<std::string> shown;
    std::vector<std::string> notes;
    std::size_t stopAtNote = 0;
    std::vector<std::pair<std::string, std::string>> messages;
    bool ended = false;
};

}  // namespace support
