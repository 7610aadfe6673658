#include "find/finding.h"

#include <cerrno>

#include "protocol/bytes.h"
#include "protocol/device_id.h"
#include "screens/printers/printer_screen.h"
#include "screens/printers/printer_table.h"

namespace find {

namespace {

using Outcome = Finding::Outcome;

// The platform's codes for a device that is not there, one another program holds and one this
// user may not open (Windows refuses a port in use as access denied, and has no other refusal).
#ifdef _WIN32
constexpr ports::ErrorCode kMissing = 2;  // ERROR_FILE_NOT_FOUND
constexpr ports::ErrorCode kHeld = 5;     // ERROR_ACCESS_DENIED
constexpr ports::ErrorCode kRefused = kHeld;
#else
constexpr ports::ErrorCode kMissing = ENOENT;
constexpr ports::ErrorCode kHeld = EBUSY;
constexpr ports::ErrorCode kRefused = EACCES;
#endif

std::string linesOn(std::uint32_t lines) {
    std::string on;
    for (const auto& [bit, name] :
         {std::pair{ports::kCtsOn, "CTS"}, std::pair{ports::kDsrOn, "DSR"},
          std::pair{ports::kRingOn, "RI"}, std::pair{ports::kCarrierOn, "CD"}}) {
        if ((lines & bit) != 0)
            on += (on.empty() ? "" : ", ") + std::string(name);
    }
    return on;
}

std::string drawerText(protocol::DrawerReading reading) {
    return reading == protocol::DrawerReading::Open ? "drawer open" : "drawer closed";
}

}  // namespace

std::string Finding::summary() const {
    const bool parallel = candidate.reach == ports::Reach::ParallelPort;
    switch (outcome) {
        case Outcome::Printer: {
            std::string text = std::string(brand->title) + "-compatible printer";
            if (!deviceId.empty())
                text += " " + protocol::parseDeviceId(deviceId).text();
            if (baud == screens::kPrinterBaudRate) {
                text += " at " + std::to_string(baud) + " baud";
            } else if (baud != 0) {
                text += " answers at " + std::to_string(baud) + " baud";
            }
            if (drawer) {
                text += ", " + drawerText(*drawer);
            } else if (parallel) {
                text += ", by its device ID";
            } else if (!brand->statusRequest.empty()) {
                text += ", no reply to its status request";
            }
            if (baud != 0 && baud != screens::kPrinterBaudRate)
                text += ": set it to " + std::to_string(screens::kPrinterBaudRate) +
                        " baud for the test screens";
            if (const std::string why = condition.sentence(); !why.empty())
                text += "; " + why;
            return text;
        }
        case Outcome::Interface:
            // A printer holds the same lines: one that answered nothing is told the same way.
            return "drawer interface powered (CTS, DSR), " +
                   drawerText((*modemLines & ports::kRingOn) != 0
                                  ? protocol::DrawerReading::Open
                                  : protocol::DrawerReading::Closed) +
                   "; or a printer that answered no request";
        case Outcome::UnknownReply:
            if (echoes)
                return "it sends back what it is sent: a loopback plug, or a device that echoes";
            return "something answered that is no drawer status (0x" + protocol::hex(*reply) +
                   (baud != 0 ? " at " + std::to_string(baud) + " baud" : "") + ")";
        case Outcome::OtherPrinter:
            return "printer " + protocol::parseDeviceId(deviceId).text() +
                   ": none of the receipt printers tested here";
        case Outcome::Nothing: {
            std::string text = parallel ? "no device ID: a printer on a parallel port is asked "
                                          "nothing else, since what it is sent prints"
                                        : "nothing answered";
            if (stopped)
                text += " within the port's time";
            if (const std::string on = linesOn(modemLines.value_or(0)); !on.empty())
                text += " (" + on + " on)";
            return text;
        }
        case Outcome::Held:
            return "held by another program";
        case Outcome::Unavailable:
            if (code == kMissing)
                return "missing";
            if (code == kRefused)
                return "not permitted: add yourself to the dialout group (lp for a printer), "
                       "then log in again";
            return "cannot be opened (" + std::to_string(code) + ")";
        case Outcome::Failed:
            if (code == ports::kTimedOut)
                return "it takes no data (" + std::to_string(code) +
                       "): a printer switched off, or one waiting for a handshake line";
            return "the port failed while it was asked (" + std::to_string(code) + ")";
        case Outcome::Cancelled:
            return "not finished: the search was cancelled";
    }
    return {};
}

Finding::Outcome outcomeOfOpen(ports::ErrorCode code) {
    return code == kHeld ? Outcome::Held : Outcome::Unavailable;
}

std::string Finding::result() const {
    static const char* const kResults[] = {"printer",       "interface", "unknown reply",
                                           "other printer", "nothing",   "held",
                                           "unavailable",   "error",     "cancelled"};
    return kResults[static_cast<int>(outcome)];
}

std::string Finding::screen() const {
    if (outcome == Outcome::Interface)
        return "Alderform";
    if (outcome != Outcome::Printer)
        return {};
    const screens::PrinterBrand* printer = screens::printerBrandNamed(brand->name);
    const bool parallel = candidate.reach == ports::Reach::ParallelPort;
    return printer->screenFor(parallel ? ports::PortKind::Parallel : ports::PortKind::Serial)
        .formName;
}

std::string Finding::screenTitle() const {
    if (outcome == Outcome::Interface)
        return "Alder test";
    if (outcome != Outcome::Printer)
        return {};
    const bool parallel = candidate.reach == ports::Reach::ParallelPort;
    return std::string(brand->title) + (parallel ? " parallel test" : " serial test");
}

}  // namespace find
