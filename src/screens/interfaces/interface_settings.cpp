#include "screens/interfaces/interface_settings.h"

namespace screens {

namespace {

constexpr int kBitsPerPass = 20;  // two characters of start bit, 8 data bits and stop bit

struct RateRepeats {
    const char* rate;
    const char* repeats;
};
constexpr RateRepeats kRateRepeats[] = {
    {"300", "5"}, {"1200", "10"}, {"2400", "15"}, {"4800", "20"}, {"9600", "25"},
};

}  // namespace

const char* cedarRepeatsFor(std::string_view baudRate) {
    for (const RateRepeats& entry : kRateRepeats) {
        if (baudRate == entry.rate)
            return entry.repeats;
    }
    return nullptr;
}

int cedarPasses(int repeatCount, int baudRate, std::string& note) {
    note.clear();
    const int longestRun = baudRate * kCedarLongestRunSeconds / kBitsPerPass;
    if (repeatCount <= longestRun)
        return repeatCount;
    note = "Repeat count limited to " + std::to_string(longestRun) + " at " +
           std::to_string(baudRate) + " baud.";
    return longestRun;
}

}  // namespace screens
