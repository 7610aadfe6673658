// drawer_sim: plays a receipt printer or one of Dunmere's drawer interfaces on a
// pseudo-terminal (on a FIFO for a parallel port, on a loopback TCP port for a network
// printer), so that drawertest can be tried on a machine
// with no drawer. The devices are
// the program's own models (src/sim); this is their host: it takes the program's bytes off
// the line no faster than a UART at the rate the program set, prints what the device does,
// sends back its replies after their time on the wire, lets a person open and close the
// drawers with keys, and tells which DRAWERTEST_* variable points the program at it.
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "fifo_port.h"
#include "pty_port.h"
#include "sim/drawer_interface.h"
#include "sim/line.h"
#include "sim/loopback.h"
#include "sim/printer.h"
#include "tcp_port.h"

namespace drawersim {

namespace {

using sim::Time;
using SteadyClock = std::chrono::steady_clock;

// How often the line settings and the port's holder are looked at.
constexpr Time kWatchEvery = std::chrono::milliseconds(50);

volatile std::sig_atomic_t g_stop = 0;

void onSignal(int) {
    g_stop = 1;
}

const char* const kUsage =
    "usage: drawer_sim DEVICE [options]\n"
    "  DEVICE: epson, star, citizen, ithaca (receipt printers)\n"
    "          alder, birch, cedar (Dunmere serial interfaces); alder-char, alder-level (an\n"
    "          Alder switched to character pulse or level mode); maple (the parallel one);\n"
    "          loopback (a plug that sends back every byte)\n"
    "options:\n"
    "  --port COM1|COM2|LPT1|LPT2  the port drawertest should take it for (default COM1, LPT1\n"
    "                              for maple)\n"
    "  --tcp PORT                  a network printer on 127.0.0.1:PORT (0: any free port)\n"
    "  --no-wire-speed             take bytes as fast as they come; by default the line runs\n"
    "                              at the rate drawertest set, as a real line does\n"
    "  --drawer open|closed        drawer 1's state at start (default closed)\n"
    "  --close-after SECONDS       an opened drawer closes by itself after this long\n"
    "  --toggle-every N            open or close drawer 1 after every N status requests\n"
    "  --columns N                 the printer's paper width in characters\n"
    "  --reply-delay MS            a slow printer: each status reply leaves MS milliseconds\n"
    "                              after its request came (not with --no-wire-speed)\n"
    "  --offline CAUSE             the printer starts offline: cover (open), paper (out) or\n"
    "                              error; it holds what it is sent, the kick too, until it\n"
    "                              is back online (key n)\n"
    "  --paper-low                 the printer's paper roll is near its end\n"
    "  --char N, --repeats N       the interface's opening character and how many in a row\n"
    "                              open the drawer\n"
    "  --baud N                    the rate the interface's or the printer's switches are set\n"
    "                              for (a printer: 9600 by default; 0: any); bytes at another\n"
    "                              rate reach a printer garbled, as on a real line\n"
    "  --pulse MS                  level mode: how long a run must hold the solenoid\n"
    "  --log FILE                  also write every output line to FILE\n"
    "  --capture FILE              write every byte received from the program to FILE\n"
    "keys (typed, or piped into standard input): o opens or closes drawer 1, p drawer 2,\n"
    "n takes a printer offline (for the --offline cause, cover open by default) or back\n"
    "online, q quits\n";

struct Options {
    std::string device;
    std::string port;
    std::optional<int> tcpPort;
    bool wireSpeed = true;
    bool drawerOpen = false;
    std::optional<Time> closeAfter;
    int toggleEvery = 0;
    int columns = 0;
    std::optional<int> replyDelayMs;
    std::optional<protocol::PrinterCondition> offline;
    bool paperLow = false;
    std::optional<int> character;
    std::optional<int> repeats;
    std::optional<int> baud;
    std::optional<int> pulseMs;
    std::string logPath;
    std::string capturePath;
};

std::optional<int> number(const std::string& text, int least) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < least || value > 1'000'000)
        return std::nullopt;
    return static_cast<int>(value);
}

std::optional<Options> parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--no-wire-speed" || arg == "--wire-speed") {
            options.wireSpeed = arg == "--wire-speed";
            continue;
        }
        if (arg == "--paper-low") {
            options.paperLow = true;
            continue;
        }
        if (!arg.starts_with("--")) {
            if (!options.device.empty())
                return std::nullopt;
            options.device = arg;
            continue;
        }
        if (i + 1 >= argc)
            return std::nullopt;
        const std::string value = argv[++i];
        const auto setNumber = [&value](std::optional<int>& field, int least) {
            field = number(value, least);
            return field.has_value();
        };
        std::optional<int> n;
        bool ok = true;
        if (arg == "--port") {
            ok = value == "COM1" || value == "COM2" || value == "LPT1" || value == "LPT2";
            options.port = value;
        } else if (arg == "--tcp") {
            ok = setNumber(options.tcpPort, 0) && *options.tcpPort <= 65535;
        } else if (arg == "--drawer") {
            ok = value == "open" || value == "closed";
            options.drawerOpen = value == "open";
        } else if (arg == "--close-after") {
            char* end = nullptr;
            const double seconds = std::strtod(value.c_str(), &end);
            ok = !value.empty() && *end == '\0' && seconds > 0 && seconds < 1e6;
            options.closeAfter =
                std::chrono::duration_cast<Time>(std::chrono::duration<double>(ok ? seconds : 0));
        } else if (arg == "--offline") {
            options.offline = value == "cover"   ? protocol::PrinterCondition{.coverOpen = true}
                              : value == "paper" ? protocol::PrinterCondition{.paperOut = true}
                              : value == "error" ? protocol::PrinterCondition{.error = true}
                                                 : std::optional<protocol::PrinterCondition>();
            ok = options.offline.has_value();
        } else if (arg == "--toggle-every" && setNumber(n, 1)) {
            options.toggleEvery = *n;
        } else if (arg == "--reply-delay") {
            ok = setNumber(options.replyDelayMs, 0);
        } else if (arg == "--columns" && setNumber(n, 1)) {
            options.columns = *n;
        } else if (arg == "--char") {
            ok = setNumber(options.character, 0) && *options.character <= 255;
        } else if (arg == "--repeats") {
            ok = setNumber(options.repeats, 1);
        } else if (arg == "--baud") {
            ok = setNumber(options.baud, 0);
        } else if (arg == "--pulse") {
            ok = setNumber(options.pulseMs, 0);
        } else if (arg == "--log") {
            options.logPath = value;
        } else if (arg == "--capture") {
            options.capturePath = value;
        } else {
            ok = false;
        }
        if (!ok)
            return std::nullopt;
    }
    // The delay is the line's: without wire speed there is none.
    if (options.device.empty() || (options.replyDelayMs && !options.wireSpeed))
        return std::nullopt;
    return options;
}

// The device the options name, set up as they ask; null with `error` set when there is none.
std::shared_ptr<sim::Device> makeDevice(Options& options, std::string& error) {
    if (const protocol::CommandSet* commands = protocol::commandSetNamed(options.device)) {
        if (options.port.empty())
            options.port = "COM1";
        if (options.baud && (options.tcpPort || options.port.starts_with("LPT"))) {
            error = "a printer on a network connection or a parallel port has no line rate";
            return nullptr;
        }
        auto printer = std::make_shared<sim::Printer>(
            *commands, options.columns,
            options.baud ? static_cast<std::uint32_t>(*options.baud) : sim::Printer::kStandardBaud);
        protocol::PrinterCondition condition =
            options.offline.value_or(protocol::PrinterCondition{});
        condition.paperLow = options.paperLow;
        printer->setCondition(condition, Time::zero());
        return printer;
    }
    if (options.offline || options.paperLow) {
        error = "--offline and --paper-low are a printer's";
        return nullptr;
    }
    if (options.device == "loopback") {
        if (options.port.empty())
            options.port = "COM1";
        return std::make_shared<sim::Loopback>();
    }
    auto settings = sim::interfaceSettings(options.device);
    if (!settings) {
        error = "no device called " + options.device;
        return nullptr;
    }
    if (options.port.empty())
        options.port = settings->serial ? "COM1" : "LPT1";
    if (options.port.starts_with("LPT") == settings->serial) {
        error = settings->description + " does not sit on " + options.port;
        return nullptr;
    }
    if (options.character)
        settings->openingCharacter = static_cast<std::uint8_t>(*options.character);
    if (options.repeats)
        settings->repeats = *options.repeats;
    if (options.baud)
        settings->baud = static_cast<std::uint32_t>(*options.baud);
    if (options.pulseMs)
        settings->pulse = std::chrono::milliseconds(*options.pulseMs);
    return std::make_shared<sim::DrawerInterface>(std::move(*settings));
}

// Single key presses from a terminal, without echo, for as long as the simulator runs.
class KeyboardMode {
public:
    KeyboardMode() {
        if (::isatty(STDIN_FILENO) == 0 || ::tcgetattr(STDIN_FILENO, &m_saved) != 0)
            return;
        termios keys = m_saved;
        keys.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
        keys.c_cc[VMIN] = 1;
        keys.c_cc[VTIME] = 0;
        m_active = ::tcsetattr(STDIN_FILENO, TCSANOW, &keys) == 0;
    }
    ~KeyboardMode() {
        if (m_active)
            ::tcsetattr(STDIN_FILENO, TCSANOW, &m_saved);
    }
    KeyboardMode(const KeyboardMode&) = delete;
    KeyboardMode& operator=(const KeyboardMode&) = delete;

private:
    termios m_saved{};
    bool m_active = false;
};

// Port: a PtyPort for a serial port, a FifoPort for a parallel one, which has no way back.
template <class Port>
class Simulator {
public:
    Simulator(Options options, std::shared_ptr<sim::Device> device)
        : m_options(std::move(options)),
          m_device(std::move(device)),
          m_line(kSerial ? sim::Line() : sim::Line::parallel()) {
        if (m_device->drawerCount() > 0)
            m_device->setDrawer(1, m_options.drawerOpen, Time::zero());
        m_device->setClosesAfter(m_options.closeAfter);
        m_device->setListener([this](const sim::Notice& notice) { show(notice); });
        m_line.attach(m_device, Time::zero());
        m_line.setReplyDelay(std::chrono::milliseconds(m_options.replyDelayMs.value_or(0)));
    }

    int run() {
        if (!m_options.logPath.empty())
            m_log.open(m_options.logPath, std::ios::trunc);
        if (!m_options.capturePath.empty())
            m_capture.open(m_options.capturePath, std::ios::binary | std::ios::trunc);
        std::string error;
        if constexpr (std::is_same_v<Port, TcpPort>)
            m_port.listenOn(*m_options.tcpPort);
        if (!m_port.open(error)) {
            std::cerr << "drawer_sim: " << error << "\n";
            return 1;
        }
        if constexpr (kSerial)
            m_line.setSettings(m_port.settings(), now());
        introduce();
        KeyboardMode keyboard;
        loop();
        report("drawer_sim: done");
        return 0;
    }

private:
    Time now() const { return SteadyClock::now() - m_start; }

    void report(const std::string& line) {
        std::cout << line << std::endl;
        if (m_log.is_open())
            m_log << line << std::endl;
    }

    void show(const sim::Notice& notice) {
        if (notice.kind == sim::Notice::Kind::Paper) {
            report(notice.text.empty() ? "  |" : "  | " + notice.text);
        } else {
            report(notice.text);
        }
    }

    void introduce() {
        std::string state;
        if (m_device->drawerCount() > 0)
            state = std::string(", drawer ") + (m_device->drawer(1).isOpen() ? "open" : "closed");
        if (const auto* printer = dynamic_cast<const sim::Printer*>(m_device.get())) {
            if (const std::string why = printer->condition().sentence(); !why.empty())
                state += "; " + why;
        }
        report("drawer_sim: " + m_device->description() + " on " + m_port.path() + state);
        const auto* interface = dynamic_cast<const sim::DrawerInterface*>(m_device.get());
        if (interface != nullptr && kSerial) {
            report(
                "note: a pseudo-terminal has no modem lines, so the CTS, DSR and CD lamps and the "
                "drawer state on the ring-indicator line cannot be simulated; the interface "
                "screens show their status error (25) there.");
        }
        report("Start drawertest against it in another terminal:");
        report("DRAWERTEST_" + m_options.port + "=" + m_port.path() + " scripts/start");
        const bool printer = dynamic_cast<const sim::Printer*>(m_device.get()) != nullptr;
        report(m_device->drawerCount() == 0 ? "Keys: q quits."
               : !printer                   ? "Keys: o opens or closes the drawer, q quits."
                          : "Keys: o opens or closes drawer 1, p drawer 2, n takes the printer "
                            "offline or back online, q quits.");
    }

    void loop() {
        bool keysOpen = true;
        while (g_stop == 0) {
            // While a byte is on the wire the next one waits in the program's queue.
            const bool wireFree = !m_options.wireSpeed || m_line.wireFreeAt() <= now();
            Time wake = now() + kWatchEvery;
            if (const auto next = m_options.wireSpeed ? m_line.nextEvent() : m_device->nextChange())
                wake = std::min(wake, *next);
            if (!wireFree)
                wake = std::min(wake, m_line.wireFreeAt());
            const auto timeout =
                std::chrono::ceil<std::chrono::milliseconds>(std::max(Time::zero(), wake - now()));
            std::array<pollfd, 2> fds{{{wireFree ? m_port.fd() : -1, POLLIN, 0},
                                       {keysOpen ? STDIN_FILENO : -1, POLLIN, 0}}};
            ::poll(fds.data(), fds.size(), static_cast<int>(timeout.count()));
            // Before the bytes: the program opens and sets up the line before it writes.
            watchLine();
            // Bytes are taken the moment the wire is free, before the line moves on past it.
            if ((fds[0].revents & POLLIN) != 0 ||
                ((!wireFree || m_backlog) && m_line.wireFreeAt() <= now()))
                takeBytes();
            if (m_options.wireSpeed) {
                while (const auto reply = m_line.read(now()))
                    answer(*reply);
            } else {
                m_device->advance(now());
            }
            if (keysOpen && (fds[1].revents & (POLLIN | POLLHUP)) != 0)
                keysOpen = readKeys();
            toggleOnAnswers();
        }
    }

    // Takes the bytes a UART at the line's rate would have received by now. Bytes that waited
    // in the program's queue while the wire was busy follow each other with no gap.
    void takeBytes() {
        std::array<std::uint8_t, 512> buffer{};
        const Time t = now();
        std::size_t allowance = buffer.size();
        Time start = t;
        if (m_options.wireSpeed && m_line.byteTime() > Time::zero()) {
            start = m_backlog ? std::min(m_line.wireFreeAt(), t) : t;
            allowance = std::min<std::size_t>(
                allowance, 1 + static_cast<std::size_t>((t - start) / m_line.byteTime()));
        }
        const std::size_t n = m_port.read(std::span(buffer.data(), allowance));
        m_backlog = n > 0 && n == allowance && m_options.wireSpeed;
        if (n == 0)
            return;
        if (m_capture.is_open()) {
            m_capture.write(reinterpret_cast<const char*>(buffer.data()),
                            static_cast<std::streamsize>(n));
            m_capture.flush();
        }
        if (m_options.wireSpeed) {
            m_line.write(std::span(buffer.data(), n), start);
            return;
        }
        for (std::size_t i = 0; i < n; ++i) {
            for (const std::uint8_t reply : m_device->receive(buffer[i], t))
                answer(reply);
        }
    }

    // A parallel line has no way back: what the device answers is lost.
    void answer(std::uint8_t byte) {
        if constexpr (kSerial) {
            if (!m_port.write(byte))
                report("could not answer " + protocol::hex(byte) + ": the line is full");
        }
    }

    // False once standard input has ended.
    bool readKeys() {
        char key = 0;
        if (::read(STDIN_FILENO, &key, 1) != 1)
            return false;
        if (key == 'o' || key == 'O') {
            toggleDrawer(1);
        } else if ((key == 'p' || key == 'P') && m_device->drawerCount() > 1) {
            toggleDrawer(2);
        } else if (key == 'n' || key == 'N') {
            toggleOnline();
        } else if (key == 'q' || key == 'Q') {
            g_stop = 1;
        }
        return true;
    }

    void toggleDrawer(int number) {
        if (number > m_device->drawerCount())
            return;
        m_device->setDrawer(number, !m_device->drawer(number).isOpen(), now());
    }

    // Offline for the cause it was given (cover open if none), or back online.
    void toggleOnline() {
        auto* printer = dynamic_cast<sim::Printer*>(m_device.get());
        if (printer == nullptr)
            return;
        protocol::PrinterCondition condition = printer->condition();
        const bool paperLow = condition.paperLow;
        if (condition.isOffline()) {
            condition = {};
        } else {
            condition = m_options.offline.value_or(protocol::PrinterCondition{.coverOpen = true});
        }
        condition.paperLow = paperLow;
        printer->setCondition(condition, now());
    }

    void toggleOnAnswers() {
        const auto every = static_cast<std::uint64_t>(m_options.toggleEvery);
        while (every > 0 && m_device->statusAnswers() >= m_toggledAt + every) {
            m_toggledAt += every;
            toggleDrawer(1);
        }
    }

    void watchLine() {
        const bool held = m_port.heldByProgram();
        if (held != m_held) {
            m_held = held;
            report(held ? "port: opened by the program" : "port: closed by the program");
        }
        if constexpr (kSerial) {
            const sim::LineSettings settings = m_port.settings();
            if (settings.text() != m_line.settings().text()) {
                m_line.setSettings(settings, now());
                report("line: " + settings.text());
            }
        }
    }

    static constexpr bool kSerial = !std::is_same_v<Port, FifoPort>;

    Options m_options;
    std::shared_ptr<sim::Device> m_device;
    sim::Line m_line;
    Port m_port;
    SteadyClock::time_point m_start = SteadyClock::now();
    bool m_held = false;
    bool m_backlog = false;  // the last read took all it could: more may be waiting
    std::uint64_t m_toggledAt = 0;
    std::ofstream m_log;
    std::ofstream m_capture;
};

}  // namespace

}  // namespace drawersim

int main(int argc, char** argv) {
    using namespace drawersim;
    if (argc == 2 && std::string_view(argv[1]) == "--help") {
        std::cout << kUsage;
        return 0;
    }
    auto options = parse(argc, argv);
    if (!options) {
        std::cerr << kUsage;
        return 2;
    }
    std::string error;
    auto device = makeDevice(*options, error);
    if (!device) {
        std::cerr << "drawer_sim: " << error << "\n" << kUsage;
        return 2;
    }
    struct sigaction action {};
    action.sa_handler = onSignal;
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
    // drawertest takes only a printer device or a FIFO for a parallel port, never a terminal.
    if (options->tcpPort)
        return Simulator<TcpPort>(std::move(*options), std::move(device)).run();
    if (options->port.starts_with("LPT"))
        return Simulator<FifoPort>(std::move(*options), std::move(device)).run();
    return Simulator<PtyPort>(std::move(*options), std::move(device)).run();
}
