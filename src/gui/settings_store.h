// The Ports dialog's choices in the user's settings (a file under ~/.config on Linux, the
// registry on Windows).
#pragma once

#include "app/port_choices.h"

namespace gui {

class SettingsStore final : public app::ChoiceStore {
public:
    std::string load(const std::string& port) const override;
    std::string save(const std::string& port, const std::string& device) override;
};

}  // namespace gui
