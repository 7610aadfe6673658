// The search for drawers and printers: each candidate device asked, one after another, through
// the port seam (so the wire log records every step and the demo's simulated ports answer),
// without a page and without a kick. A serial line has its modem lines read, then each brand's
// status request goes out at 9600 baud 8N1, the printer screens' rate, and, while nothing a
// brand's rule reads has answered, at the faster rates; a USB or parallel printer is asked for
// its device ID (and a USB printer then for its status); a network printer for its status. A
// printer that answers is asked why it is offline where its brand tells it. Each line's settings
// are put back before it is closed. The search runs in steps that never wait: the window runs
// one on each tick of a timer and stays live, the command line sleeps between them; each device
// is reported as soon as it is done, and within kPortBound of its open. A printer that is slow to
// answer (screens::kLateReplyBound) is waited for once, after the last request at 9600 baud, and
// a late reply is claimed by the brand asked before whose rule reads it.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "find/finding.h"
#include "ports/line_occupancy.h"
#include "ports/port_system.h"
#include "screens/printers/status_request.h"

namespace find {

class Search {
public:
    using Time = std::chrono::microseconds;
    using Report = std::function<void(const Finding&)>;

    // The rates a serial line is asked at, the printer screens' first.
    static constexpr std::array<std::uint32_t, 5> kRates{9600, 19200, 38400, 57600, 115200};
    // The rates a printer's switches offer: a device may listen at any of them.
    static constexpr std::array<std::uint32_t, 8> kPrinterRates{1200,  2400,  4800,  9600,
                                                                19200, 38400, 57600, 115200};
    // The most a device takes from its open to its report.
    static constexpr std::chrono::milliseconds kPortBound{2000};
    // How often a reply on its way is looked for.
    static constexpr std::chrono::milliseconds kLookEvery{10};
    // How long the rest of an echo is let come before the next request.
    static constexpr std::chrono::milliseconds kEchoBound{200};

    Search(ports::PortSystem& ports, std::vector<Candidate> candidates, Report report);

    // Whether `request` sent at `rate` reaches a device set to any other of kPrinterRates as no
    // byte that a brand takes for a drawer kick. (ENQ sent at 19200 baud arrives at 57600 as FS,
    // which opens drawer 1 of a Star or Citizen printer: Star's and Ithaca's requests are not
    // sent at 19200 and 38400.)
    static bool safeAt(const std::vector<std::uint8_t>& request, std::uint32_t rate);

    // Does what is due at `now`, up to the next wait or the end of a device; answers when to
    // come back, or none once every candidate has been reported (or the search cancelled).
    std::optional<Time> step(Time now);
    // The device being asked is put back, closed and reported at the next step; the search
    // ends there.
    void cancel() { m_cancelled = true; }

    std::size_t reported() const { return m_index; }
    std::size_t total() const { return m_candidates.size(); }
    // What is being asked now: "COM2 /dev/ttyS1: Star at 19200 baud".
    std::string progress() const;

private:
    enum class Phase { Open, Lines, Rate, DeviceId, Ask, Await, Linger, Close, Done };

    const Candidate& candidate() const { return m_candidates[m_index]; }
    bool serialLine() const { return candidate().reach == ports::Reach::SerialLine; }
    std::uint32_t rate() const { return serialLine() ? kRates[m_rate] : 0; }
    // The last status request at 9600 baud: a slow printer's reply to any request there may
    // still come until m_lingerUntil.
    bool lastAt9600() const;

    Phase open(Time now);
    Phase readLines();
    Phase setRate();
    Phase readDeviceId();
    Phase ask(Time now);
    // Reads what came of the echo the last request drew; answers whether it may still come.
    bool echoStillComing(Time now);
    Phase await(Time now);
    // After the last request at 9600 baud: a slow printer's late reply is still looked for.
    Phase linger(Time now);
    Phase close();
    // The port failed the device's search: its finding says so, with the code.
    Phase failed(ports::ErrorCode code);
    // The port's queues; false, the search failed, when the port cannot tell them.
    bool readQueues(ports::CommStat& queues);
    // Every brand that answers a status request, in turn; on a line, those whose request is
    // safe at its rate (safeAt).
    void askEveryBrand();
    Phase judge(std::uint8_t reply);
    // A late reply that a brand asked before at this rate reads is that brand's.
    const protocol::CommandSet* lateBrand(std::uint8_t reply) const;
    // The next question: a condition of the printer found, another brand, another rate.
    Phase next();

    ports::PortSystem& m_ports;
    std::vector<Candidate> m_candidates;
    Report m_report;
    std::size_t m_index = 0;
    Phase m_phase = Phase::Open;
    bool m_cancelled = false;

    // The device being asked.
    Finding m_finding;
    ports::Handle m_handle = ports::kInvalidHandle;
    Time m_deadline{0};
    ports::CommDcb m_foundLine;  // as it was found, to be put back
    bool m_lineRead = false;
    ports::CommDcb m_dcb;
    std::size_t m_rate = 0;
    std::vector<const protocol::CommandSet*> m_brands;  // to ask at this rate
    std::size_t m_brand = 0;
    std::vector<std::uint8_t> m_unread;  // replies no brand's rule read at this rate
    // The brands asked at this rate whose printers have not answered in their time.
    std::vector<const protocol::CommandSet*> m_silent;
    // Once a printer is found: the requests still to ask it why it may be offline.
    bool m_askingConditions = false;
    std::deque<std::vector<std::uint8_t>> m_conditions;
    std::vector<std::uint8_t> m_asking;  // the request on its way
    // The bytes of the last request a line that echoed its first byte has still to send back,
    // and until when they are waited for.
    std::vector<std::uint8_t> m_echoRest;
    Time m_echoUntil{0};
    // The request out and its reply, by the screens' rule; kept for the device, so that a
    // printer that answered late is given the late bound from then on.
    screens::StatusExchange m_exchange;
    Time m_lingerUntil{0};
    ports::LineOccupancy m_line{kRates[0]};
};

}  // namespace find
