// A receipt printer's status requests on one port and the one rule by which the printer screens
// and the command line take their replies without waiting for them. One request is out at a
// time: a reply that comes while it is the only one out is its answer, however late, so the
// next request goes only once the reply has come or the line has been quiet for
// kLateReplyBound (whatever came later is thrown away before it). A printer that has not
// answered within kReplyBound of when it could have the request shows as silent until its reply
// comes; one that answered late before is given kLateReplyBound, so that a slow printer reads
// steadily.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "ports/port_system.h"

namespace screens {

// How often a polling screen, and the command line's --watch, ask the printer.
inline constexpr std::chrono::milliseconds kPollPeriod{100};
// How long a printer has to answer once it could have the request before it shows as silent.
inline constexpr std::chrono::milliseconds kReplyBound{50};
// How long a reply still counts as the answer to its request (a slow printer answers within
// about 400 ms): until then no other request goes out.
inline constexpr std::chrono::milliseconds kLateReplyBound{500};

// What a look for the reply found.
struct ReplyLook {
    enum class Kind {
        Nothing,  // no reply yet, or none any more once the request is over
        Reply,    // `reply` came
        Silent,   // the printer has had its time and not answered (told once per request)
        Failed,   // a port call failed with `code`
    };
    Kind kind = Kind::Nothing;
    std::uint8_t reply = 0;
    ports::ErrorCode code = ports::kSuccess;
};

class StatusExchange {
public:
    // Whether a request is out: the next may go only once it is over.
    bool pending() const { return m_request.has_value(); }
    // A request written at `now` on a line that is free at `lineFreeAt` by the count of its
    // bytes (ports::LineOccupancy).
    void sent(std::chrono::microseconds now, std::chrono::microseconds lineFreeAt);
    // Looks for the reply on `port` without waiting; the request is over once its reply came,
    // a call failed, or the late bound passed. `record`: the overlapped record the read passes.
    ReplyLook take(ports::PortSystem& ports, ports::Handle port, std::chrono::microseconds now,
                   ports::WriteOverlapped* record);
    // Forgets the request: its port has been closed.
    void drop() { m_request.reset(); }

private:
    struct Request {
        std::chrono::microseconds answerableFrom;
        bool queued = false;  // seen in the port's output queue at the last look
        bool silent = false;  // told as silent
    };

    ReplyLook look(ports::PortSystem& ports, ports::Handle port, std::chrono::microseconds now,
                   ports::WriteOverlapped* record);

    std::optional<Request> m_request;
    // The last reply came past kReplyBound: the printer is given the late bound.
    bool m_slowPrinter = false;
};

// What a reply that tells nothing of the drawer stands for: "The printer answered 0xFF, which
// is not a drawer status."
std::string unjudgedReplyText(std::uint8_t reply);

}  // namespace screens
