// What each of the maker's drawer interfaces takes, as its screen offers it: the baud rates of
// its list, the opening characters and repeat counts it accepts with the texts of a reset, what
// it starts with, and the writes of one trigger. The screens and the command line both read
// them from here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "screens/common/typed_number.h"

namespace screens {

// The baud-rate lists of the Alder and Birch screens; the Cedar interface also runs at 300.
inline const std::vector<std::string> kBaudRates{"9600", "4800", "2400", "1200"};
inline const std::vector<std::string> kCedarBaudRates{"9600", "4800", "2400", "1200", "300"};

// Alder: a 7-bit opening character on switches 1 to 7, sent once or twice (switch 8).
inline constexpr BoxRule kAlderOpenChar{0, 127, "7", "Valid characters are 0 through 127",
                                        "Open Character reset to factory default: 7"};
inline const std::vector<std::string> kAlderRepeats{"1", "2"};
inline constexpr const char* kAlderStartRepeats = "1";
inline constexpr const char* kAlderStartBaud = "9600";

// Birch.
inline constexpr BoxRule kBirchOpenChar{0, 255, "85", "Valid characters are 0 through 255",
                                        "Open Character reset to factory default: 85"};
inline constexpr BoxRule kBirchRepeats{1, 100, "2", "Valid values 1 through 100",
                                       "Number of repeats reset to standard: 2"};
inline constexpr const char* kBirchStartBaud = "1200";

// Cedar: level mode, an unbroken run of the opening character whose length follows the rate.
inline constexpr BoxRule kCedarOpenChar{0, 255, "7", "Valid characters are 0 through 255",
                                        "Open Character reset to standard: 7"};
inline constexpr const char* kCedarStartBaud = "1200";
// Any number is a repeat count; an empty box asks for one with this.
inline constexpr const char* kCedarRepeatsPrompt = "Repeat value must be greater than 0";
// The run length that belongs to a rate of the list ("10" at 1200 baud); null for another rate.
const char* cedarRepeatsFor(std::string_view baudRate);

// Maple, on a parallel port: the opening character six times per trigger.
inline constexpr BoxRule kMapleOpenChar{0, 255, "7", "Valid characters are 0 through 255",
                                        "Open Character reset to factory default: 7"};
inline constexpr int kMapleSends = 6;

}  // namespace screens
