#include "find/search.h"

#include <algorithm>
#include <utility>

#include "ports/rate_mismatch.h"
#include "protocol/device_id.h"
#include "screens/common/port_steps.h"

namespace find {

namespace {

using Outcome = Finding::Outcome;

// A brand whose rule reads every byte as a drawer state would claim any device that answers
// anything: it is asked last.
bool readsEveryByte(const protocol::CommandSet& brand) {
    for (int byte = 0; byte < 256; ++byte) {
        if (brand.readReply(static_cast<std::uint8_t>(byte)) == protocol::DrawerReading::NotJudged)
            return false;
    }
    return true;
}

// A byte that a brand takes for a drawer kick by itself.
bool kicksAlone(std::uint8_t byte) {
    for (const protocol::CommandSet* brand : protocol::commandSets()) {
        const auto command = protocol::Decoder(*brand).take(byte);
        if (command && command->action == protocol::Action::Kick)
            return true;
    }
    return false;
}

}  // namespace

bool Search::safeAt(const std::vector<std::uint8_t>& request, std::uint32_t rate) {
    if (rate == 0)
        return true;  // no line, nothing garbled
    for (std::uint32_t listening : kPrinterRates) {
        for (std::uint8_t byte : request) {
            for (const ports::Received& read : ports::receivedAt(byte, rate, listening)) {
                if (listening != rate && !read.framingError && kicksAlone(read.byte))
                    return false;
            }
        }
    }
    return true;
}

Search::Search(ports::PortSystem& ports, std::vector<Candidate> candidates, Report report)
    : m_ports(ports), m_candidates(std::move(candidates)), m_report(std::move(report)) {}

std::optional<Search::Time> Search::step(Time now) {
    for (;;) {
        const Phase phase = m_phase;
        if (phase == Phase::Done || (phase == Phase::Open && m_index == m_candidates.size()))
            return std::nullopt;
        // A device whose time is up, or a cancelled search, goes straight to its end.
        const bool over = m_cancelled || now >= m_deadline;
        if (over && phase != Phase::Open && phase != Phase::Close) {
            m_finding.stopped = !m_cancelled;
            m_phase = Phase::Close;
            continue;
        }
        switch (phase) {
            case Phase::Open:
                m_phase = open(now);
                break;
            case Phase::Lines:
                m_phase = readLines();
                break;
            case Phase::Rate:
                m_phase = setRate();
                break;
            case Phase::DeviceId:
                m_phase = readDeviceId();
                break;
            case Phase::Ask:
                m_phase = ask(now);
                break;
            case Phase::Await:
                m_phase = await(now);
                break;
            case Phase::Linger:
                m_phase = linger(now);
                break;
            case Phase::Close:
                m_phase = close();
                if (m_phase == Phase::Done || m_index == m_candidates.size())
                    return std::nullopt;
                // Each device's report is a step of its own, for the window to show it.
                return now;
            case Phase::Done:
                break;
        }
        // Asking, awaiting and lingering stay where they are while bytes are on their way.
        const bool waits = phase == Phase::Ask || phase == Phase::Await || phase == Phase::Linger;
        if (waits && m_phase == phase)
            return now + kLookEvery;
    }
}

std::string Search::progress() const {
    if (m_phase == Phase::Done || m_index == m_candidates.size())
        return {};
    std::string text = candidate().where();
    if (m_phase == Phase::DeviceId)
        return text + ": its device ID";
    if (m_phase == Phase::Linger)
        return text + ": a slow printer's reply at 9600 baud";
    if (m_askingConditions)
        return text + ": why the printer may be offline";
    if (m_brand < m_brands.size())
        text += std::string(": ") + m_brands[m_brand]->title;
    if (rate() != 0)
        text += " at " + std::to_string(rate()) + " baud";
    return text;
}

Search::Phase Search::open(Time now) {
    if (m_cancelled)
        return Phase::Done;
    m_finding = Finding{};
    m_finding.candidate = candidate();
    m_deadline = now + kPortBound;
    m_lineRead = false;
    m_rate = 0;
    m_brands.clear();
    m_askingConditions = false;
    m_conditions.clear();
    m_exchange = {};
    m_echoRest.clear();
    m_handle = screens::openPort(m_ports, candidate().device, false);
    if (m_handle < 1) {
        m_finding.code = m_ports.lastError();
        m_finding.outcome = outcomeOfOpen(m_finding.code);
        m_report(m_finding);
        ++m_index;
        return Phase::Open;
    }
    switch (candidate().reach) {
        case ports::Reach::SerialLine:
            return Phase::Lines;
        case ports::Reach::UsbPrinter:
        case ports::Reach::ParallelPort:
            return Phase::DeviceId;
        case ports::Reach::Network:
            break;
    }
    askEveryBrand();
    return Phase::Ask;
}

// The line as it was found, to be put back, and the lines a drawer interface holds.
Search::Phase Search::readLines() {
    m_lineRead = m_ports.getCommState(m_handle, m_foundLine) == ports::kSuccess;
    std::uint32_t lines = 0;
    if (m_ports.getCommModemStatus(m_handle, lines) == ports::kSuccess)
        m_finding.modemLines = lines;
    return Phase::Rate;
}

// 8N1 at the rate, RTS raised, as the printer screens set a line up; a rate the line does not
// take, or at which no request is safe, is passed over.
Search::Phase Search::setRate() {
    askEveryBrand();
    const bool usable =
        !m_brands.empty() && screens::setUpSerialLine(m_ports, m_handle, m_dcb, candidate().device,
                                                      static_cast<int>(rate()), false)
                                     .failed == screens::LineSetup::Failed::Nothing;
    if (!usable)
        return ++m_rate < kRates.size() ? Phase::Rate : Phase::Close;
    m_line.setBaud(rate());
    return Phase::Ask;
}

// A printer that names itself is asked in its brand's words alone; an office printer is not
// asked at all (a request could print), nor is anything on a parallel port.
Search::Phase Search::readDeviceId() {
    std::string id;
    const bool named = m_ports.getDeviceId(m_handle, id) == ports::kSuccess;
    const protocol::DeviceId fields = protocol::parseDeviceId(id);
    if (named && !fields.empty()) {
        m_finding.deviceId = id;
        m_finding.brand = protocol::brandOf(fields);
        m_finding.outcome = m_finding.brand ? Outcome::Printer : Outcome::OtherPrinter;
    }
    if (candidate().reach == ports::Reach::ParallelPort)
        return Phase::Close;
    m_brand = 0;
    if (!m_finding.deviceId.empty()) {
        if (m_finding.brand && !m_finding.brand->statusRequest.empty())
            m_brands.push_back(m_finding.brand);
    } else {
        askEveryBrand();
    }
    return m_brands.empty() ? Phase::Close : Phase::Ask;
}

void Search::askEveryBrand() {
    m_brands.clear();
    m_brand = 0;
    m_unread.clear();
    m_silent.clear();
    for (const protocol::CommandSet* brand : protocol::commandSets()) {
        if (!brand->statusRequest.empty() && safeAt(brand->statusRequest, rate()))
            m_brands.push_back(brand);
    }
    std::stable_partition(m_brands.begin(), m_brands.end(),
                          [](const protocol::CommandSet* b) { return !readsEveryByte(*b); });
}

// One request in one write, after whatever came unasked is thrown away. A line that echoed the
// last request's first byte is first let send back the rest of it, however late, so that no byte
// of that echo is taken for this request's reply.
Search::Phase Search::ask(Time now) {
    if (echoStillComing(now))
        return Phase::Ask;
    if (m_finding.outcome == Outcome::Failed)
        return Phase::Close;
    if (m_askingConditions) {
        m_asking = m_conditions.front();
        m_conditions.pop_front();
    } else {
        m_asking = m_brands[m_brand]->statusRequest;
    }
    m_ports.purgeComm(m_handle, ports::kPurgeRxClear);
    std::uint32_t written = 0;
    const ports::ErrorCode code = m_ports.writeFile(m_handle, m_asking, written, nullptr);
    if (ports::writeFailed(code))
        return failed(code);
    m_line.wrote(written, now);
    m_exchange.sent(now, m_line.freeAt());
    if (lastAt9600())
        m_lingerUntil = std::max(now, m_line.freeAt()) + screens::kLateReplyBound;
    return Phase::Await;
}

bool Search::echoStillComing(Time now) {
    if (m_echoRest.empty())
        return false;
    if (m_echoUntil == Time{0})
        m_echoUntil = now + kEchoBound;
    ports::CommStat queues;
    if (!readQueues(queues))
        m_echoRest.clear();
    for (std::uint32_t i = 0; i < queues.inQueue && !m_echoRest.empty(); ++i) {
        std::uint8_t byte = 0;
        std::uint32_t read = 0;
        if (m_ports.readFile(m_handle, byte, read, nullptr) != ports::kSuccess || read != 1)
            break;
        // Anything else is no echo: the next request's purge throws it away.
        if (byte == m_echoRest.front()) {
            m_echoRest.erase(m_echoRest.begin());
        } else {
            m_echoRest.clear();
        }
    }
    if (!m_echoRest.empty() && now < m_echoUntil)
        return true;
    m_echoRest.clear();
    m_echoUntil = Time{0};
    return false;
}

Search::Phase Search::failed(ports::ErrorCode code) {
    m_finding.outcome = Outcome::Failed;
    m_finding.code = code;
    return Phase::Close;
}

bool Search::readQueues(ports::CommStat& queues) {
    std::uint32_t errors = 0;
    const ports::ErrorCode code = m_ports.clearCommError(m_handle, errors, queues);
    if (code != ports::kSuccess)
        failed(code);
    return code == ports::kSuccess;
}

bool Search::lastAt9600() const {
    return !m_askingConditions && m_brand + 1 == m_brands.size() && rate() == kRates[0];
}

// A printer that has not answered in its time is passed over; its reply, should it come late,
// may still be claimed while this rate is asked (lateBrand).
Search::Phase Search::await(Time now) {
    const screens::ReplyLook found = m_exchange.take(m_ports, m_handle, now, nullptr);
    switch (found.kind) {
        case screens::ReplyLook::Kind::Nothing:
            return m_exchange.pending() ? Phase::Await : next();
        case screens::ReplyLook::Kind::Reply:
            return judge(found.reply);
        case screens::ReplyLook::Kind::Failed:
            return failed(found.code);
        case screens::ReplyLook::Kind::Silent:
            break;
    }
    // The printer found is waited for as long as its reply may come.
    if (m_askingConditions)
        return Phase::Await;
    m_silent.push_back(m_brands[m_brand]);
    m_exchange.drop();
    return lastAt9600() ? Phase::Linger : next();
}

// Every byte that comes until the late bound of the last request is a reply to one of them.
Search::Phase Search::linger(Time now) {
    ports::CommStat queues;
    if (!readQueues(queues))
        return Phase::Close;
    if (queues.inQueue > 0) {
        std::uint8_t reply = 0;
        std::uint32_t read = 0;
        if (m_ports.readFile(m_handle, reply, read, nullptr) == ports::kSuccess && read == 1) {
            const Phase then = judge(reply);
            if (then != Phase::Linger)
                return then;
        }
    }
    return now < m_lingerUntil ? Phase::Linger : next();
}

const protocol::CommandSet* Search::lateBrand(std::uint8_t reply) const {
    for (const protocol::CommandSet* brand : m_silent) {
        if (brand != m_brands[m_brand] && !readsEveryByte(*brand) &&
            brand->readReply(reply) != protocol::DrawerReading::NotJudged &&
            (!brand->fitsStatusReply || brand->fitsStatusReply(reply)))
            return brand;
    }
    return nullptr;
}

Search::Phase Search::judge(std::uint8_t reply) {
    if (m_askingConditions) {
        const protocol::CommandSet& brand = *m_finding.brand;
        if (brand.readCondition)
            brand.readCondition(m_asking, reply, m_finding.condition);
        return next();
    }
    const protocol::CommandSet* late = lateBrand(reply);
    const protocol::CommandSet& brand = late ? *late : *m_brands[m_brand];
    if (late)
        m_asking = late->statusRequest;
    protocol::DrawerReading reading = brand.readReply(reply);
    if (brand.fitsStatusReply && !brand.fitsStatusReply(reply))
        reading = protocol::DrawerReading::NotJudged;
    // A rule that reads every byte does not claim a device that gave the same byte to a
    // request without its own in it: that is an echo or a babble. (A Star printer answers the
    // EOT inside Epson's request with its EOT status, bit 4 set, and ENQ with bit 4 clear; it
    // answers the ENQ inside Ithaca's as it answers its own.)
    if (readsEveryByte(brand) && std::ranges::find(m_unread, reply) != m_unread.end())
        reading = protocol::DrawerReading::NotJudged;
    // No printer answers a request with its own first byte: a line that echoes does.
    const bool echo = reply == m_asking.front();
    if (echo) {
        reading = protocol::DrawerReading::NotJudged;
        m_echoRest.assign(m_asking.begin() + 1, m_asking.end());
    }
    if (reading == protocol::DrawerReading::NotJudged) {
        m_finding.echoes = echo && (m_finding.echoes || !m_finding.reply);
        const bool holdsACatchAll =
            std::ranges::any_of(protocol::commandSets(), [this](const protocol::CommandSet* b) {
                return readsEveryByte(*b) && !b->statusRequest.empty() &&
                       !std::ranges::search(m_asking, b->statusRequest).empty();
            });
        if (!holdsACatchAll)
            m_unread.push_back(reply);
        if (!m_finding.reply) {
            m_finding.reply = reply;
            m_finding.baud = rate();
        }
        return lastAt9600() ? Phase::Linger : next();
    }
    m_finding.outcome = Outcome::Printer;
    m_finding.brand = &brand;
    m_finding.baud = rate();
    m_finding.drawer = reading;
    if (brand.readCondition)
        brand.readCondition(m_asking, reply, m_finding.condition);
    m_askingConditions = true;
    m_conditions.assign(brand.conditionRequests.begin(), brand.conditionRequests.end());
    return next();
}

Search::Phase Search::next() {
    if (m_askingConditions)
        return m_conditions.empty() ? Phase::Close : Phase::Ask;
    if (++m_brand < m_brands.size())
        return Phase::Ask;
    if (serialLine() && ++m_rate < kRates.size())
        return Phase::Rate;
    return Phase::Close;
}

// The line is put back as it was found; what nothing claimed is told by what came and the
// lines held.
Search::Phase Search::close() {
    if (m_lineRead)
        m_ports.setCommState(m_handle, m_foundLine);
    m_ports.closeHandle(m_handle);
    m_handle = ports::kInvalidHandle;
    Finding& f = m_finding;
    if (f.outcome == Outcome::Nothing) {
        const std::uint32_t lines = f.modemLines.value_or(0);
        if (f.reply) {
            f.outcome = Outcome::UnknownReply;
        } else if ((lines & ports::kCtsOn) != 0 && (lines & ports::kDsrOn) != 0 && !f.stopped &&
                   !m_cancelled) {
            f.outcome = Outcome::Interface;
        } else if (m_cancelled) {
            f.outcome = Outcome::Cancelled;
        }
    }
    m_report(f);
    ++m_index;
    return m_cancelled ? Phase::Done : Phase::Open;
}

}  // namespace find
