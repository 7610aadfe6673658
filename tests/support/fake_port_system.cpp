// The fake port backend of the tests.
#include "support/fake_port_system.h"

#include <algorithm>
#include <cerrno>

#include "sim/device.h"

namespace support {

using ports::CommDcb;
using ports::ErrorCode;
using ports::Handle;
using ports::kSuccess;

namespace {

// The errno value of a code the simulated ports give in the platform's own words.
ErrorCode errnoOf(ErrorCode code) {
#ifdef _WIN32
    using Sim = sim::SimulatedPortSystem;
    switch (code) {
        case Sim::kNoSuchPort:
            return ENOENT;
        case Sim::kPortInUse:
            return EBUSY;
        case Sim::kBadHandle:
            return EBADF;
        case Sim::kBadSetting:
            return EINVAL;
    }
#endif
    return code;
}

std::string lineText(const CommDcb& dcb) {
    static constexpr char kParity[] = "noems";
    static constexpr const char* kStop[] = {"1", "1.5", "2"};
    return std::to_string(dcb.baudRate) + ',' + kParity[static_cast<int>(dcb.parity)] + ',' +
           std::to_string(dcb.byteSize) + ',' + kStop[static_cast<int>(dcb.stopBits)];
}

// By kind, in its order.
constexpr const char* kCallNames[] = {
    "createFile",          "getCommState",        "buildCommDcb",    "setCommState",
    "escapeCommFunction",  "flushFileBuffers",    "purgeComm",       "clearCommError",
    "setupComm",           "getCommTimeouts",     "setCommTimeouts", "createEvent",
    "closeEvent",          "waitForSingleObject", "writeFile",       "readFile",
    "getOverlappedResult", "getCommModemStatus",  "getDeviceId",     "closeHandle"};

// A call as its function and arguments: "writeFile(1, 41 00)".
std::string textOf(const ports::PortCall& call) {
    const auto& v = call.values;
    const auto list = [&](std::size_t count) {
        std::string text = std::to_string(call.handle);
        for (std::size_t i = 0; i < count; ++i)
            text += ", " + std::to_string(v[i]);
        return text;
    };
    const auto flag = [](std::uint32_t on) { return on != 0 ? "true" : "false"; };
    std::string args;
    switch (call.kind) {
        case Call::Open:
        case Call::BuildCommDcb:
            args = call.data;
            break;
        case Call::SetCommState:
            args = list(0) + ", " + lineText(ports::unpackLine(v));
            break;
        case Call::Escape:
            args = list(0) + (v[0] == 3 ? ", SETRTS" : ", SETDTR");
            break;
        case Call::Purge:
        case Call::Wait:
            args = list(1);
            break;
        case Call::SetupComm:
            args = list(2);
            break;
        case Call::SetCommTimeouts:
            args = list(5);
            break;
        case Call::CreateEvent:
            args = std::string(flag(v[0])) + ", " + flag(v[1]) + ", " +
                   (v[2] != 0 ? "null" : '"' + call.data + '"');
            break;
        case Call::Write:
            args = list(0) + ", " + protocol::hex({call.data.begin(), call.data.end()});
            break;
        case Call::OverlappedResult:
            args = list(0) + ", " + flag(v[1]);
            break;
        default:
            args = list(0);
    }
    return std::string(kCallNames[static_cast<int>(call.kind)]) + '(' + args + ')';
}

}  // namespace

// The simulated ports with the test's scripts, devices and replies in front of them.
class FakePortSystem::Scripted final : public sim::SimulatedPortSystem {
public:
    explicit Scripted(FakePortSystem& fake) : SimulatedPortSystem(fake), m_fake(fake) {}

    Handle createFile(const std::string& device, std::uint32_t access, std::uint32_t shareMode,
                      std::uint32_t creation, std::uint32_t flags) override {
        const auto refused = m_fake.m_openFails.find(portNamed(device));
        ErrorCode code = scripted(Call::Open, ports::kInvalidHandle);
        if (code == kSuccess && refused != m_fake.m_openFails.end())
            code = fail(refused->second);
        if (code != kSuccess)
            return ports::kInvalidHandle;
        const Handle h =
            SimulatedPortSystem::createFile(device, access, shareMode, creation, flags);
        if (h == ports::kInvalidHandle)
            passOn(SimulatedPortSystem::lastError());
        return h;
    }
    ErrorCode getCommState(Handle h, CommDcb& dcb) override {
        return run(Call::GetCommState, h,
                   [&] { return SimulatedPortSystem::getCommState(h, dcb); });
    }
    ErrorCode buildCommDcb(const std::string& settings, CommDcb& dcb) override {
        return run(Call::BuildCommDcb, 0,
                   [&] { return SimulatedPortSystem::buildCommDcb(settings, dcb); });
    }
    ErrorCode setCommState(Handle h, const CommDcb& dcb) override {
        return run(Call::SetCommState, h,
                   [&] { return SimulatedPortSystem::setCommState(h, dcb); });
    }
    ErrorCode escapeCommFunction(Handle h, ports::EscapeFunction function) override {
        return run(Call::Escape, h,
                   [&] { return SimulatedPortSystem::escapeCommFunction(h, function); });
    }
    ErrorCode flushFileBuffers(Handle h) override {
        return run(Call::Flush, h, [&] { return SimulatedPortSystem::flushFileBuffers(h); });
    }
    ErrorCode purgeComm(Handle h, std::uint32_t flags) override {
        return run(Call::Purge, h, [&] {
            const ErrorCode code = SimulatedPortSystem::purgeComm(h, flags);
            if (code == kSuccess && (flags & ports::kPurgeRxClear) != 0)
                m_fake.m_replies.clear();
            return code;
        });
    }
    ErrorCode clearCommError(Handle h, std::uint32_t& errors, ports::CommStat& stat) override {
        return run(Call::ClearCommError, h, [&] {
            const ErrorCode code = SimulatedPortSystem::clearCommError(h, errors, stat);
            stat.inQueue += static_cast<std::uint32_t>(m_fake.m_replies.size());
            return code;
        });
    }
    ErrorCode setupComm(Handle h, std::uint32_t inQueue, std::uint32_t outQueue) override {
        return run(Call::SetupComm, h,
                   [&] { return SimulatedPortSystem::setupComm(h, inQueue, outQueue); });
    }
    ErrorCode getCommTimeouts(Handle h, ports::CommTimeoutsRec& timeouts) override {
        return run(Call::GetCommTimeouts, h,
                   [&] { return SimulatedPortSystem::getCommTimeouts(h, timeouts); });
    }
    ErrorCode setCommTimeouts(Handle h, const ports::CommTimeoutsRec& timeouts) override {
        return run(Call::SetCommTimeouts, h,
                   [&] { return SimulatedPortSystem::setCommTimeouts(h, timeouts); });
    }
    ports::EventHandle createEvent(bool manualReset, bool initialState, const char* name) override {
        return scripted(Call::CreateEvent, 0) != kSuccess
                   ? 0
                   : SimulatedPortSystem::createEvent(manualReset, initialState, name);
    }
    ErrorCode closeEvent(ports::EventHandle event) override {
        return run(Call::CloseEvent, 0, [&] { return SimulatedPortSystem::closeEvent(event); });
    }
    ErrorCode waitForSingleObject(ports::EventHandle event, std::uint32_t timeoutMs) override {
        return run(Call::Wait, 0,
                   [&] { return SimulatedPortSystem::waitForSingleObject(event, timeoutMs); });
    }
    ErrorCode writeFile(Handle h, std::span<const std::uint8_t> bytes, std::uint32_t& written,
                        ports::WriteOverlapped* overlapped) override {
        written = 0;
        const ErrorCode code = scripted(Call::Write, h);
        if (code != ports::kIoPending)
            return code != kSuccess
                       ? code
                       : passOn(SimulatedPortSystem::writeFile(h, bytes, written, overlapped));
        // A pending write goes out all the same and has ended by the time anyone waits for it.
        std::uint32_t sent = 0;
        SimulatedPortSystem::writeFile(h, bytes, sent, overlapped);
        return fail(ports::kIoPending);
    }
    ErrorCode readFile(Handle h, std::uint8_t& byte, std::uint32_t& read,
                       ports::WriteOverlapped* overlapped) override {
        read = 0;
        return run(Call::Read, h, [&] {
            if (m_fake.m_replies.empty() || portOf(h).empty())
                return SimulatedPortSystem::readFile(h, byte, read, overlapped);
            byte = m_fake.m_replies.front();
            m_fake.m_replies.pop_front();
            read = 1;
            return kSuccess;
        });
    }
    ErrorCode getOverlappedResult(Handle h, ports::WriteOverlapped& overlapped,
                                  std::uint32_t& transferred, bool wait) override {
        return run(Call::OverlappedResult, h, [&] {
            return SimulatedPortSystem::getOverlappedResult(h, overlapped, transferred, wait);
        });
    }
    ErrorCode getCommModemStatus(Handle h, std::uint32_t& status) override {
        return run(Call::ModemStatus, h, [&] {
            const ErrorCode code = SimulatedPortSystem::getCommModemStatus(h, status);
            if (code == kSuccess && line(portOf(h)).device() == nullptr)
                status = m_fake.m_modemStatus;
            return code;
        });
    }
    ErrorCode getDeviceId(Handle h, std::string& id) override {
        return run(Call::DeviceId, h, [&] { return SimulatedPortSystem::getDeviceId(h, id); });
    }
    ErrorCode closeHandle(Handle h) override {
        // A close that fails (scripted) leaves the device open.
        return run(Call::Close, h, [&] { return SimulatedPortSystem::closeHandle(h); });
    }

private:
    // Counts the call and answers its scripted failure, if any, or EIO on a line that hung up.
    ErrorCode scripted(Call call, Handle h) {
        const std::size_t n = m_fake.m_callCounts[call]++;
        const auto& scripts = m_fake.m_scripts[call];
        for (auto it = scripts.rbegin(); it != scripts.rend(); ++it) {
            if (n >= it->first && n < it->end)
                return fail(it->code);
        }
        const auto refused = m_fake.m_openFails.find(portOf(h));
        const bool hungUp = refused != m_fake.m_openFails.end() && refused->second == EIO;
        return hungUp && call != Call::Close ? fail(EIO) : kSuccess;
    }
    template <class Body>
    ErrorCode run(Call call, Handle h, Body body) {
        const ErrorCode code = scripted(call, h);
        return code != kSuccess ? code : passOn(body());
    }
    // A result of the simulated ports, in errno values.
    ErrorCode passOn(ErrorCode code) { return code == kSuccess ? kSuccess : fail(errnoOf(code)); }

    FakePortSystem& m_fake;
};

FakePortSystem::FakePortSystem()
    : m_ports(std::make_unique<Scripted>(*this)), m_recorder(*m_ports, *this) {}

FakePortSystem::~FakePortSystem() = default;

void FakePortSystem::setPresent(const std::string& device) {
    m_openFails.erase(m_ports->portNamed(device));
}

void FakePortSystem::setMissing(const std::string& device) {
    m_openFails[m_ports->portNamed(device)] = ENOENT;
}

void FakePortSystem::setBusy(const std::string& device) {
    m_openFails[m_ports->portNamed(device)] = EBUSY;
}

void FakePortSystem::hangUp(const std::string& device) {
    m_openFails[m_ports->portNamed(device)] = EIO;
}

void FakePortSystem::setTakesData(const std::string& device, bool takes) {
    line(device).setFarEnd(takes ? sim::Line::FarEnd::Working : sim::Line::FarEnd::TakesNothing,
                           now());
}

bool FakePortSystem::isOpen(const std::string& device) const {
    for (const Handle h : m_ports->openHandles()) {
        if (m_ports->portOf(h) == m_ports->portNamed(device))
            return true;
    }
    return false;
}

std::vector<Handle> FakePortSystem::openHandles() const {
    return m_ports->openHandles();
}

std::vector<ports::EventHandle> FakePortSystem::openEvents() const {
    return m_ports->openEvents();
}

void FakePortSystem::fail(Call call, ErrorCode code, std::size_t from, std::size_t count) {
    const std::size_t next = m_callCounts[call];
    const std::size_t first = next + from;
    const std::size_t end = count > kAll - first ? kAll : first + count;
    auto& scripts = m_scripts[call];
    std::erase_if(scripts, [next](const Script& s) { return s.end <= next; });
    scripts.push_back({first, end, code});
}

void FakePortSystem::queueReplies(const std::vector<std::uint8_t>& bytes) {
    m_replies.insert(m_replies.end(), bytes.begin(), bytes.end());
}

void FakePortSystem::attach(const std::string& device, std::shared_ptr<sim::Device> farEnd) {
    m_ports->attach(m_ports->portNamed(device), std::move(farEnd));
}

sim::Line& FakePortSystem::line(const std::string& device) {
    return m_ports->line(m_ports->portNamed(device));
}

std::vector<std::vector<std::uint8_t>> FakePortSystem::writes() const {
    std::vector<std::vector<std::uint8_t>> result;
    for (const Write& w : m_writes)
        result.push_back(w.bytes);
    return result;
}

std::vector<std::uint8_t> FakePortSystem::bytesWritten() const {
    std::vector<std::uint8_t> result;
    for (const Write& w : m_writes) {
        if (w.result == kSuccess || w.result == ports::kIoPending)
            result.insert(result.end(), w.bytes.begin(), w.bytes.end());
    }
    return result;
}

void FakePortSystem::clearCalls() {
    m_calls.clear();
    m_writes.clear();
}

void FakePortSystem::portCall(ports::PortCall&& call) {
    m_calls.push_back(textOf(call));
    if (call.kind == Call::Write)
        m_writes.push_back({{call.data.begin(), call.data.end()}, call.result});
}

void FakePortSystem::waitUntil(sim::Time t) {
    if (t <= now())
        return;
    const auto spent = std::chrono::ceil<toolkit::Millis>(t - now());
    m_clock->spend(spent);
    m_waited += spent;
}

}  // namespace support
