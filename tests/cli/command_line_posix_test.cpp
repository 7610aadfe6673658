// The command line run in this process: COM1 is a pseudo-terminal whose far end the test plays,
// LPT1 a FIFO the test reads, COM2 and LPT2 missing. Each case checks what reached the far end,
// what was printed and the exit code.
#include <arpa/inet.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>

#include <gtest/gtest.h>

#include <csignal>
#include <iterator>
#include <regex>
#include <sstream>
#include <thread>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "ports/pty.h"
#include "screens/printers/page_texts.h"
#include "screens/printers/status_request.h"

namespace {

// "1B 70 00" or "1b7000": the bytes.
std::string hex(std::string text) {
    std::erase(text, ' ');
    std::string bytes;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2)
        bytes += static_cast<char>(std::stoi(text.substr(i, 2), nullptr, 16));
    return bytes;
}

porttest::Bytes hexBytes(const std::string& text) {
    const std::string bytes = hex(text);
    return {bytes.begin(), bytes.end()};
}

std::string joined(const std::array<std::string_view, 5>& sentences, const std::string& between) {
    std::string text(sentences[0]);
    for (std::size_t i = 1; i < sentences.size(); ++i)
        text += between + std::string(sentences[i]);
    return text;
}

// One run: its arguments, the bytes its port's far end must receive and what it answers then,
// the exit code and the line printed (JSON written with ' for "). DEV stands for the pty's path,
// FIFO for the FIFO's.
struct Case {
    std::string arguments, sent, reply;
    int code;
    std::string out, err = "";
};

class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(m_pty.slave().empty()) << "no pseudo-terminal";
        // The test holds the line open too, raw, so that a byte sent before a run waits there.
        termios raw{};
        ::tcgetattr(m_line, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(m_line, TCSANOW, &raw);
        ASSERT_EQ(::mkfifo(m_fifo.c_str(), 0600), 0);
        m_printer = ::open(m_fifo.c_str(), O_RDONLY | O_NONBLOCK);
    }
    void TearDown() override {
        ::close(m_line);
        ::close(m_printer);
        ::unlink(m_fifo.c_str());
    }

    std::string named(const std::string& text) const {
        return std::regex_replace(std::regex_replace(text, std::regex("DEV"), m_pty.slave()),
                                  std::regex("FIFO"), m_fifo);
    }
    std::tuple<int, std::string, std::string> run(const std::string& arguments) {
        std::istringstream words(named(arguments));
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        const int code = cli::runCommandLine({std::istream_iterator<std::string>(words), {}},
                                             m_devices, "/nonexistent/drawertest-root");
        std::string out = ::testing::internal::GetCapturedStdout();
        return {code, out, ::testing::internal::GetCapturedStderr()};
    }
    void check(const Case& c) {
        SCOPED_TRACE(c.arguments);
        // A byte the printer sent before the run is no answer to a status request. It is on
        // the line (the pty passes it on in its own time) before the run starts.
        ::tcflush(m_line, TCIFLUSH);
        ASSERT_EQ(::write(m_pty.master(), "\x16", 1), 1);
        pollfd arrived{m_line, POLLIN, 0};
        ASSERT_EQ(::poll(&arrived, 1, 2000), 1);
        const bool fifo = std::regex_search(c.arguments, std::regex("LPT1|FIFO"));
        porttest::Bytes sent(65536);
        std::thread farEnd([&] {
            // A printer answers within the program's bound however busy the machine is (where
            // the test may raise its priority).
            const sched_param first{sched_get_priority_min(SCHED_FIFO)};
            ::pthread_setschedparam(::pthread_self(), SCHED_FIFO, &first);
            if (!fifo && !(sent = m_pty.receive(c.sent.size())).empty())
                ::write(m_pty.master(), c.reply.data(), c.reply.size());
        });
        const auto printed = run(c.arguments);
        farEnd.join();
        if (fifo)
            sent.resize(std::size_t(std::max(0L, ::read(m_printer, sent.data(), sent.size()))));
        std::string out = named(c.out) + (c.out.empty() ? "" : "\n");
        if (out.starts_with('{'))
            std::replace(out.begin(), out.end(), '\'', '"');
        EXPECT_EQ(std::string(sent.begin(), sent.end()), c.sent);
        EXPECT_EQ(printed, std::tuple(c.code, out, c.err.empty() ? "" : c.err + "\n"));
    }

    porttest::Pty m_pty;
    int m_line = ::open(m_pty.slave().c_str(), O_RDWR | O_NOCTTY);
    std::string m_fifo = ::testing::TempDir() + "drawertest-lpt-" + std::to_string(::getpid());
    int m_printer = -1;
    ports::DeviceMap m_devices = porttest::mapTo({{"COM1", m_pty.slave()}, {"LPT1", m_fifo}},
                                                 "/nonexistent/drawertest-port");
};

TEST_F(CommandLineTest, TellsWhatIsWrongWithTheCommandLineAndHowToUseIt) {
    const std::pair<std::string, std::string> cases[] = {
        {"blink", "unknown command 'blink'"},
        {"kick --printer epson", "--port is missing"},
        {"kick --printer epson --port", "--port needs a value"},
        {"kick --port= COM1", "--port needs a value"},
        {"kick --port COM1 --port=COM2", "--port is given twice"},
        {"kick --alternate=yes", "--alternate takes no value"},
        {"kick now", "unexpected argument 'now'"},
        {"page --printer epson --colour", "unknown option '--colour'"},
        {"kick --printer epson --port COM3", "'COM3' is no port: COM1, COM2, LPT1, LPT2, a"},
        {"kick --port com1", "--printer is missing"},
        {"kick --printer hp --port COM1", "unknown printer 'hp': star, epson, citizen or ithaca"},
        {"kick --printer epson --port COM1 --drawer 3", "--drawer takes 1 or 2"},
        {"kick --printer epson --port COM1 --alternate", "--alternate is drawer 1's alternate"},
        {"kick --printer star --port LPT1 --drawer 2 --alternate", "--alternate is drawer 1's"},
        {"page --printer epson --port COM1 --drawer 2", "--drawer and --alternate go with --kick"},
        {"status --printer citizen --port COM1", "the Citizen printer reports no drawer state"},
        {"status --printer epson --port LPT1", "the drawer state is read on a serial port only"},
        {"interface --port COM1", "which interface: alder, birch, cedar or maple?"},
        {"interface oak --port COM1", "unknown interface 'oak': alder, birch, cedar or maple"},
        {"interface maple --port COM2", "the Maple interface sits on a parallel port: LPT1,"},
        {"interface alder --port lpt2", "the Alder interface sits on a serial port: COM1,"},
        {"interface maple --port LPT1 --repeat 2", "the Maple interface has no baud rate and"},
        {"find --port COM9", "'COM9' is no port: a device path or host:port"},
        {"find --printer epson", "unknown option '--printer'"},
        {"interface alder --port COM1 --char x7", "--char takes a whole number, not 'x7'"},
        {"interface alder --port COM1 --repeat 1234567890", "--repeat takes a whole number"},
        {"interface alder --port COM1 --char 128", "--char 128: Valid characters are 0 through"},
        {"interface alder --port COM1 --baud 300", "--baud takes 9600, 4800, 2400 or 1200 on the"},
        {"interface alder --port COM1 --repeat 3", "--repeat takes 1 or 2 on the Alder interface"},
        {"interface birch --port COM1 --repeat 101", "--repeat 101: Valid values 1 through 100"},
        {"interface cedar --port COM1 --repeat 0", "--repeat 0: Repeat value must be greater"},
    };
    for (const auto& [arguments, message] : cases) {
        const auto [code, out, err] = run(arguments);
        const std::string command = arguments.substr(0, arguments.find(' ') + 1);
        EXPECT_EQ(std::tuple(code, out, err.substr(0, 12 + message.size())),
                  std::tuple(64, "", "drawertest: " + message));
        EXPECT_TRUE(err.ends_with("\nTry 'drawertest " + command + "--help'.\n")) << err;
    }
    EXPECT_TRUE(std::get<1>(run("-h")).ends_with(
        "  69  the window (drawertest, drawertest --demo) found no display\n"));
    // The status help tells the program's own bounds.
    const std::string status = std::get<1>(run("status --help"));
    for (const std::string& bound :
         {"No reply (nothing within " + std::to_string(screens::kLateReplyBound.count()) + " ms)",
          "once the printer is " + std::to_string(screens::kReplyBound.count()) + " ms late"})
        EXPECT_NE(status.find(bound), std::string::npos) << bound << " in\n" << status;
    EXPECT_TRUE(std::get<1>(run("interface --help"))
                    .ends_with("  cedar  --baud 9600, 4800, 2400, 1200 or 300 (1200); --char 0 "
                               "to 255 (7)\n         --repeat 1 or more (by the rate: 25 at "
                               "9600, 20 at 4800, 15 at 2400, 10 at 1200, 5 at 300)\n  maple  "
                               "--char 0 to 255 (7)\n         sent 6 times\n"));
}

TEST_F(CommandLineTest, SendsTheScreensBytesAndTellsWhatCameOfThem) {
    const std::string page(screens::PageText), lines42 = joined(screens::Sentences42, "\n\n");
    const std::string characterPage = hex("1b40") + page + hex("1b61081b6400");
    // The page with drawer 2's kick after it; the serial Ithaca screen asks for the drawer state.
    const auto printed = [](std::string printer, std::string port, std::string sent,
                            std::string kick, std::string after = "") {
        const std::string name(1, static_cast<char>(std::tolower(printer[0])));
        return Case{
            "page --printer " + name + printer.substr(1) + " --port " + port + " --kick --drawer 2",
            sent + hex(kick) + hex(after.empty() ? "" : "0501"), "", 0,
            "Test page (" + std::to_string(sent.size() + hex(kick).size()) +
                " bytes) and drawer 2 kick sent to the " + printer + " printer on " + port + " (" +
                kick + ")" + after};
    };
    const std::string epson = hex("100401");
    const Case cases[] = {
        {"kick --printer epson --port LPT1 --drawer 2 --json", hex("1B 70 01 50 50"), "", 0,
         "{'command':'kick','printer':'epson','port':'LPT1','device':'FIFO','drawer':2,"
         "'kick':'1B 70 01 50 50','bytes':5,'result':'done'}"},
        {"kick --printer star --port COM1 --alternate", hex("1C"), "", 0,
         "Drawer 1 kick sent to the Star printer on COM1 (1C)"},
        printed("Epson", "COM1", page + hex("1b64081d5601"), "1B 70 01 50 50"),
        printed("Epson", "LPT1", lines42 + hex("1b64081d5601"), "1B 70 01 50 50"),
        printed("Star", "COM1", joined(screens::Sentences48, "\n\n") + hex("1b61081b6400"), "1A"),
        printed("Star", "LPT1", characterPage, "1A"),
        printed("Citizen", "COM1", joined(screens::Sentences42, "\f\2") + hex("0c02 1b5000"), "1A"),
        printed("Citizen", "LPT1", characterPage, "1A"),
        printed("Ithaca", "COM1", lines42 + hex("181b64101b76"), "1B 78 02",
                "; drawer state: No reply"),
        printed("Ithaca", "LPT1", page + hex("181b64101b76"), "1B 78 02"),
        {"page --printer epson --port FIFO", lines42 + hex("1b64081d5601"), "", 0,
         "Test page (" + std::to_string(lines42.size() + 6) +
             " bytes) sent to the Epson printer on FIFO"},
        {"interface alder --port COM1", hex("0700"), "", 0,
         "Opening character 7 (07 00) written 1 time to the Alder interface on \\\\.\\COM1 at "
         "9600 baud."},
        {"interface alder --port DEV --char 127 --repeat 2 --baud 1200 --json", hex("7f007f00"), "",
         0,
         "{'command':'interface','interface':'alder','port':'DEV','device':'DEV','baud':1200,"
         "'char':127,'repeat':2,'bytes':4,'result':'done'}"},
        {"interface birch --port DEV", hex("5500 5500"), "", 0,
         "Opening character 85 (55 00) written 2 times to the Birch interface on DEV at 1200 "
         "baud."},
        {"interface cedar --port DEV --baud 300", hex("0700 0700 0700 0700 0700"), "", 0,
         "Opening character 7 (07 00) written 5 times to the Cedar interface on DEV at 300 baud."},
        {"interface cedar --port DEV --repeat 1", hex("0700"), "", 0,
         "Opening character 7 (07 00) written 1 time to the Cedar interface on DEV at 1200 baud."},
        {"interface maple --port FIFO --char 27", hex("1b1b1b1b1b1b"), "", 0,
         "Opening character 27 (1B) written 6 times to the Maple interface on FIFO."},
        {"interface birch --port COM2 --json", "", "", 2,
         "{'command':'interface','interface':'birch','port':'COM2','device':'/nonexistent/"
         "drawertest-port','baud':1200,'char':85,'result':'error','message':'Unable to acquire "
         "handle for port \\\\\\\\.\\\\COM2. (2)','code':2}"},
        {"kick --printer star --port COM2", "", "", 2, "",
         "drawertest: Unable to acquire handle for port COM2. (2)"},
        {"kick --printer star --port 127.0.0.1:1", "", "", 2, "",
         "drawertest: Unable to acquire handle for port 127.0.0.1:1. (111)"},
        // A bare name is the device of that name under /dev, or else a network printer's.
        {"kick --printer epson --port null --json", "", "", 2,
         "{'command':'kick','printer':'epson','port':'null','device':'/dev/null','result':'error',"
         "'message':'Unable to acquire handle for port null. (25)','code':25}"},
        {"kick --printer star --port localhost", "", "", 2, "",
         "drawertest: Unable to acquire handle for port localhost. (111) localhost was taken for a "
         "network printer's name: a device is named by its path."},
        {"status --printer epson --port COM1 --json", epson, hex("12"), 0,
         "{'command':'status','printer':'epson','port':'COM1','device':'DEV','result':'open',"
         "'reply':'0x12'}"},
        {"status --printer epson --port COM1", epson, hex("13"), 2,
         "Unknown: The printer answered 0x13, which is not a drawer status."},
        {"status --printer epson --port COM1 --json", epson, "", 2,
         "{'command':'status','printer':'epson','port':'COM1','device':'DEV','result':'no "
         "reply'}"},
        {"status --printer star --port COM1", hex("05"), hex("80"), 1, "Closed"},
        {"status --printer ithaca --port COM1 --json", hex("0501"), hex("00"), 2,
         "{'command':'status','printer':'ithaca','port':'COM1','device':'DEV','result':'unknown',"
         "'reply':'0x00'}"},
    };
    for (const Case& c : cases)
        check(c);
    // A printer that takes no more: every write fails, and the JSON counts them.
    const int full = ::open(m_fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GT(::write(full, std::string(1 << 20, 'x').data(), 1 << 20), 0);
    EXPECT_NE(std::get<1>(run("interface maple --port LPT1 --json")).find(R"("failed":6,)"),
              std::string::npos);
    ::close(full);
}

// A network printer is done with a kick only once it has taken every byte: one that resets the
// connection as the bytes come (it dropped them) is a write error with its code; one that reads
// them and closes is done.
TEST_F(CommandLineTest, ANetworkPrinterIsDoneOnlyOnceItTookEveryByte) {
    const int server = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t size = sizeof address;
    auto* named = reinterpret_cast<sockaddr*>(&address);
    ASSERT_TRUE(::bind(server, named, size) == 0 && ::listen(server, 4) == 0 &&
                ::getsockname(server, named, &size) == 0);
    const std::string printer = "127.0.0.1:" + std::to_string(ntohs(address.sin_port));
    for (const bool resets : {true, false}) {
        SCOPED_TRACE(resets ? "resets" : "reads");
        std::thread peer([&] {
            const int connection = ::accept(server, nullptr, nullptr);
            if (resets) {
                // Every byte in, none acknowledged yet (that waits), then the reset: dropped.
                const int later = 0;
                ::setsockopt(connection, IPPROTO_TCP, TCP_QUICKACK, &later, sizeof later);
                char kick[5];
                const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
                while (::recv(connection, kick, 5, MSG_PEEK | MSG_DONTWAIT) < 5 &&
                       std::chrono::steady_clock::now() < end)
                    std::this_thread::yield();
                const linger abort{1, 0};
                ::setsockopt(connection, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
            } else {
                EXPECT_EQ(porttest::receiveFrom(connection, 5), hexBytes("1B 70 00 50 50"));
            }
            ::close(connection);
        });
        const auto [code, out, err] = run("kick --printer epson --port " + printer);
        peer.join();
        if (resets) {
            EXPECT_EQ(std::tuple(code, out, err),
                      std::tuple(2, "", "drawertest: Error writing to port. (5)\n"));
        } else {
            EXPECT_EQ(std::tuple(code, out, err),
                      std::tuple(0,
                                 "Drawer 1 kick sent to the Epson printer on " + printer +
                                     " (1B 70 00 50 50)\n",
                                 ""));
        }
    }
    ::close(server);
}

// A printer that says it is offline is asked why, and the answer says the kick waits for it.
TEST_F(CommandLineTest, TellsWhyAnOfflinePrinterWillNotOpenTheDrawer) {
    std::thread printer([&] {
        for (const auto& [request, reply] :
             {std::pair{"100401", "1E"}, std::pair{"100402", "16"}, std::pair{"100404", "72"}}) {
            const std::string asked = hex(request);
            EXPECT_EQ(m_pty.receive(3), porttest::Bytes(asked.begin(), asked.end()));
            ::write(m_pty.master(), hex(reply).data(), 1);
        }
    });
    const auto [code, out, err] = run("status --printer epson --port COM1");
    printer.join();
    EXPECT_EQ(std::tuple(code, out),
              std::tuple(1, std::string("Closed; the printer is offline (cover open, out of "
                                        "paper): it will not open the drawer until it is back "
                                        "online\n")));
}

// find asks each port and prints each as it is done: the printer on COM1, nothing it may ask
// on the FIFO, and the ports that are missing.
TEST_F(CommandLineTest, FindsWhatIsOnEveryPort) {
    std::thread printer([&] {
        const porttest::Bytes asked = m_pty.receive(3);
        EXPECT_EQ(std::string(asked.begin(), asked.end()), hex("100401"));
        ::write(m_pty.master(), "\x12", 1);
    });
    const auto [code, out, err] = run("find --json --port /nonexistent/drawertest-port");
    printer.join();
    EXPECT_EQ(code, 0);
    EXPECT_EQ(out,
              named("{\"command\":\"find\",\"port\":\"COM1\",\"device\":\"DEV\",\"result\":"
                    "\"printer\",\"printer\":\"epson\",\"baud\":9600,\"drawer\":\"open\","
                    "\"screen\":\"EPSONSerialform\",\"message\":\"Epson-compatible printer at "
                    "9600 baud, drawer open\"}\n"
                    "{\"command\":\"find\",\"port\":\"COM2,LPT2\",\"device\":\"/nonexistent/"
                    "drawertest-port\",\"result\":\"unavailable\",\"code\":2,\"message\":"
                    "\"missing\"}\n"
                    "{\"command\":\"find\",\"port\":\"LPT1\",\"device\":\"FIFO\",\"result\":"
                    "\"nothing\",\"message\":\"no device ID: a printer on a parallel port is asked "
                    "nothing else, since what it is sent prints\"}\n"));
}

// --watch prints each change until it is interrupted (Ctrl-C, or a polite kill); its exit code
// is the last reading's.
TEST_F(CommandLineTest, WatchesTheDrawerUntilInterrupted) {
    std::thread printer([&] {
        int request = 0;
        for (const char reply : hex("12 12 16 12 12")) {
            m_pty.receive(3);
            if (++request == 5) {
                std::raise(SIGINT);
                std::raise(SIGTERM);
            }
            ::write(m_pty.master(), &reply, 1);
        }
    });
    const auto [code, out, err] = run("status --printer epson --port COM1 --watch --json");
    printer.join();
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    const auto reading = [this](std::string result, std::string reply) {
        return named(
            "{\"command\":\"status\",\"printer\":\"epson\",\"port\":\"COM1\","
            "\"device\":\"DEV\",\"result\":\"" +
            result + "\",\"reply\":\"" + reply + "\"}\n");
    };
    // A reply the loaded machine delays past the bound shows as "no reply" until it comes, and
    // the reading after it as a change again.
    std::string changes, last;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        if (line.find("\"no reply\"") == std::string::npos && line != last)
            changes += line + "\n";
        last = line.find("\"no reply\"") == std::string::npos ? line : last;
    }
    EXPECT_EQ(std::tuple(code, changes),
              std::tuple(0, reading("open", "0x12") + reading("closed", "0x16") +
                                reading("open", "0x12")));
}

// A slow printer answers past the bound: its late reply is its own request's. A single reading
// waits for it; --watch tells the silence once, then the reading, which stays.
TEST_F(CommandLineTest, ASlowPrintersLateReplyIsItsOwnRequests) {
    std::thread printer([&] {
        for (int request = 1; request <= 4; ++request) {
            m_pty.receive(3);
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            if (request == 4) {
                std::raise(SIGINT);
                std::raise(SIGTERM);
            }
            ::write(m_pty.master(), "\x12", 1);
        }
    });
    EXPECT_EQ(run("status --printer epson --port COM1"), std::tuple(0, "Open\n", ""));
    const auto [code, out, err] = run("status --printer epson --port COM1 --watch");
    printer.join();
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(out.starts_with("No reply\n") ? out.substr(9) : out, "Open\n") << out;
}

// Names from outside (a variable, a device's name, a path given) are printed as the About box
// shows them, never obeyed by the terminal, and JSON stays valid UTF-8 whatever bytes they hold.
TEST_F(CommandLineTest, PrintsNamesFromOutsideWithoutObeyingThem) {
    const std::string odd = "/nonexistent/\x1b[2J\xff\u202e";
    const std::string shown = R"(/nonexistent/\x1B[2J\xFF\u202E)";
    const std::string json = R"(/nonexistent/\u001B[2J\\xFF\u202E)";
    m_devices = porttest::mapTo({{"COM1", odd}}, "/nonexistent/drawertest-port");
    EXPECT_TRUE(
        std::get<1>(run("ports"))
            .starts_with("COM1  " + shown +
                         "  (environment variable): Missing\n"
                         "COM2  /nonexistent/drawertest-port  (environment variable): Missing\n"));
    EXPECT_TRUE(std::get<1>(run("ports --json"))
                    .starts_with(R"({"command":"ports","port":"COM1","device":")" + json +
                                 R"(","source":"environment variable","state":"missing",)"
                                 R"("message":"Missing"})"
                                 "\n"));
    EXPECT_EQ(run("kick --printer epson --port " + odd + " --json"),
              std::tuple(2,
                         R"({"command":"kick","printer":"epson","port":")" + json +
                             R"(","device":")" + json +
                             R"(","result":"error","message":"Unable to acquire handle for port )" +
                             json + R"j(. (2)","code":2})j" + "\n",
                         ""));
    EXPECT_TRUE(std::get<1>(run("ports --help")).starts_with("usage: drawertest ports [--json]\n"));
}

// A USB printer is a parallel port's device that answers the status request as a serial
// printer does: asked for the drawer, it is the serial screen's; sent a kick, the parallel one's.
TEST(PrinterRequest, AUsbPrinterIsAskedForTheDrawerAsOnASerialPort) {
    cli::PortArgument usb{"/dev/usb/lp0", "LPT1", true, ports::PortKind::Parallel,
                          "/dev/usb/lp0", true};
    for (const auto& [action, usbPrinter, port] :
         {std::tuple{cli::PrinterAction::Status, true, "COM1"},
          std::tuple{cli::PrinterAction::Kick, true, "LPT1"},
          std::tuple{cli::PrinterAction::Status, false, ""}}) {
        usb.usbPrinter = usbPrinter;
        const auto checked = cli::checkPrinterRequest({action, "epson", usb});
        const auto* request = std::get_if<cli::PrinterRequest>(&checked);
        EXPECT_EQ(request ? request->port.port : "", port);
    }
}

}  // namespace
