// A randomized soak of the whole program on the fake port backend: random user actions on
// whatever window is up (clicks, keystrokes and pastes into the boxes, list picks, focus moves,
// key presses, title-bar closes), time passing on the virtual clock (single ticks, seconds,
// minutes, and a machine that slept for hours) and port faults, with the program's invariants
// checked after every step. A program that ends is started again.
//
// Every run is reproducible from its seed. DRAWERTEST_SOAK_SEED=<seed> replays one seed,
// DRAWERTEST_SOAK_SEEDS=<n> runs seeds 1 to n, DRAWERTEST_SOAK_STEPS=<n> sets the steps per
// seed; a broken invariant prints its seed and its step, which replay it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <iostream>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "app/find_form.h"
#include "robustness/run_settings.h"
#include "screens/common/serial_interface_screen.h"
#include "screens/common/test_screen.h"
#include "screens/printers/printer_screen.h"
#include "support/program_harness.h"

namespace {

using namespace std::chrono_literals;
using support::Call;
using toolkit::Control;
using toolkit::ControlKind;
using toolkit::Form;
using toolkit::Millis;

const char* const kDevices[] = {"COM1", "COM2", "LPT1", "LPT2"};

// Texts a user might paste into a number box: numbers at and beyond the limits the screens
// check and the reader's own forms (the reader itself: its table test and fuzz target), and
// what a clipboard brings besides (\xEF\xBC\x97: a full-width 7).
const char* const kOddTexts[] = {
    "",       "-",     ".",     "&H",    "&HFF",         "&O777",
    "-0",     "127",   "128",   "255.4", "254.6",        "0.5",
    "1.5",    "-0.6",  "101",   "32768", "-32769",       "1e999",
    "-1e999", "1 2 7", "12abc", "NaN",   "\xEF\xBC\x97", "99999999999999999999999999999999999999"};

// What a keystroke types.
const char kKeys[] = "0123456789012345678901234567890123456789-+.eEdD&HhOo x#\t\n,";

// One life of the program, from its start to its end.
struct Run : support::ProgramHarness {
    Run() : ProgramHarness({app::PortDevice{"COM1", "COM1"}}) { program.start(); }
};

// What was up before a step: the screen, and the port handle it held.
struct Before {
    std::string form;
    ports::Handle handle = 0;
    bool testScreen = false;
    bool closesPortOnUnload = false;  // Birch and Cedar let their port go when destroyed
};

class Soak {
public:
    explicit Soak(std::uint64_t seed) : m_seed(seed), m_rng(seed) { restart(); }

    // Runs the steps; the first broken invariant, with how to get there again.
    std::optional<std::string> run(long long steps) {
        for (m_step = 0; m_step < steps; ++m_step) {
            const Before before = look();
            act();
            if (std::optional<std::string> broken = brokenInvariant(before))
                return report(*broken);
            if (m_step % 64 == 0)
                m_run->fake.clearCalls();
            if (m_run->app.ended()) {
                ++m_runs;
                restart();
            }
        }
        return std::nullopt;
    }

    long runs() const { return m_runs; }

private:
    // ---- randomness ----

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
    bool chance(double p) { return std::bernoulli_distribution(p)(m_rng); }
    template <class T, std::size_t N>
    const T& oneOf(const T (&items)[N]) {
        return items[below(static_cast<int>(N))];
    }
    Millis between(Millis low, Millis high) {
        return Millis(std::uniform_int_distribution<long long>(low.count(), high.count())(m_rng));
    }

    // ---- the program ----

    void restart() {
        m_run.reset();
        m_run = std::make_unique<Run>();
        // Some lives start with a port already missing or held elsewhere.
        if (chance(0.3))
            portFault();
    }

    Form& window() const { return *m_run->app.activeForm(); }

    Before look() const {
        Before before;
        Form& form = window();
        before.form = form.name();
        if (auto* screen = dynamic_cast<const screens::TestScreen*>(&form)) {
            before.testScreen = true;
            before.handle = screen->port().handle;
            before.closesPortOnUnload = before.form == "Birchform" || before.form == "Cedarform";
        }
        return before;
    }

    // ---- actions ----

    void act() {
        const int roll = below(100);
        if (roll < 32) {
            click();
        } else if (roll < 48) {
            edit();
        } else if (roll < 55) {
            pick();
        } else if (roll < 60) {
            moveFocus();
        } else if (roll < 62) {
            pressKey();
        } else if (roll < 84) {
            passTime();
        } else if (roll < 99) {
            portFault();
        } else {
            m_run->app.closeWindow(window());
        }
    }

    // The controls of the window a user can reach, now and then any control at all: the
    // toolkit must ignore actions on hidden and disabled ones.
    std::vector<Control*> reachable(bool (*fits)(const Control&)) {
        const bool any = chance(0.05);
        std::vector<Control*> found;
        for (Control* control : window().controls()) {
            if (fits(*control) && (any || control->isUsable()))
                found.push_back(control);
        }
        return found;
    }

    static bool endsProgram(const Control& control) {
        return control.name() == "Exit" || control.name() == "mQuit" || control.name() == "refuse";
    }

    void click() {
        std::vector<Control*> controls =
            reachable([](const Control& c) { return c.kind() != ControlKind::Timer; });
        // Leaving the program is a rare choice, so that each life sees a good deal; the buttons
        // that run a test come up more often than the rest.
        std::erase_if(controls, [this](Control* c) { return endsProgram(*c) && !chance(0.03); });
        for (std::size_t i = 0, n = controls.size(); i < n; ++i) {
            if (Control* c = controls[i]; c->name() == "Trigger")
                controls.insert(controls.end(), 2, c);
        }
        if (controls.empty())
            return passTime();
        Control& control = *controls[static_cast<std::size_t>(below(int(controls.size())))];
        m_run->app.click(control, focusFirst(control));
    }

    // Half the time the action comes as the Qt renderer reports it: the focus move as an event
    // of its own, then the action with the focus already there.
    toolkit::Focus focusFirst(Control& control) {
        if (!chance(0.5))
            return toolkit::Focus::MoveHere;
        m_run->app.focus(control);
        return toolkit::Focus::AlreadyMoved;
    }

    // A keystroke, a backspace, a paste or an emptied box.
    void edit() {
        std::vector<Control*> boxes =
            reachable([](const Control& c) { return c.kind() == ControlKind::TextBox; });
        if (boxes.empty())
            return click();
        auto& box = static_cast<toolkit::TextBox&>(
            *boxes[static_cast<std::size_t>(below(int(boxes.size())))]);
        std::string text = box.text();
        const int roll = below(100);
        if (roll < 45) {
            text += kKeys[below(int(sizeof kKeys) - 1)];
        } else if (roll < 65) {
            // A backspace takes the last character, however many bytes it has.
            while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80)
                text.pop_back();
            if (!text.empty())
                text.pop_back();
        } else if (roll < 90) {
            text = chance(0.5) ? std::string(oneOf(kOddTexts)) : text + oneOf(kOddTexts);
        } else if (roll < 95) {
            text = std::string(static_cast<std::size_t>(below(2000) + 1), chance(0.5) ? '9' : '0');
        } else {
            text.clear();
        }
        m_run->app.edit(box, std::move(text), focusFirst(box));
    }

    void pick() {
        std::vector<Control*> lists =
            reachable([](const Control& c) { return c.kind() == ControlKind::ComboBox; });
        if (lists.empty())
            return click();
        auto& list = static_cast<toolkit::ComboBox&>(
            *lists[static_cast<std::size_t>(below(int(lists.size())))]);
        // From one before the first entry to one past the last: those two pick nothing.
        const int index = below(int(list.items().size()) + 2) - 1;
        m_run->app.pick(list, index, focusFirst(list));
    }

    void moveFocus() {
        Control* focused = window().focused();
        if (focused != nullptr && chance(0.5)) {
            m_run->app.leave(*focused);
            return;
        }
        std::vector<Control*> controls = reachable([](const Control& c) { return c.takesFocus(); });
        if (controls.empty())
            return passTime();
        Control& control = *controls[static_cast<std::size_t>(below(int(controls.size())))];
        m_run->app.focus(control);
    }

    void pressKey() {
        static const char* const kPressed[] = {" ", "a", "7", "\r", "\x1b", ""};
        m_run->app.pressKey(window(), oneOf(kPressed));
    }

    void passTime() {
        Run& run = *m_run;
        const int roll = below(100);
        if (roll < 90) {
            const Millis d = roll < 50   ? between(1ms, 250ms)
                             : roll < 80 ? between(250ms, 6s)
                                         : between(6s, 60s);
            run.runFor(d);
        } else {
            // The machine slept: every late timer ticks once, not once per missed interval.
            const Millis d = between(1min, 3h);
            run.clock.setNow(run.clock.now() + d);
            run.app.deliverDueTimers();
        }
    }

    // Close calls are never made to fail: a close that fails leaves the fake's port or event
    // open, which the invariants would blame on the program.
    void portFault() {
        support::FakePortSystem& fake = m_run->fake;
        const std::string device = oneOf(kDevices);
        static const ports::ErrorCode kCodes[] = {EIO, EAGAIN, ETIMEDOUT, EBADF, ENXIO, 1167};
        const ports::ErrorCode code = oneOf(kCodes);
        const auto count = static_cast<std::size_t>(below(30) + 1);
        const auto from = static_cast<std::size_t>(below(4));
        switch (below(15)) {
            case 0:
            case 1:
            case 2:
            case 3:
            case 4: {
                const int turn = below(5);
                turn == 0   ? fake.setMissing(device)
                : turn == 1 ? fake.setBusy(device)
                : turn == 4 ? fake.hangUp(device)
                            : fake.setPresent(device);
                break;
            }
            case 5:
                fake.failWrites(code, from, count);
                break;
            case 6:
                fake.failWrites(ports::kIoPending, from, count);
                break;
            case 7: {
                const Call call = chance(0.5) ? Call::ModemStatus : Call::Read;
                fake.fail(call, code, 0, count);
                break;
            }
            case 8: {
                // Real answers, noise, or (with none queued) silence.
                static const std::uint8_t kReplies[] = {0x00, 0x08, 0x12, 0x16, 0x48,
                                                        0x7F, 0x80, 0xFF, 0x05, 0x1E};
                std::vector<std::uint8_t> replies;
                for (std::size_t i = 0; i < count; ++i)
                    replies.push_back(chance(0.7) ? oneOf(kReplies)
                                                  : static_cast<std::uint8_t>(below(256)));
                fake.queueReplies(replies);
                break;
            }
            case 9:
            case 10: {
                static const Call kSetUp[] = {
                    Call::Open,         Call::GetCommState,    Call::SetCommState,
                    Call::Escape,       Call::Flush,           Call::Purge,
                    Call::SetupComm,    Call::GetCommTimeouts, Call::SetCommTimeouts,
                    Call::BuildCommDcb, Call::CreateEvent};
                fake.fail(oneOf(kSetUp), code, from, static_cast<std::size_t>(below(3) + 1));
                break;
            }
            case 11:
                fake.fail(chance(0.5) ? Call::Wait : Call::OverlappedResult,
                          chance(0.5) ? ETIMEDOUT : code, 0, count);
                break;
            default: {
                const std::uint32_t word = chance(0.8) ? static_cast<std::uint32_t>(below(256))
                                                       : static_cast<std::uint32_t>(m_rng());
                fake.setModemStatus(word);
                break;
            }
        }
    }

    // ---- invariants ----

    std::optional<std::string> brokenInvariant(const Before& before) {
        Run& run = *m_run;
        // Every write sequence and every status tick closes the event it made.
        if (!run.fake.openEvents().empty())
            return std::to_string(run.fake.openEvents().size()) + " event(s) left open";

        const std::vector<ports::Handle> open = run.fake.openHandles();
        if (run.app.ended()) {
            // Only a screen closed by its title bar may leave its handle to the operating
            // system, and only the screens that do not let it go on being destroyed.
            std::vector<ports::Handle> allowed;
            if (before.testScreen && !before.closesPortOnUnload && before.handle >= 1)
                allowed.push_back(before.handle);
            if (open != allowed)
                return "program ended from " + before.form + " with " + handlesText(open) +
                       " open; expected " + handlesText(allowed);
            return std::nullopt;
        }

        const std::vector<Form*> forms = run.app.forms();
        if (forms.size() != 1)
            return std::to_string(forms.size()) + " windows open";
        Form& form = *forms.front();

        // A screen holds the one port it opened last, or none when that open failed; Find holds
        // the one it is asking while it searches; no other window holds any.
        std::vector<ports::Handle> expected;
        if (auto* screen = dynamic_cast<const screens::TestScreen*>(&form)) {
            if (screen->port().handle >= 1)
                expected.push_back(screen->port().handle);
        }
        if (auto* find = dynamic_cast<const app::FindForm*>(&form);
            find != nullptr && find->searching() && open.size() == 1)
            expected = open;
        if (open != expected)
            return form.name() + " is up with " + handlesText(open) + " open; expected " +
                   handlesText(expected);
        return brokenPolling(form);
    }

    // The maker's serial screens poll the lines all their life; a printer screen polls exactly
    // while its "Report  Drawer Status" box is checked.
    static std::optional<std::string> brokenPolling(const Form& form) {
        if (auto* maker = dynamic_cast<const screens::SerialInterfaceScreen*>(&form)) {
            if (!maker->Status_timer.enabled())
                return form.name() + " stopped polling";
        }
        if (auto* printer = dynamic_cast<const screens::PrinterScreen*>(&form)) {
            if (printer->DrawerStatus &&
                printer->Status_Timer->enabled() != printer->DrawerStatus->value())
                return form.name() +
                       (printer->DrawerStatus->value() ? " does not poll" : " polls") +
                       " while DrawerStatus is " +
                       (printer->DrawerStatus->value() ? "checked" : "unchecked");
        }
        return std::nullopt;
    }

    static std::string handlesText(const std::vector<ports::Handle>& handles) {
        if (handles.empty())
            return "no handle";
        std::string text = "handle";
        for (ports::Handle h : handles)
            text += " " + std::to_string(h);
        return text;
    }

    std::string report(const std::string& broken) const {
        return "seed " + std::to_string(m_seed) + ", step " + std::to_string(m_step) + ": " +
               broken + "\nreplay: DRAWERTEST_SOAK_SEED=" + std::to_string(m_seed) +
               " DRAWERTEST_SOAK_STEPS=" + std::to_string(m_step + 1);
    }

    std::uint64_t m_seed;
    std::mt19937_64 m_rng;
    std::unique_ptr<Run> m_run;
    long long m_step = 0;
    long m_runs = 0;
};

TEST(Soak, RandomActionsTimeAndPortFaultsKeepEveryInvariant) {
    const long long replay = robustness::runSetting("DRAWERTEST_SOAK_SEED", 0);
    const long long seeds = replay > 0 ? 1 : robustness::runSetting("DRAWERTEST_SOAK_SEEDS", 8);
    const long long steps = robustness::runSetting("DRAWERTEST_SOAK_STEPS", 2500);

    long runs = 0;
    for (long long i = 0; i < seeds; ++i) {
        const auto seed = static_cast<std::uint64_t>(replay > 0 ? replay : i + 1);
        Soak soak(seed);
        if (std::optional<std::string> broken = soak.run(steps))
            ADD_FAILURE() << *broken;
        runs += soak.runs() + 1;
    }
    std::cout << seeds << " seed(s) x " << steps << " steps, " << runs << " program lives"
              << std::endl;
}

}  // namespace
