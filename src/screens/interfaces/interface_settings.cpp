#include "screens/interfaces/interface_settings.h"

namespace screens {

namespace {

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

}  // namespace screens
