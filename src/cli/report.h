// What a subcommand tells of each result: its fields, printed as one JSON object on a line of
// its own with --json, or as a sentence for a person; and the exit codes a script tests.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ports/port_types.h"

namespace cli {

inline constexpr int kDone = 0;        // done; status: the drawer is open
inline constexpr int kClosed = 1;      // status: the drawer is closed
inline constexpr int kNoAnswer = 2;    // no reply, a reply that tells nothing, or a port error
inline constexpr int kBadUsage = 64;   // the command line could not be understood
inline constexpr int kNoDisplay = 69;  // the window was asked for, and there is no display

class Report {
public:
    Report& text(const std::string& key, std::string_view value);
    Report& number(const std::string& key, long long value);
    std::string json() const;

private:
    std::vector<std::pair<std::string, std::string>> m_fields;  // values written as JSON
};

struct Output {
    bool json = false;
    // One result: its JSON object on standard output, or for a person `sentence`, on standard
    // error when it tells of a failure.
    void print(const Report& report, const std::string& sentence, bool failed) const;
};

// A step that failed: the screens' message for it, and the platform's code.
struct Failure {
    std::string message;
    ports::ErrorCode code = ports::kSuccess;
};

// Prints the failure as the result of `report`; answers the exit code of a port error.
int printFailure(const Output& output, Report report, const Failure& failure);

}  // namespace cli
