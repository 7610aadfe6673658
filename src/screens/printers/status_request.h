// A receipt printer's status request once it has gone out, and the one rule by which the
// printer screens and the command line take its reply without waiting for it: the reply byte
// once it has come; silence once the printer has had its time to answer, counted from when it
// could first have the request, behind whatever was written before it.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "ports/port_system.h"

namespace screens {

// How long a printer has to answer once it could have the request.
inline constexpr std::chrono::milliseconds kReplyBound{50};

class StatusRequest {
public:
    // A request written at `now` on a line that is free at `lineFreeAt` by the count of its
    // bytes (ports::LineOccupancy).
    StatusRequest(std::chrono::microseconds now, std::chrono::microseconds lineFreeAt)
        : m_answerableFrom(std::max(now, lineFreeAt)) {}

    // Looks for the reply on `port` without waiting: kSuccess with `reply` read; kTimedOut once
    // the printer has had its time; the port's error code when a call failed; none while the
    // printer may still answer. `record`: the overlapped record the read passes, if any.
    std::optional<ports::ErrorCode> take(ports::PortSystem& ports, ports::Handle port,
                                         std::uint8_t& reply, std::chrono::microseconds now,
                                         ports::WriteOverlapped* record);

private:
    bool mayStillAnswer(std::uint32_t outQueue, std::chrono::microseconds now);

    std::chrono::microseconds m_answerableFrom;
    bool m_queued = false;  // seen in the port's output queue at the last look
};

// What a reply that tells nothing of the drawer stands for: "The printer answered 0xFF, which
// is not a drawer status."
std::string unjudgedReplyText(std::uint8_t reply);

}  // namespace screens
