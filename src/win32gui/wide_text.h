// The model's texts are UTF-8; the Windows API's are UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace win32gui {

std::wstring widen(std::string_view text);
std::string narrow(std::wstring_view text);

}  // namespace win32gui
