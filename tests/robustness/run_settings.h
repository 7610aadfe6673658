// How long the robustness runs go: a short run by default, longer ones when an environment
// variable asks for them.
#pragma once

#include <cstdlib>
#include <string>

namespace robustness {

// The variable's value as a whole number, or the fallback when it is unset or not a number.
inline long long runSetting(const char* variable, long long fallback) {
    const char* value = std::getenv(variable);
    if (value == nullptr || *value == '\0')
        return fallback;
    char* end = nullptr;
    const long long number = std::strtoll(value, &end, 0);
    return *end == '\0' ? number : fallback;
}

}  // namespace robustness
