// A window system for tests without a display: it remembers the message boxes shown and
// whether the program has ended.
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

    std::vector<std::string> shown;
    std::vector<std::pair<std::string, std::string>> messages;
    bool ended = false;
};

}  // namespace support
