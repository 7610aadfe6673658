// Recording the calls, naming what the bytes mean as they go by (the decoder needs every byte in
// order, so that is done once, when a call comes), and writing each event as one line.
#include "app/wire_log.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fstream>

#include "protocol/bytes.h"

namespace app {

namespace {

using ports::PortCall;
using Kind = ports::PortCall::Kind;

// 1234567 as "1,234,567".
std::string counted(std::uint64_t n) {
    std::string digits = std::to_string(n);
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), ",");
    return digits;
}

std::string now() {
    const std::time_t t = std::time(nullptr);
    char text[32] = "";
    if (const std::tm* local = std::localtime(&t))
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local);
    return text;
}

// "    12.345": seconds since the screen opened, to the millisecond.
std::string timeText(toolkit::Millis time) {
    const auto ms = time.count();
    std::string millis = std::to_string(ms % 1000);
    std::string text =
        std::to_string(ms / 1000) + "." + std::string(3 - millis.size(), '0') + millis;
    return std::string(text.size() < 9 ? 9 - text.size() : 0, ' ') + text;
}

std::string padded(std::string text, std::size_t width) {
    if (text.size() < width)
        text.append(width - text.size(), ' ');
    return text;
}

std::string hexOf(const std::string& data) {
    return protocol::hex(protocol::Bytes(data.begin(), data.end()));
}

// The bytes as text in quotes, a dot for each that shows nothing.
std::string printable(const std::string& data) {
    std::string text = "\"";
    for (char c : data) {
        const auto byte = static_cast<unsigned char>(c);
        text += byte >= 0x20 && byte < 0x7F ? c : '.';
    }
    return text + "\"";
}

std::string bytesText(std::uint32_t n) {
    return std::to_string(n) + (n == 1 ? " byte" : " bytes");
}

std::string failed(ports::ErrorCode code) {
    return "failed (" + std::to_string(code) + ")";
}

std::string lineText(const ports::CommDcb& dcb) {
    static const char kParity[] = "NOEMS";
    static const char* const kStop[] = {"1", "1.5", "2"};
    const auto parity = static_cast<std::size_t>(dcb.parity);
    const auto stop = static_cast<std::size_t>(dcb.stopBits);
    std::string text = std::to_string(dcb.baudRate) + " baud, " + std::to_string(dcb.byteSize) +
                       (parity < 5 ? kParity[parity] : '?') + (stop < 3 ? kStop[stop] : "?");
    if (dcb.outxCtsFlow)
        text += ", CTS flow";
    if (dcb.outxDsrFlow)
        text += ", DSR flow";
    if (dcb.outX)
        text += ", XON/XOFF out";
    if (dcb.inX)
        text += ", XON/XOFF in";
    return text;
}

std::string timeoutsText(const PortCall::Values& v) {
    return "interval " + std::to_string(v[0]) + " ms, read " + std::to_string(v[1]) +
           " ms a byte + " + std::to_string(v[2]) + " ms, write " + std::to_string(v[3]) +
           " ms a byte + " + std::to_string(v[4]) + " ms";
}

std::string purgeText(std::uint32_t flags) {
    switch (flags) {
        case ports::kPurgeTxClear:
            return "purge output";
        case ports::kPurgeRxClear:
            return "purge input";
        case ports::kPurgeTxClear | ports::kPurgeRxClear:
            return "purge output and input";
        default:
            return "purge 0x" + protocol::hex(static_cast<std::uint8_t>(flags));
    }
}

std::string escapeText(std::uint32_t function) {
    switch (static_cast<ports::EscapeFunction>(function)) {
        case ports::EscapeFunction::SetRts:
            return "raise RTS";
        case ports::EscapeFunction::SetDtr:
            return "raise DTR";
    }
    return "line function " + std::to_string(function);
}

std::string modemText(std::uint32_t word) {
    const auto on = [word](std::uint32_t bit) { return (word & bit) != 0 ? " on" : " off"; };
    return "modem status 0x" + protocol::hex(static_cast<std::uint8_t>(word)) + ": CTS" +
           on(ports::kCtsOn) + ", DSR" + on(ports::kDsrOn) + ", RI" + on(ports::kRingOn) + ", CD" +
           on(ports::kCarrierOn);
}

// A call that moves no bytes, and what came of it.
std::string callText(const PortCall& call) {
    const auto& v = call.values;
    const bool ok = call.result == ports::kSuccess;
    const auto outcome = [&](std::string what) {
        return ok ? what : what + ": " + failed(call.result);
    };
    switch (call.kind) {
        case Kind::Open:
            return "open " + call.data + ": " +
                   (ok ? "handle " + std::to_string(call.handle) : failed(call.result));
        case Kind::GetCommState:
            return ok ? "read line settings: " + lineText(ports::unpackLine(v))
                      : outcome("read line settings");
        case Kind::BuildCommDcb:
            return "build line settings \"" + call.data +
                   "\": " + (ok ? lineText(ports::unpackLine(v)) : failed(call.result));
        case Kind::SetCommState:
            return outcome("set line settings " + lineText(ports::unpackLine(v)));
        case Kind::Escape:
            return outcome(escapeText(v[0]));
        case Kind::Flush:
            return outcome("flush");
        case Kind::Purge:
            return outcome(purgeText(v[0]));
        case Kind::ClearCommError:
            return ok ? "queues: " + bytesText(v[1]) + " in, " + bytesText(v[2]) + " out" +
                            (v[0] != 0 ? ", line error flags " + std::to_string(v[0]) : "")
                      : outcome("queues");
        case Kind::SetupComm:
            return outcome("queue sizes " + std::to_string(v[0]) + " in, " + std::to_string(v[1]) +
                           " out");
        case Kind::GetCommTimeouts:
            return ok ? "read time-outs: " + timeoutsText(v) : outcome("read time-outs");
        case Kind::SetCommTimeouts:
            return outcome("set time-outs: " + timeoutsText(v));
        case Kind::CreateEvent:
            return (v[2] != 0 ? std::string("create unnamed event: ")
                              : "create event \"" + call.data + "\": ") +
                   (ok ? "event " + std::to_string(call.handle) : failed(call.result));
        case Kind::CloseEvent:
            return outcome("close event " + std::to_string(call.handle));
        case Kind::Wait:
            return "wait for event " + std::to_string(call.handle) + ", at most " +
                   std::to_string(v[0]) + " ms: " +
                   (ok ? "signalled"
                    : call.result == ports::kTimedOut
                        ? "timed out (" + std::to_string(call.result) + ")"
                        : failed(call.result));
        case Kind::Read:
            return call.result == ports::kTimedOut
                       ? "read: no byte has come (" + std::to_string(call.result) + ")"
                       : outcome("read: nothing");
        case Kind::OverlappedResult:
            return outcome("result of the write under way: " + bytesText(v[0]));
        case Kind::ModemStatus:
            return ok ? modemText(v[0]) : outcome("modem status");
        case Kind::DeviceId:
            return ok ? "device ID: " + call.data : outcome("device ID");
        case Kind::Close:
            return outcome("close handle " + std::to_string(call.handle));
        case Kind::Write:
            break;
    }
    return outcome("write of nothing");
}

}  // namespace

void WireLog::start(const screens::ScreenEntry& screen) {
    startSearch({});
    m_search = false;
    m_commands = screen.printer != nullptr ? screen.printer->commands : nullptr;
    m_serialInterface = screen.family == screens::PortFamily::MakerSerial;
}

void WireLog::startSearch(std::string caption) {
    ++m_recording;
    m_events.clear();
    m_dropped = 0;
    m_caption = std::move(caption);
    m_opened = now();
    m_start = m_clock.now();
    m_search = true;
    m_commands = nullptr;
    m_printer.reset();  // the port's open brings the brand's printer
    m_asked = nullptr;
    m_request.clear();
    m_serialInterface = false;
    m_pairs = 0;
}

void WireLog::portCall(PortCall&& call) {
    if (m_recording == 0)
        return;
    std::string meaning = meaningOf(call);
    if (m_events.size() == kCapacity) {
        m_events.pop_front();
        ++m_dropped;
    }
    m_events.push_back({m_clock.now() - m_start, std::move(call), std::move(meaning)});
}

std::string WireLog::meaningOf(const PortCall& call) {
    switch (call.kind) {
        case Kind::Open:
            // Another port: another device, which has heard nothing of the last one's bytes.
            if (call.result == ports::kSuccess && m_commands)
                m_printer.emplace(*m_commands);
            m_pairs = 0;
            return {};
        case Kind::Flush:
        case Kind::CreateEvent:
            // A sequence of writes begins.
            m_pairs = 0;
            return {};
        case Kind::Read:
            if (call.result == ports::kSuccess && m_asked && call.data.size() == 1)
                return protocol::describeReply(*m_asked, m_request,
                                               static_cast<std::uint8_t>(call.data[0]));
            return {};
        case Kind::Write:
            break;
        default:
            return {};
    }
    // An interface takes its opening character and 0x00 in one write.
    if (m_serialInterface && call.data.size() == 2 && call.data[1] == 0) {
        const auto c = static_cast<std::uint8_t>(call.data[0]);
        return "opening character " + std::to_string(c) + " (0x" + protocol::hex(c) + "), pair " +
               std::to_string(++m_pairs);
    }
    if (ports::writeFailed(call.result))
        return {};
    const protocol::Bytes bytes(call.data.begin(), call.data.end());
    // A search asks one brand after another, each request in a write of its own.
    if (m_search) {
        const protocol::CommandSet* brand = protocol::commandSetAsking(bytes);
        if (brand == nullptr)
            return {};
        m_asked = brand;
        m_request = bytes;
        return std::string(brand->title) + ": " + protocol::decode(*brand, bytes).front().name();
    }
    // A printer hears only the bytes that went out.
    if (!m_printer)
        return {};
    std::string names;
    for (std::uint8_t byte : bytes) {
        const auto command = m_printer->take(byte);
        if (!command || command->action == protocol::Action::Text)
            continue;
        names += (names.empty() ? "" : "; ") + command->name();
        if (command->action == protocol::Action::StatusRequest ||
            command->action == protocol::Action::HeldStatusRequest) {
            m_asked = m_commands;
            m_request = command->bytes;
        }
    }
    return names;
}

std::string WireLog::line(std::uint64_t index) const {
    const Event& event = m_events.at(index - m_dropped);
    const PortCall& call = event.call;
    std::string text = timeText(event.time) + "  ";
    const bool bytes = (call.kind == Kind::Write || call.kind == Kind::Read) && !call.data.empty();
    if (!bytes)
        return text + "call  " + callText(call);
    text += call.kind == Kind::Write ? "out   " : "in    ";
    text += padded(hexOf(call.data), 6) + " " + padded(printable(call.data), 5);
    std::string notes = event.meaning;
    if (call.kind == Kind::Write && call.result == ports::kIoPending) {
        notes += (notes.empty() ? "" : "; ") + std::string("under way (997)");
    } else if (call.result != ports::kSuccess) {
        notes += (notes.empty() ? "" : "; ") + failed(call.result) + ", not sent";
    } else if (call.kind == Kind::Write && call.values[0] != call.data.size()) {
        notes += (notes.empty() ? "" : "; ") + std::to_string(call.values[0]) + " of " +
                 std::to_string(call.data.size()) + " bytes taken";
    }
    if (!notes.empty())
        text += " " + notes;
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

std::string WireLog::heading() const {
    if (m_recording == 0)
        return "No test screen has been opened yet: the log starts with the next one.";
    std::string text = "Wire log of \"" + m_caption + "\", opened " + m_opened + "\n" +
                       counted(total()) + (total() == 1 ? " event" : " events");
    if (m_dropped > 0) {
        text += "; the oldest " + counted(m_dropped) + " dropped, the newest " +
                counted(kCapacity) + " kept";
    }
    return text + "\nSeconds since the screen opened; call, out or in; the bytes in hex and as " +
           "text; what they mean.";
}

std::string WireLog::text() const {
    std::string text = heading() + "\n\n";
    for (std::uint64_t i = m_dropped; i < total(); ++i)
        text += line(i) + "\n";
    return text;
}

std::string saveText(const std::filesystem::path& path, const std::string& text) {
    errno = 0;
    std::ofstream file(path, std::ios::out | std::ios::trunc);
    if (file)
        file << text;
    if (file)
        file.close();
    if (!file)
        return std::strerror(errno != 0 ? errno : EIO);
    return {};
}

}  // namespace app
