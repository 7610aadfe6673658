// The program as src/gui/main.cpp builds it (the Qt application, the Qt window system, the
// model, the POSIX port backend with the ports from the environment), walked by a script the
// way a person would go: splash, disclaimer, selector, a serial printer screen, and there
// "Report  Drawer Status" checked. It reports its heap while the screen polls and, with
// --probe-ms, how late a timer of its own event loop fires: the longest stretch in which the
// window would not have answered. For the memory and responsiveness figures of bench/run; the
// program's own main knows nothing of it.
#include <malloc.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/dunmere_splash.h"
#include "app/notice.h"
#include "app/program.h"
#include "app/test_form.h"
#include "gui/logo_icon.h"
#include "gui/qt_window_system.h"
#include "ports/backends/platform_port_system.h"
#include "ports/naming/device_map.h"
#include "screens/printers/printer_screen.h"
#include "toolkit/application.h"

namespace {

// Time between two steps of the walk: each window is shown and painted before the next step.
constexpr int kStepMs = 400;

struct Options {
    std::string stopAt = "polling";  // notice, screen (not polling), or polling
    std::string screen = "epson";    // epson, star or ithaca
    double seconds = 10;             // how long to stay once there
    double sampleEvery = 0;          // heap lines this often (0: at the end only)
    int probeMs = 0;                 // the event-loop probe's interval (0: no probe)
};

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        const char* value = argv[i + 1];
        if (arg == "--stop-at") {
            options.stopAt = value;
        } else if (arg == "--screen") {
            options.screen = value;
        } else if (arg == "--seconds") {
            options.seconds = std::atof(value);
        } else if (arg == "--sample-every") {
            options.sampleEvery = std::atof(value);
        } else if (arg == "--probe-ms") {
            options.probeMs = std::atoi(value);
        } else {
            return false;
        }
    }
    return argc % 2 == 1 &&
           (options.stopAt == "notice" || options.stopAt == "screen" ||
            options.stopAt == "polling") &&
           (options.screen == "epson" || options.screen == "star" || options.screen == "ithaca") &&
           options.seconds > 0;
}

// Bytes the heap holds now, every arena and the large blocks mapped on their own.
std::size_t heapInUse() {
    const struct mallinfo2 info = ::mallinfo2();
    return info.uordblks + info.hblkhd;
}

// A repeating timer on the event loop whose firings are stamped: a gap between two firings
// much longer than the interval is time in which the loop served nothing else either.
class Probe {
public:
    explicit Probe(int intervalMs) {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(intervalMs);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            m_gaps.push_back(now - m_last);
            m_last = now;
        });
    }
    void start() {
        m_clock.start();
        m_last = 0;
        m_timer.start();
    }
    void report(int intervalMs) {
        m_timer.stop();
        std::vector<qint64> gaps = m_gaps;
        if (gaps.empty())
            return;
        std::sort(gaps.begin(), gaps.end());
        const auto at = [&](double q) {
            return static_cast<double>(
                       gaps[static_cast<std::size_t>(q * static_cast<double>(gaps.size() - 1))]) /
                   1e6;
        };
        std::size_t over20 = 0;
        std::size_t over40 = 0;
        qint64 blocked = 0;  // time beyond the interval in gaps over 10 ms
        for (qint64 gap : gaps) {
            over20 += gap > 20'000'000 ? 1 : 0;
            over40 += gap > 40'000'000 ? 1 : 0;
            if (gap > 10'000'000)
                blocked += gap - qint64{intervalMs} * 1'000'000;
        }
        std::printf(
            "probe interval_ms=%d firings=%zu span_s=%.2f gap_ms_p50=%.2f gap_ms_p99=%.2f "
            "gap_ms_max=%.2f gaps_over_20ms=%zu gaps_over_40ms=%zu blocked_share=%.3f\n",
            intervalMs, gaps.size(), static_cast<double>(m_clock.nsecsElapsed()) / 1e9, at(0.5),
            at(0.99), static_cast<double>(gaps.back()) / 1e6, over20, over40,
            static_cast<double>(blocked) / static_cast<double>(m_clock.nsecsElapsed()));
        std::fflush(stdout);
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    std::vector<qint64> m_gaps;
};

template <class Form>
Form* active(toolkit::Application& application) {
    return dynamic_cast<Form*>(application.activeForm());
}

// Runs one step of the walk (a user action and every handler it runs) and says how long it took.
template <class Action>
void timed(const char* step, Action&& action) {
    QElapsedTimer clock;
    clock.start();
    action();
    std::printf("step %s ms=%.2f\n", step, static_cast<double>(clock.nsecsElapsed()) / 1e6);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: bench_gui_driver [--stop-at notice|screen|polling] "
                     "[--screen epson|star|ithaca] [--seconds S] [--sample-every S] "
                     "[--probe-ms MS]\n");
        return 2;
    }

    // As the program's main.
    QApplication qtApp(argc, argv);
    QApplication::setWindowIcon(gui::logoIcon());
    QGuiApplication::setDesktopFileName("drawertest");
    const auto devices =
        ports::DeviceMap::fromEnvironment([](const char* name) { return std::getenv(name); });
    ports::PlatformPortSystem portSystem(devices);
    toolkit::RealClock clock;
    toolkit::Application application(clock);
    gui::QtWindowSystem windows(application);
    app::Program program(application, portSystem, app::portDevicesOf(devices));
    program.start();

    Probe probe(std::max(options.probeMs, 1));
    QElapsedTimer there;
    const auto sample = [&](const char* what) {
        std::printf("%s t_s=%.1f heap_bytes=%zu\n", what,
                    static_cast<double>(there.elapsed()) / 1000.0, heapInUse());
        std::fflush(stdout);
    };
    const auto arrived = [&] {
        there.start();
        sample("arrived");
        if (options.sampleEvery > 0) {
            auto* sampler = new QTimer(&qtApp);
            QObject::connect(sampler, &QTimer::timeout, [&] { sample("sample"); });
            sampler->start(static_cast<int>(options.sampleEvery * 1000));
        }
        QTimer::singleShot(static_cast<int>(options.seconds * 1000), [&] {
            sample("end");
            if (options.probeMs > 0)
                probe.report(options.probeMs);
            QCoreApplication::exit(0);
        });
    };

    // The walk, one step per window.
    const auto fail = [](const char* where) {
        std::fprintf(stderr, "bench_gui_driver: the walk lost its way at %s\n", where);
        QCoreApplication::exit(1);
    };
    QTimer::singleShot(kStepMs, [&] {
        auto* splash = active<app::DunmereSplash>(application);
        if (!splash)
            return fail("the splash");
        timed("disclaimer", [&] { application.pressKey(*splash, "x"); });
        if (options.stopAt == "notice")
            return arrived();
        QTimer::singleShot(kStepMs, [&] {
            auto* notice = active<app::Notice>(application);
            if (!notice)
                return fail("the disclaimer");
            timed("selector", [&] { application.click(notice->Accept); });
            QTimer::singleShot(kStepMs, [&] {
                auto* selector = active<app::TestForm>(application);
                if (!selector)
                    return fail("the selector");
                timed("printer-screen", [&] {
                    application.click(options.screen == "epson"  ? selector->EPSONSerail
                                      : options.screen == "star" ? selector->StarSerial
                                                                 : selector->ITHACAserial);
                });
                QTimer::singleShot(kStepMs, [&] {
                    auto* printer = dynamic_cast<screens::PrinterScreen*>(application.activeForm());
                    if (!printer || !printer->DrawerStatus)
                        return fail("the printer screen");
                    if (options.probeMs > 0)
                        probe.start();
                    if (options.stopAt == "polling")
                        timed("drawer-status", [&] { application.click(*printer->DrawerStatus); });
                    arrived();
                });
            });
        });
    });
    return windows.run();
}
