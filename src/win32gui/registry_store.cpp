#include "win32gui/registry_store.h"

#include <windows.h>

#include <vector>

#include "win32gui/wide_text.h"

namespace win32gui {

std::string RegistryStore::load(const std::string& port) const {
    const std::wstring name = widen(port);
    DWORD bytes = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, m_key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr,
                     nullptr, &bytes) != ERROR_SUCCESS) {
        return {};
    }
    std::vector<wchar_t> value(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CURRENT_USER, m_key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr,
                     value.data(), &bytes) != ERROR_SUCCESS) {
        return {};
    }
    return narrow(value.data());
}

void RegistryStore::save(const std::string& port, const std::string& device) {
    const std::wstring name = widen(port);
    if (device.empty()) {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, m_key.c_str(), name.c_str());
        return;
    }
    const std::wstring value = widen(device);
    RegSetKeyValueW(HKEY_CURRENT_USER, m_key.c_str(), name.c_str(), REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

}  // namespace win32gui
