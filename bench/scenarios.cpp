// The benchmark scenarios: the screens opened as the program opens them, on either backend.
#include "scenarios.h"

#include <chrono>
#include <map>
#include <optional>
#include <thread>

#include "app/wire_log.h"
#include "ports/backends/posix_port_system.h"
#include "ports/recording/recording_port_system.h"
#include "pty_peer.h"
#include "screens/interfaces/alder_form.h"
#include "screens/screen_table.h"
#include "support/fake_port_system.h"
#include "support/recording_window_system.h"
#include "support/screen_harness.h"
#include "support/virtual_time.h"

namespace bench {

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

// COM1 on the pty; every other port on a path that does not exist, never the machine's own.
ports::DeviceMap onlyCom1(const std::string& path) {
    return ports::DeviceMap::fromEnvironment([path](const char* variable) -> const char* {
        static const std::map<std::string, std::string> kMissing{
            {"DRAWERTEST_COM2", "/nonexistent/drawertest-COM2"},
            {"DRAWERTEST_LPT1", "/nonexistent/drawertest-LPT1"},
            {"DRAWERTEST_LPT2", "/nonexistent/drawertest-LPT2"}};
        if (std::string(variable) == "DRAWERTEST_COM1")
            return path.c_str();
        return kMissing.at(variable).c_str();
    });
}

// The model with its backend: the fake, or the POSIX backend with COM1 on a pty whose far end
// answers `request` with `reply` (never, for an empty request). With `logged`, the screens'
// calls go through the wire log's recorder as the program's do, the log naming them for that
// screen.
class Rig {
public:
    Rig(Backend backend, Bytes request, std::uint8_t reply, const screens::ScreenEntry* logged) {
        m_app.setWindowSystem(&m_windows);
        if (backend == Backend::Fake) {
            m_fake = &m_ownFake.emplace();
        } else {
            m_peer.emplace(std::move(request), reply);
            if (!m_peer->ok())
                return;
            m_ports = std::make_unique<ports::PosixPortSystem>(onlyCom1(m_peer->slave()));
        }
        ports::PortSystem* seam =
            m_fake ? &static_cast<ports::PortSystem&>(*m_fake) : m_ports.get();
        if (logged) {
            m_log.emplace(m_clock);
            m_log->start(*logged);
            m_recorder.emplace(*m_ports, *m_log);
            seam = &*m_recorder;
        }
        m_context.emplace(screens::Context{*seam, m_records, m_navigator});
    }

    bool ok() const { return m_context.has_value(); }
    template <class Screen>
    Screen& open() {
        return m_app.open<Screen>(*m_context);
    }
    // A screen of the table, as the selector opens it.
    template <class Screen>
    Screen& open(const std::string& formName) {
        screens::screenNamed(formName)->open(m_app, *m_context);
        return dynamic_cast<Screen&>(*m_app.activeForm());
    }
    toolkit::Application& app() { return m_app; }
    support::FakePortSystem* fake() const { return m_fake; }
    void runFor(toolkit::Millis d) { support::runFor(m_app, m_clock, d); }
    // Waits until the far end's reply is on the line: the virtual clock runs the ticks at
    // once, and the reply must be there for the tick that takes it.
    void awaitReply() const {
        if (m_peer)
            m_peer->awaitReply();
    }

    void tidy() {
        if (!m_fake)
            return;
        m_fakeBytes += m_fake->bytesWritten().size();
        m_fake->clearCalls();
    }
    std::uint64_t bytesSent() {
        if (m_fake)
            return m_fakeBytes + m_fake->bytesWritten().size();
        // The far end reads on its own thread: wait until nothing more arrives.
        std::uint64_t seen = m_peer->received();
        for (;;) {
            std::this_thread::sleep_for(20ms);
            const std::uint64_t now = m_peer->received();
            if (now == seen)
                return now;
            seen = now;
        }
    }

private:
    // The forms go before the backend they hold ports on, the backend before its far end.
    toolkit::VirtualClock m_clock;
    std::optional<PtyPeer> m_peer;
    std::unique_ptr<ports::PortSystem> m_ports;
    std::optional<support::FakePortSystem> m_ownFake;
    support::FakePortSystem* m_fake = nullptr;
    std::uint64_t m_fakeBytes = 0;
    std::optional<app::WireLog> m_log;
    std::optional<ports::RecordingPortSystem> m_recorder;
    ports::SharedRecords m_records;
    support::RecordingNavigator m_navigator;
    std::optional<screens::Context> m_context;
    support::RecordingWindowSystem m_windows;
    toolkit::Application m_app{m_clock};
};

class RigScenario : public Scenario {
public:
    RigScenario(Backend backend, Bytes request = {}, std::uint8_t reply = 0,
                const screens::ScreenEntry* logged = nullptr)
        : m_rig(backend, std::move(request), reply, logged) {}
    bool ok() const { return m_rig.ok(); }
    void tidy() override { m_rig.tidy(); }
    std::uint64_t bytesSent() override { return m_rig.bytesSent(); }

protected:
    Rig m_rig;
};

// The Alder screen's modem-status poll. On a pty the status read fails (a pty has no modem
// lines), so the tick takes its error path. `changing`: the lines turn over at every tick, so
// every lamp and the drawer state are repainted.
class ModemTick final : public RigScenario {
public:
    ModemTick(Backend backend, bool changing, const screens::ScreenEntry* logged)
        : RigScenario(backend, {}, 0, logged), m_changing(changing) {
        if (ok())
            m_rig.open<screens::Alderform>();
    }
    void once() override {
        if (m_changing && m_rig.fake()) {
            m_word ^= 0xF0;
            m_rig.fake()->setModemStatus(m_word);
        }
        m_rig.runFor(100ms);
    }

private:
    bool m_changing;
    std::uint32_t m_word = 0;
};

struct PrinterPoll {
    Bytes request;
    std::uint8_t closed;  // a reply that reads as a closed drawer
    std::uint8_t open;    // and one that reads as open
};
const PrinterPoll kEpsonPoll{{0x10, 0x04, 0x01}, 0x16, 0x12};
const PrinterPoll kStarPoll{{0x05}, 0x80, 0x00};

// A serial printer screen with "Report  Drawer Status" checked: 100 ms hold the tick that
// takes the reply to the last status request and the tick that sends the next. The pty's far
// end always answers "closed"; on the fake, `changing` makes the drawer open and close at
// every tick.
class PrinterTick final : public RigScenario {
public:
    PrinterTick(Backend backend, const std::string& formName, const PrinterPoll& poll,
                bool changing, const screens::ScreenEntry* logged)
        : RigScenario(backend, poll.request, poll.closed, logged),
          m_poll(poll),
          m_changing(changing) {
        if (!ok())
            return;
        auto& screen = m_rig.open<screens::PrinterScreen>(formName);
        m_rig.app().click(*screen.DrawerStatus);
        m_rig.runFor(100ms);  // the first request
    }
    void once() override {
        if (m_rig.fake()) {
            m_open = m_changing && !m_open;
            m_rig.fake()->queueReplies({m_open ? m_poll.open : m_poll.closed});
        }
        m_rig.awaitReply();
        m_rig.runFor(100ms);
    }

private:
    PrinterPoll m_poll;
    bool m_changing;
    bool m_open = false;
};

// "Test / Print " with "Test Drawer" checked (drawer 1): the page, its end commands and the
// drawer command, one write per byte. The pty's far end reads everything.
class Sequence final : public RigScenario {
public:
    Sequence(Backend backend, const std::string& formName, const screens::ScreenEntry* logged)
        : RigScenario(backend, {}, 0, logged) {
        if (!ok())
            return;
        m_screen = &m_rig.open<screens::PrinterScreen>(formName);
        m_rig.app().click(m_screen->TestDrawer);
    }
    void once() override { m_rig.app().click(m_screen->Trigger); }

private:
    screens::PrinterScreen* m_screen = nullptr;
};

template <class S, class... Args>
std::unique_ptr<Scenario> make(Args&&... args) {
    auto scenario = std::make_unique<S>(std::forward<Args>(args)...);
    if (!scenario->ok())
        return nullptr;
    return scenario;
}

}  // namespace

const std::vector<std::string>& scenarioNames() {
    static const std::vector<std::string> kNames{
        "modem-tick",        "modem-tick-changing",   "epson-tick",    "epson-tick-changing",
        "star-tick",         "epson-sequence",        "star-sequence", "modem-tick-logged",
        "epson-tick-logged", "epson-sequence-logged",
    };
    return kNames;
}

// A name ending in "-logged" is the scenario without it, with the wire log recording.
std::unique_ptr<Scenario> makeScenario(const std::string& fullName, Backend backend) {
    const bool logged = fullName.ends_with("-logged");
    const std::string name = logged ? fullName.substr(0, fullName.size() - 7) : fullName;
    const auto logOf = [logged](const char* formName) {
        return logged ? screens::screenNamed(formName) : nullptr;
    };
    if (name == "modem-tick" || name == "modem-tick-changing")
        return make<ModemTick>(backend, name.ends_with("changing"), logOf("Alderform"));
    if (name == "epson-tick" || name == "epson-tick-changing") {
        return make<PrinterTick>(backend, "EPSONSerialform", kEpsonPoll, name.ends_with("changing"),
                                 logOf("EPSONSerialform"));
    }
    if (name == "star-tick") {
        return make<PrinterTick>(backend, "StarSerialform", kStarPoll, false,
                                 logOf("StarSerialform"));
    }
    if (name == "epson-sequence")
        return make<Sequence>(backend, "EPSONSerialform", logOf("EPSONSerialform"));
    if (name == "star-sequence")
        return make<Sequence>(backend, "StarSerialform", logOf("StarSerialform"));
    return nullptr;
}

}  // namespace bench
