// kick, page and status: the printer screens' definitions sent without a window. The port's kind
// picks the serial or the parallel screen of the brand, as the selector does.
#include <algorithm>
#include <chrono>
#include <csignal>
#include <thread>

#include "cli/commands.h"
#include "cli/port_session.h"
#include "protocol/bytes.h"
#include "screens/printers/printer_table.h"
#include "screens/printers/status_request.h"

namespace cli {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

const char* actionName(PrinterAction action) {
    switch (action) {
        case PrinterAction::Kick:
            return "kick";
        case PrinterAction::Page:
            return "page";
        case PrinterAction::Status:
            break;
    }
    return "status";
}

std::string code(ports::ErrorCode code) {
    return std::to_string(code) + ")";
}

// ---- the drawer state ----

struct Reading {
    enum class Kind { Open, Closed, Unknown, NoReply, Error };
    Kind kind = Kind::NoReply;
    int reply = -1;  // the byte the printer answered, -1 for none
    Failure failure;
    protocol::PrinterCondition condition;  // as far as the printer told it

    // A change worth telling: another state, another byte that tells nothing, another error.
    bool sameAs(const Reading& other) const {
        return kind == other.kind && failure.message == other.failure.message &&
               (kind != Kind::Unknown || reply == other.reply) &&
               condition.sentence() == other.condition.sentence();
    }
    int exitCode() const {
        return kind == Kind::Open ? kDone : kind == Kind::Closed ? kClosed : kNoAnswer;
    }
    const char* result() const {
        switch (kind) {
            case Kind::Open:
                return "open";
            case Kind::Closed:
                return "closed";
            case Kind::Unknown:
                return "unknown";
            case Kind::NoReply:
                return "no reply";
            case Kind::Error:
                break;
        }
        return "error";
    }
    std::string replyText() const { return "0x" + protocol::hex(static_cast<std::uint8_t>(reply)); }
    std::string sentence() const {
        const std::string why = condition.sentence();
        switch (kind) {
            case Kind::Open:
                return "Open" + (why.empty() ? "" : "; " + why);
            case Kind::Closed:
                return "Closed" + (why.empty() ? "" : "; " + why);
            case Kind::Unknown:
                return "Unknown: " + screens::unjudgedReplyText(static_cast<std::uint8_t>(reply));
            case Kind::NoReply:
                return "No reply";
            case Kind::Error:
                break;
        }
        return failure.message;
    }
    // `key`: "result" for the reading a status command asks for; the reading after a page adds
    // itself as "status" beside the page's result.
    void addTo(Report& report, const std::string& key) const {
        report.text(key, result());
        if (reply >= 0)
            report.text("reply", replyText());
        if (const std::string why = condition.sentence(); !why.empty())
            report.text("condition", why);
        if (kind == Kind::Error && key == "result") {
            report.text("message", failure.message)
                .number("code", static_cast<long long>(failure.code));
        }
    }
};

// Sends a request, input nobody asked for dropped first so that the reply read is the answer to
// it. Answers the error when a write failed.
std::optional<Reading> ask(PortSession& session, const std::vector<std::uint8_t>& request,
                           screens::StatusExchange& exchange) {
    session.ports().purgeComm(session.handle(), ports::kPurgeRxClear);
    for (std::uint8_t byte : request) {
        const ports::ErrorCode result = session.write(std::span(&byte, 1));
        if (ports::writeFailed(result))
            return Reading{Reading::Kind::Error,
                           -1,
                           {screens::kStatusRequestFailure + code(result), result},
                           {}};
    }
    exchange.sent(PortSession::now(), session.lineFreeAt());
    return std::nullopt;
}

// The brand's status request, as its screen sends it.
std::optional<Reading> askStatus(PortSession& session, const screens::PrinterModel& model,
                                 screens::StatusExchange& exchange) {
    if (model.status->flushesFirst)
        session.flush();
    return ask(session, model.commands->statusRequest, exchange);
}

// What a look for the reply found, as a reading: a reply judged by the brand's rule, a silent
// printer, a failed call; none when there is nothing new.
std::optional<Reading> readingOf(const screens::ReplyLook& found,
                                 const screens::PrinterModel& model) {
    switch (found.kind) {
        case screens::ReplyLook::Kind::Nothing:
            return std::nullopt;
        case screens::ReplyLook::Kind::Silent:
            return Reading{};
        case screens::ReplyLook::Kind::Failed:
            return Reading{Reading::Kind::Error,
                           -1,
                           {screens::kStatusReplyFailure + code(found.code), found.code},
                           {}};
        case screens::ReplyLook::Kind::Reply:
            break;
    }
    switch (model.commands->readReply(found.reply)) {
        case screens::DrawerReading::Open:
            return Reading{Reading::Kind::Open, found.reply, {}, {}};
        case screens::DrawerReading::Closed:
            return Reading{Reading::Kind::Closed, found.reply, {}, {}};
        case screens::DrawerReading::NotJudged:
            break;
    }
    return Reading{Reading::Kind::Unknown, found.reply, {}, {}};
}

screens::ReplyLook lookForReply(PortSession& session, screens::StatusExchange& exchange) {
    return exchange.take(session.ports(), session.handle(), PortSession::now(), nullptr);
}

// Why a printer whose reading says it is offline will not open the drawer: its brand's
// condition requests, each asked and waited for as the status request is. A printer that is
// online is asked nothing more, so that a poll takes no longer than the screens' own.
void askWhy(PortSession& session, const protocol::CommandSet& brand, Reading& reading) {
    if (reading.reply < 0 || brand.readCondition == nullptr ||
        (reading.kind != Reading::Kind::Open && reading.kind != Reading::Kind::Closed) ||
        !brand.readCondition(brand.statusRequest, static_cast<std::uint8_t>(reading.reply),
                             reading.condition) ||
        !reading.condition.isOffline())
        return;
    for (const std::vector<std::uint8_t>& request : brand.conditionRequests) {
        screens::StatusExchange exchange;
        if (ask(session, request, exchange))
            return;
        while (exchange.pending()) {
            const screens::ReplyLook found = lookForReply(session, exchange);
            if (found.kind == screens::ReplyLook::Kind::Reply) {
                brand.readCondition(request, found.reply, reading.condition);
            } else if (found.kind == screens::ReplyLook::Kind::Nothing) {
                std::this_thread::sleep_for(2ms);
            }
        }
    }
}

// One status request and its reply, taken by the screens' rule (screens::StatusExchange), so
// that a request queued behind a page is given the page's time on the line. With no screen to
// show a silence that a late reply then corrects, the reply is waited for as long as it may
// still come; a printer that says it is offline is asked why.
Reading readStatus(PortSession& session, const screens::PrinterModel& model) {
    screens::StatusExchange exchange;
    if (auto failed = askStatus(session, model, exchange))
        return *failed;
    Reading reading;
    while (exchange.pending()) {
        const std::optional<Reading> found = readingOf(lookForReply(session, exchange), model);
        if (found && found->kind != Reading::Kind::NoReply) {
            reading = *found;
        } else {
            std::this_thread::sleep_for(2ms);
        }
    }
    askWhy(session, *model.commands, reading);
    return reading;
}

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void onInterrupt(int) {
    g_interrupted = 1;
}

// Polls as a polling screen does (a request every kPollPeriod, the next once the last is over)
// and prints each change until interrupted; a port that fails ends it. Answers the exit code of
// the last reading.
int watchStatus(PortSession& session, const screens::PrinterModel& model, const Report& report,
                const Output& output) {
    g_interrupted = 0;
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    std::optional<Reading> last;
    screens::StatusExchange exchange;
    auto next = Clock::now();
    while (g_interrupted == 0) {
        std::optional<Reading> reading;
        if (exchange.pending()) {
            reading = readingOf(lookForReply(session, exchange), model);
            if (reading)
                askWhy(session, *model.commands, *reading);
        } else if (Clock::now() >= next) {
            reading = askStatus(session, model, exchange);
            // A late poll is followed by one poll, not by a backlog of them.
            next = std::max(next + screens::kPollPeriod, Clock::now());
        }
        if (reading && (!last || !reading->sameAs(*last))) {
            Report change = report;
            reading->addTo(change, "result");
            output.print(change, reading->sentence(), reading->kind == Reading::Kind::Error);
            last = reading;
        }
        if (reading && reading->kind == Reading::Kind::Error)
            break;
        if (!reading)
            std::this_thread::sleep_for(2ms);
    }
    return last ? last->exitCode() : kNoAnswer;
}

// ---- kick and page ----

struct Sent {
    long long bytes = 0;
    int failedWrites = 0;
    Failure lastFailure;  // a later failure replaces an earlier one, as on the screens
};

// Every write is looked at, also those the screens leave unchecked: a command line must not
// call a lost byte done. Such a write is reported with the interfaces' write error.
Sent send(PortSession& session, const std::vector<screens::SequenceWrite>& writes) {
    Sent sent;
    for (const screens::SequenceWrite& write : writes) {
        if (write.flush) {
            session.flush();
            continue;
        }
        const ports::ErrorCode result = session.write(std::span(&write.byte, 1));
        if (!ports::writeFailed(result)) {
            ++sent.bytes;
            continue;
        }
        ++sent.failedWrites;
        const screens::FailureText& text = write.failure;
        sent.lastFailure.code = result;
        sent.lastFailure.message = !text.text      ? "Error writing to port. (" + code(result)
                                   : text.withCode ? text.text + code(result)
                                                   : text.text + (" (" + code(result));
    }
    return sent;
}

}  // namespace

std::variant<PrinterRequest, std::string> checkPrinterRequest(PrinterRequest request) {
    const screens::PrinterBrand* brand = screens::printerBrandNamed(request.printer);
    if (!brand)
        return "unknown printer '" + request.printer + "': " + screens::printerNames();
    // A USB printer answers the status request as a serial one does: its serial screen asks it.
    if (request.action == PrinterAction::Status && request.port.usbPrinter)
        request.port = request.port.asSerial();
    const screens::PrinterModel& model = brand->screenFor(request.port.kind);
    if (request.alternate && (!model.triggers.alternateCaption || request.drawer != 1))
        return "--alternate is drawer 1's alternate character, on " +
               screens::printerTitles(screens::hasAlternateTrigger) + " printers only";
    if (request.action == PrinterAction::Status) {
        if (request.port.kind != PortKind::Serial)
            return "the drawer state is read on a serial port only: COM1, COM2 or a serial device";
        if (!model.status)
            return std::string("the ") + brand->commands().title +
                   " printer reports no drawer state";
    }
    return request;
}

int runPrinter(const PrinterRequest& request, const ports::DeviceMap& devices,
               const Output& output) {
    const screens::PrinterBrand& printer = *screens::printerBrandNamed(request.printer);
    const protocol::CommandSet& brand = printer.commands();
    const bool serial = request.port.kind == PortKind::Serial;
    const screens::PrinterModel& model = printer.screenFor(request.port.kind);
    PortSession session(request.port, devices, false);
    Report report;
    report.text("command", actionName(request.action))
        .text("printer", brand.name)
        .text("port", request.port.given)
        .text("device", session.devicePath());

    if (auto failure = session.open(false))
        return printFailure(output, report, *failure);
    if (serial) {
        if (auto failure = session.setUpSerial(screens::kPrinterBaudRate, false, false))
            return printFailure(output, report, *failure);
    }

    if (request.action == PrinterAction::Status) {
        if (request.watch)
            return watchStatus(session, model, report, output);
        const Reading reading = readStatus(session, model);
        reading.addTo(report, "result");
        output.print(report, reading.sentence(), reading.kind == Reading::Kind::Error);
        return reading.exitCode();
    }

    const bool kicks = request.action == PrinterAction::Kick || request.kick;
    const std::vector<std::uint8_t> command =
        kicks ? model.triggers.command(request.drawer, request.alternate)
              : std::vector<std::uint8_t>();
    std::vector<screens::SequenceWrite> writes = screens::sequenceWrites(model.sequence, command);
    if (request.action == PrinterAction::Kick)
        std::erase_if(writes,
                      [](const screens::SequenceWrite& write) { return !write.drawerCommand; });
    if (kicks)
        report.number("drawer", request.drawer).text("kick", protocol::hex(command));
    const Sent sent = send(session, writes);
    report.number("bytes", sent.bytes);
    if (sent.failedWrites > 0) {
        report.number("failed", sent.failedWrites);
        return printFailure(output, report, sent.lastFailure);
    }

    const std::string drawer = std::to_string(request.drawer);
    std::string sentence = request.action == PrinterAction::Kick
                               ? "Drawer " + drawer + " kick"
                               : "Test page (" + std::to_string(sent.bytes) + " bytes)";
    if (request.action == PrinterAction::Page && kicks)
        sentence += " and drawer " + drawer + " kick";
    sentence += std::string(" sent to the ") + brand.title + " printer on " + session.shownName();
    if (kicks)
        sentence += " (" + protocol::hex(command) + ")";
    // A screen that reads the drawer state after every page does so here too.
    if (request.action == PrinterAction::Page && model.pollsAfterTest) {
        const Reading reading = readStatus(session, model);
        reading.addTo(report, "status");
        sentence += "; drawer state: " + reading.sentence();
    }
    if (const ports::ErrorCode lost = session.finish(); lost != ports::kSuccess)
        return printFailure(output, report, {"Error writing to port. (" + code(lost), lost});
    report.text("result", "done");
    output.print(report, sentence, false);
    return kDone;
}

}  // namespace cli
