// The texts the program's feedback lines may show: every result, warning and note of every
// screen, with the device names and error codes they carry. A text outside this list on a
// feedback line is a fault.
#pragma once

#include <string>

namespace robustness {

enum class FeedbackLine {
    Results,  // Feedback1
    Notes,    // Feedback2
};

bool isProgramText(FeedbackLine line, const std::string& text);

}  // namespace robustness
