// The Ports dialog's choices in the registry, where Qt's settings keep them on Windows:
// HKEY_CURRENT_USER\Software\drawertest\drawertest\ports, one string value per port.
#pragma once

#include <string>

#include "app/port_choices.h"

namespace win32gui {

class RegistryStore final : public app::ChoiceStore {
public:
    // The key under HKEY_CURRENT_USER; tests give one of their own.
    explicit RegistryStore(std::wstring key = L"Software\\drawertest\\drawertest\\ports")
        : m_key(std::move(key)) {}

    std::string load(const std::string& port) const override;
    std::string save(const std::string& port, const std::string& device) override;

private:
    std::wstring m_key;
};

}  // namespace win32gui
