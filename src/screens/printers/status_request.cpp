#include "screens/printers/status_request.h"

#include <algorithm>
#include <utility>

#include "ports/wait_bounds.h"
#include "protocol/bytes.h"

namespace screens {

using std::chrono::microseconds;

void StatusExchange::sent(microseconds now, microseconds lineFreeAt) {
    m_request = Request{std::max(now, lineFreeAt)};
}

ReplyLook StatusExchange::take(ports::PortSystem& ports, ports::Handle port, microseconds now,
                               ports::WriteOverlapped* record) {
    if (!m_request)
        return {};
    const ReplyLook found = look(ports, port, now, record);
    if (found.kind == ReplyLook::Kind::Reply)
        m_slowPrinter = now >= m_request->answerableFrom + kReplyBound;
    if (found.kind != ReplyLook::Kind::Nothing && found.kind != ReplyLook::Kind::Silent)
        m_request.reset();
    return found;
}

// While the port holds output (a page on a slow line, a printer that holds the line while it
// prints) the printer may not have the request yet: its time starts once the queue has emptied.
// A queue that holds it longer than a flush may wait, past the time its bytes take, is a stuck
// line, as silent as a printer that does not answer.
ReplyLook StatusExchange::look(ports::PortSystem& ports, ports::Handle port, microseconds now,
                               ports::WriteOverlapped* record) {
    Request& request = *m_request;
    std::uint32_t errors = 0;
    ports::CommStat queues;
    if (const ports::ErrorCode code = ports.clearCommError(port, errors, queues);
        code != ports::kSuccess)
        return {ReplyLook::Kind::Failed, 0, code};
    if (queues.inQueue > 0) {
        ReplyLook found{ReplyLook::Kind::Reply};
        std::uint32_t read = 0;
        found.code = ports.readFile(port, found.reply, read, record);
        if (found.code != ports::kSuccess)
            found.kind = ReplyLook::Kind::Failed;
        return found;
    }
    bool over = false;
    if (queues.outQueue > 0) {
        request.queued = true;
        over = now >= request.answerableFrom + ports::kCallWaitLimit;
    } else if (std::exchange(request.queued, false)) {
        request.answerableFrom = std::max(request.answerableFrom, now);
    } else {
        over = now >= request.answerableFrom + kLateReplyBound;
    }
    const bool silent =
        over || (queues.outQueue == 0 &&
                 now >= request.answerableFrom + (m_slowPrinter ? kLateReplyBound : kReplyBound));
    ReplyLook found;
    if (silent && !std::exchange(request.silent, true))
        found = {ReplyLook::Kind::Silent, 0, ports::kTimedOut};
    if (over) {
        m_request.reset();
        m_slowPrinter = false;
    }
    return found;
}

std::string unjudgedReplyText(std::uint8_t reply) {
    return "The printer answered 0x" + protocol::hex(reply) + ", which is not a drawer status.";
}

}  // namespace screens
