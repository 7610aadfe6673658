#include "screens/interfaces/interface_settings.h"

namespace screens {

namespace {

// The longest run one trigger sends, in time on the wire. The window waits for every write,
// so a typed count of thousands would hold it for minutes (32767 pairs at 300 baud take over
// half an hour), while the interface needs a fraction of a second: the standard counts give
// 50 to 330 ms.
constexpr int kLongestRunSeconds = 2;
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
    const int longestRun = baudRate * kLongestRunSeconds / kBitsPerPass;
    if (repeatCount <= longestRun)
        return repeatCount;
    note = "Repeat count limited to " + std::to_string(longestRun) + " at " +
           std::to_string(baudRate) + " baud.";
    return longestRun;
}

}  // namespace screens
