// drawer_sim: plays a receipt printer or a Dunmere serial drawer interface on a
// pseudo-terminal (a printer on a parallel port on a FIFO), so that drawertest can be tried on a
// machine with no drawer. It prints what the program sends, answers the printers' status
// requests from a drawer the person opens and closes with a key, and tells which DRAWERTEST_*
// variable points the program at it.
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "device.h"
#include "fifo_port.h"
#include "pty_port.h"

namespace drawersim {

std::string hex(std::uint8_t byte) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[byte >> 4], kDigits[byte & 0x0F]};
}

std::string printed(const std::string& text) {
    return text.empty() ? "  |" : "  | " + text;
}

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// How long the line stays silent before a run of characters or a line of text counts as ended.
constexpr auto kQuietAfter = 300ms;
// How often the line settings and the port's holder are looked at.
constexpr int kWatchMs = 50;

volatile std::sig_atomic_t g_stop = 0;

void onSignal(int) {
    g_stop = 1;
}

const char* const kUsage =
    "usage: drawer_sim DEVICE [options]\n"
    "  DEVICE: epson, star, citizen, ithaca (receipt printers)\n"
    "          alder, birch, cedar (Dunmere serial interfaces)\n"
    "options:\n"
    "  --port COM1|COM2|LPT1|LPT2  the port drawertest should take it for (default COM1)\n"
    "  --drawer open|closed        the drawer's state at start (default closed)\n"
    "  --toggle-every N            open or close the drawer after every N status requests\n"
    "  --columns N                 the printer's paper width in characters\n"
    "  --log FILE                  also write every output line to FILE\n"
    "  --capture FILE              write every byte received from the program to FILE\n"
    "keys (typed, or piped into standard input): o opens or closes the drawer, q quits\n";

struct Options {
    std::string device;
    std::string port = "COM1";
    bool drawerOpen = false;
    int toggleEvery = 0;
    int columns = 0;
    std::string logPath;
    std::string capturePath;
};

std::optional<Options> parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        const std::string value = hasValue ? argv[i + 1] : "";
        if (arg == "--port" && hasValue &&
            (value == "COM1" || value == "COM2" || value == "LPT1" || value == "LPT2")) {
            options.port = value;
        } else if (arg == "--drawer" && hasValue && (value == "open" || value == "closed")) {
            options.drawerOpen = value == "open";
        } else if (arg == "--toggle-every" && hasValue && std::atoi(value.c_str()) > 0) {
            options.toggleEvery = std::atoi(value.c_str());
        } else if (arg == "--columns" && hasValue && std::atoi(value.c_str()) > 0) {
            options.columns = std::atoi(value.c_str());
        } else if (arg == "--log" && hasValue) {
            options.logPath = value;
        } else if (arg == "--capture" && hasValue) {
            options.capturePath = value;
        } else if (!arg.starts_with("--") && options.device.empty()) {
            options.device = arg;
            continue;
        } else {
            return std::nullopt;
        }
        ++i;
    }
    if (options.device.empty())
        return std::nullopt;
    return options;
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

// Port: a PtyPort for a serial port, a FifoPort for a parallel one.
template <class Port>
class Simulator final : public Host {
public:
    Simulator(Options options, std::unique_ptr<Device> device)
        : m_options(std::move(options)),
          m_device(std::move(device)),
          m_drawerOpen(m_options.drawerOpen) {}

    int run() {
        if (!m_options.logPath.empty())
            m_log.open(m_options.logPath, std::ios::trunc);
        if (!m_options.capturePath.empty())
            m_capture.open(m_options.capturePath, std::ios::binary | std::ios::trunc);
        std::string error;
        if (!m_port.open(error)) {
            std::cerr << "drawer_sim: " << error << "\n";
            return 1;
        }
        introduce();
        KeyboardMode keyboard;
        loop();
        report("drawer_sim: done");
        return 0;
    }

    // ---- Host ----

    void report(const std::string& line) override {
        std::cout << line << std::endl;
        if (m_log.is_open())
            m_log << line << std::endl;
    }
    void reply(std::uint8_t byte) override {
        if (!m_port.write(byte))
            report("could not answer " + hex(byte) + ": the line is full");
    }
    bool drawerOpen() const override { return m_drawerOpen; }
    void openDrawer() override { m_drawerOpen = true; }
    std::string lineSettings() const override { return m_port.lineSettings(); }
    void statusAnswered() override {
        if (m_options.toggleEvery > 0 && ++m_answered % m_options.toggleEvery == 0)
            toggleDrawer();
    }

private:
    void introduce() {
        report("drawer_sim: " + m_device->description() + " on " + m_port.path() + ", drawer " +
               (m_drawerOpen ? "open" : "closed"));
        if (!m_device->reportsDrawer()) {
            report(
                "note: a pseudo-terminal has no modem lines, so the CTS, DSR and CD lamps and the "
                "drawer state on the ring-indicator line cannot be simulated; the interface "
                "screens show their status error (25) there.");
        }
        report("Start drawertest against it in another terminal:");
        report("DRAWERTEST_" + m_options.port + "=" + m_port.path() + " scripts/start");
        report("Keys: o opens or closes the drawer, q quits.");
    }

    void toggleDrawer() {
        m_drawerOpen = !m_drawerOpen;
        report(std::string("drawer: ") + (m_drawerOpen ? "opened" : "closed") + " by hand" +
               (m_device->reportsDrawer() ? "" : " (the program cannot see it on a pty)"));
    }

    void loop() {
        bool keysOpen = true;
        std::string settings = m_port.lineSettings();
        bool held = false;
        // A burst of bytes ends when the line has been quiet for a while.
        bool inBurst = false;
        Clock::time_point lastByte{};
        while (g_stop == 0) {
            std::array<pollfd, 2> fds{{{m_port.fd(), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}}};
            ::poll(fds.data(), keysOpen ? 2 : 1, kWatchMs);
            // Before the bytes: the program opens and sets up the line before it writes.
            watchLine(settings, held);
            if ((fds[0].revents & POLLIN) != 0) {
                std::array<std::uint8_t, 512> buffer{};
                const std::size_t n = m_port.read(buffer);
                if (n > 0) {
                    if (m_capture.is_open()) {
                        m_capture.write(reinterpret_cast<const char*>(buffer.data()),
                                        static_cast<std::streamsize>(n));
                        m_capture.flush();
                    }
                    for (std::size_t i = 0; i < n; ++i)
                        m_device->receive(buffer[i], *this);
                    lastByte = Clock::now();
                    inBurst = true;
                }
            }
            if (keysOpen && (fds[1].revents & (POLLIN | POLLHUP)) != 0)
                keysOpen = readKeys();
            if (inBurst && Clock::now() - lastByte >= kQuietAfter) {
                m_device->quiet(*this);
                inBurst = false;
            }
        }
    }

    // False once standard input has ended.
    bool readKeys() {
        char key = 0;
        if (::read(STDIN_FILENO, &key, 1) != 1)
            return false;
        if (key == 'o' || key == 'O') {
            toggleDrawer();
        } else if (key == 'q' || key == 'Q') {
            g_stop = 1;
        }
        return true;
    }

    void watchLine(std::string& settings, bool& held) {
        const bool nowHeld = m_port.heldByProgram();
        if (nowHeld != held) {
            held = nowHeld;
            report(held ? "port: opened by the program" : "port: closed by the program");
        }
        const std::string now = m_port.lineSettings();
        if (now != settings) {
            settings = now;
            report("line: " + settings);
        }
    }

    Options m_options;
    std::unique_ptr<Device> m_device;
    Port m_port;
    bool m_drawerOpen;
    long m_answered = 0;
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
    const auto options = parse(argc, argv);
    if (!options) {
        std::cerr << kUsage;
        return 2;
    }
    auto device = makePrinter(options->device, options->columns);
    if (!device)
        device = makeInterface(options->device);
    if (!device) {
        std::cerr << "drawer_sim: no device called " << options->device << "\n" << kUsage;
        return 2;
    }
    struct sigaction action {};
    action.sa_handler = onSignal;
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
    // drawertest takes only a printer device or a FIFO for a parallel port, never a terminal.
    if (options->port.starts_with("LPT"))
        return Simulator<FifoPort>(*options, std::move(device)).run();
    return Simulator<PtyPort>(*options, std::move(device)).run();
}
