#include "screens/printers/status_request.h"

#include <utility>

#include "ports/wait_bounds.h"
#include "protocol/bytes.h"

namespace screens {

using std::chrono::microseconds;

std::optional<ports::ErrorCode> StatusRequest::take(ports::PortSystem& ports, ports::Handle port,
                                                    std::uint8_t& reply, microseconds now,
                                                    ports::WriteOverlapped* record) {
    std::uint32_t errors = 0;
    ports::CommStat queues;
    const ports::ErrorCode code = ports.clearCommError(port, errors, queues);
    if (code != ports::kSuccess)
        return code;
    if (queues.inQueue == 0) {
        if (mayStillAnswer(queues.outQueue, now))
            return std::nullopt;
        return ports::kTimedOut;
    }
    std::uint32_t read = 0;
    return ports.readFile(port, reply, read, record);
}

// While the port holds output (a page on a slow line, a printer that holds the line while it
// prints) the printer may not have the request yet: its time starts once the queue has emptied.
// A queue that holds it longer than a flush may wait, past the time its bytes take, is a stuck
// line, as silent as a printer that does not answer.
bool StatusRequest::mayStillAnswer(std::uint32_t outQueue, microseconds now) {
    if (outQueue > 0) {
        m_queued = true;
        return now < m_answerableFrom + ports::kCallWaitLimit;
    }
    if (std::exchange(m_queued, false)) {
        m_answerableFrom = std::max(m_answerableFrom, now);
        return true;
    }
    return now < m_answerableFrom + kReplyBound;
}

std::string unjudgedReplyText(std::uint8_t reply) {
    return "The printer answered 0x" + protocol::hex(reply) + ", which is not a drawer status.";
}

}  // namespace screens
