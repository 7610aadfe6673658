#include "win32gui/registry_store.h"

#include <windows.h>

#include <string>
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

std::string RegistryStore::save(const std::string& port, const std::string& device) {
    const std::wstring name = widen(port);
    LSTATUS status = ERROR_SUCCESS;
    if (device.empty()) {
        status = RegDeleteKeyValueW(HKEY_CURRENT_USER, m_key.c_str(), name.c_str());
        // No choice kept is what was asked for.
        if (status == ERROR_FILE_NOT_FOUND)
            status = ERROR_SUCCESS;
    } else {
        const std::wstring value = widen(device);
        status =
            RegSetKeyValueW(HKEY_CURRENT_USER, m_key.c_str(), name.c_str(), REG_SZ, value.c_str(),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    if (status == ERROR_SUCCESS)
        return {};
    // Why not, as Windows tells it.
    wchar_t* reason = nullptr;
    FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(status), 0, reinterpret_cast<wchar_t*>(&reason), 0, nullptr);
    std::string text = "HKEY_CURRENT_USER\\" + narrow(m_key) + " cannot be written (" +
                       (reason != nullptr ? narrow(reason) : "error " + std::to_string(status));
    LocalFree(reason);
    while (!text.empty() &&
           (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    return text + ")";
}

}  // namespace win32gui
