// The command line's words: the subcommands, their options and help texts, and the checks that
// turn whatever cannot be understood into a clear message and the usage exit code.
#include "cli/command_line.h"

#include <algorithm>
#include <chrono>
#include <iostream>
#include <map>
#include <optional>

#include "cli/commands.h"
#include "screens/printers/printer_table.h"
#include "screens/printers/status_request.h"

namespace cli {

namespace {

const char* const kProgramHelp =
    "usage: drawertest                       opens the window\n"
    "       drawertest --demo                opens the window with a simulated device on every\n"
    "                                        port, to try each screen without hardware\n"
    "       drawertest COMMAND [OPTIONS]     runs one test without a window\n"
    "\n"
    "commands:\n"
    "  kick       send a receipt printer's drawer-open command\n"
    "  status     read the drawer state through a receipt printer on a serial port\n"
    "  page       print the test page on a receipt printer, the drawer kick after it on request\n"
    "  interface  send the opening character to a Dunmere drawer interface\n"
    "  ports      the device behind each port, its state, and the devices found\n"
    "  find       ask every port what drawer or printer is there, without printing or kicking\n"
    "\n"
    "PORT is COM1, COM2, LPT1 or LPT2, the ports of the window, which the Ports dialog and the\n"
    "variables DRAWERTEST_COM1, DRAWERTEST_COM2, DRAWERTEST_LPT1 and DRAWERTEST_LPT2 point at\n"
#ifdef _WIN32
    "other devices as for the window; a device path (\\\\.\\COM12, \\\\.\\LPT3); or a network\n"
    "printer's host:port (port 9100 when none is given). An LPT device is a parallel port, any\n"
    "other device a serial one. A printer on a serial port gets what the serial screen of its\n"
    "brand sends, one on a parallel port what the parallel screen sends.\n"
#else
    "other devices as for the window; a device path (or a device's name under /dev: ttyUSB0);\n"
    "or a network printer's host:port (port 9100 when none is given). A FIFO or a printer\n"
    "device (/dev/lp*, /dev/usb/lp*) is a parallel port, any other device a serial one; a USB\n"
    "printer (/dev/usb/lp*) is asked for the drawer state as on a serial port. A printer on a\n"
    "serial port gets what the serial screen of its brand sends, one on a parallel port what\n"
    "the parallel screen sends.\n"
#endif
    "\n"
    "every command takes:\n"
    "  --json     each result as one JSON object on a line of its own\n"
    "  --help     the command's options\n"
    "\n"
    "exit codes:\n"
    "  0   done (status: the drawer is open)\n"
    "  1   status: the drawer is closed\n"
    "  2   no reply, a reply that tells nothing of the drawer, or a port error\n"
    "  64  the command line could not be understood\n"
#ifndef _WIN32
    // Windows always has a desktop for the window.
    "  69  the window (drawertest, drawertest --demo) found no display\n"
#endif
    ;

std::string printerOption(screens::BrandFilter only = nullptr) {
    return "  --printer NAME  " + screens::printerNames(only) + "\n";
}

// Each brand's kick command in a few words, with the brands that share it.
std::string kickCommands() {
    std::vector<std::pair<std::string, std::string>> groups;
    for (const screens::PrinterBrand* brand : screens::printerBrands()) {
        const protocol::CommandSet& commands = brand->commands();
        auto group = std::find_if(groups.begin(), groups.end(),
                                  [&](const auto& g) { return g.first == commands.kickSummary; });
        if (group == groups.end()) {
            groups.emplace_back(commands.kickSummary, commands.title);
        } else {
            group->second += std::string(", ") + commands.title;
        }
    }
    std::string text;
    for (const auto& [summary, titles] : groups)
        text += (text.empty() ? "" : ", ") + summary + " (" + titles + ")";
    return text;
}
const char* const kPortOption =
    "  --port PORT     COM1, COM2, LPT1, LPT2 or a device path (see drawertest --help)\n";
std::string drawerOptions() {
    return "  --drawer N      drawer 1 (the default) or 2\n"
           "  --alternate     drawer 1's alternate character (1C) on a " +
           screens::printerTitles(screens::hasAlternateTrigger, " or ") + " printer\n";
}
const char* const kJsonOption = "  --json          the result as one JSON object\n";

std::string milliseconds(std::chrono::milliseconds time) {
    return std::to_string(time.count()) + " ms";
}

struct Option {
    const char* name;
    bool takesValue;
    bool repeats = false;  // may be given more than once
};

struct Subcommand {
    const char* name;
    std::vector<Option> options;
    bool takesName;  // interface NAME
    std::string help;
};

const std::vector<Subcommand>& subcommands() {
    static const std::vector<Subcommand> list{
        {"kick",
         {{"--printer", true}, {"--port", true}, {"--drawer", true}, {"--alternate", false}},
         false,
         std::string("usage: drawertest kick --printer NAME --port PORT [--drawer 1|2] "
                     "[--alternate] [--json]\n\n"
                     "Sends the printer's drawer-open command, as its screen sends it after the "
                     "test page with\n\"Test Drawer\" checked: ") +
             kickCommands() + ".\n" + printerOption() + kPortOption + drawerOptions() +
             kJsonOption},
        {"status",
         {{"--printer", true}, {"--port", true}, {"--watch", false}},
         false,
         "usage: drawertest status --printer " +
             screens::printerNames(screens::readsDrawerState, "|", "|") +
             " --port PORT [--watch] [--json]\n\n"
             "Asks a printer on a serial port for the drawer state, as its screen does "
             "while \"Report  Drawer\nStatus\" is checked, and prints Open, Closed, "
             "Unknown (a reply the brand's rule cannot judge,\nwith the byte) or No reply "
             "(nothing within " +
             milliseconds(screens::kLateReplyBound) +
             "). Exit code 0 open, 1 closed, 2 otherwise.\n" +
             printerOption(screens::readsDrawerState) + kPortOption +
             "  --watch         ask every " + milliseconds(screens::kPollPeriod) +
             " and print each change until interrupted (Ctrl-C); the\n"
             "                  next request goes once the reply came or " +
             milliseconds(screens::kLateReplyBound) +
             " passed; No reply\n"
             "                  shows once the printer is " +
             milliseconds(screens::kReplyBound) +
             " late, until its reply comes. The exit\n"
             "                  code is that of the last reading\n" +
             kJsonOption},
        {"page",
         {{"--printer", true},
          {"--port", true},
          {"--kick", false},
          {"--drawer", true},
          {"--alternate", false}},
         false,
         std::string("usage: drawertest page --printer NAME --port PORT [--kick [--drawer 1|2] "
                     "[--alternate]] [--json]\n\n"
                     "Prints the screen's test page with its feed and cut, as \"Test / Print \" "
                     "does; the serial\n") +
             screens::printerTitles(screens::pollsAfterPage) +
             " printer is asked for the drawer state after it, as its screen does.\n" +
             printerOption() + kPortOption +
             "  --kick          the drawer-open command after the page, as with \"Test Drawer\" "
             "checked\n" +
             drawerOptions() + kJsonOption},
        {"ports",
         {},
         false,
         "usage: drawertest ports [--json]\n\n"
         "Lists COM1, COM2, LPT1 and LPT2 with the device behind each, where that comes from and\n"
         "whether it can be used now, then the devices found on this computer, as the Ports\n"
         "dialog shows them. Nothing is opened or sent.\n"
         "  --json          each port and each device found as one JSON object on a line of its\n"
         "                  own\n"},
        {"interface",
         {{"--port", true}, {"--baud", true}, {"--char", true}, {"--repeat", true}},
         true,
         std::string("usage: drawertest interface alder|birch|cedar|maple --port PORT [--baud N] "
                     "[--char N]\n                             [--repeat N] [--json]\n\n"
                     "Sends the opening character as \"Trigger Drawer\" on the interface's screen "
                     "does, at the\nscreen's values where an option is left out:\n") +
             kPortOption +
             "  --baud N        the line's rate (serial interfaces)\n"
             "  --char N        the opening character, in decimal\n"
             "  --repeat N      how many times it is sent (Alder, Birch, Cedar)\n" +
             kJsonOption + "\n" + interfaceHelp()},
        {"find",
         {{"--port", true, true}},
         false,
         "usage: drawertest find [--port PORT]... [--json]\n\n"
         "Asks every port what is on it, as \"Find...\" in the Ports dialog does: COM1, COM2, "
         "LPT1\n"
         "and LPT2 (their saved choices and DRAWERTEST_* variables included), the serial ports\n"
         "and printers found on this computer, and each PORT given. A serial line has its modem\n"
         "lines read and is asked for each printer brand's status at 9600 baud, then at 19200,\n"
         "38400, 57600 and 115200 while nothing answers (Star's and Ithaca's ENQ not at 19200\n"
         "and 38400, where a device at three times the rate would read it as a drawer kick); a\n"
         "USB or parallel printer is asked for its device ID, a network printer for its status.\n"
         "Only status requests go out: nothing prints, feeds, cuts or kicks, and each line's\n"
         "settings are put back. Each port is printed as it is done, within 2 s of its open;\n"
         "Ctrl-C ends the search there.\n"
         "Exit code 0 when a printer or a drawer interface was found, 2 otherwise.\n"
         "  --port PORT     a device path or host:port to ask besides (may be repeated)\n" +
             std::string(kJsonOption)},
    };
    return list;
}

struct Arguments {
    std::map<std::string, std::string> values;  // options with a value, and flags ("")
    std::vector<std::string> repeated;          // the values of an option that repeats
    std::optional<std::string> name;
    bool help = false;
};

// A usage error: the message, and where to read more, on standard error.
int badUsage(const std::string& message, const char* subcommand) {
    std::cerr << "drawertest: " << message << "\n"
              << "Try 'drawertest " << (subcommand ? std::string(subcommand) + " " : "")
              << "--help'.\n";
    return kBadUsage;
}

// The options after the subcommand, or the usage error.
std::variant<Arguments, std::string> readArguments(const Subcommand& subcommand,
                                                   const std::vector<std::string>& arguments) {
    Arguments read;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            read.help = true;
            return read;
        }
        if (!argument.starts_with("-")) {
            if (!subcommand.takesName || read.name)
                return "unexpected argument '" + argument + "'";
            read.name = argument;
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        const Option* option = nullptr;
        for (const Option& known : subcommand.options) {
            if (name == known.name)
                option = &known;
        }
        static const Option kJson{"--json", false};
        if (name == kJson.name)
            option = &kJson;
        if (!option)
            return "unknown option '" + name + "'";
        if (read.values.contains(name) && !option->repeats)
            return name + " is given twice";
        std::string value;
        if (option->takesValue) {
            if (equals != std::string::npos) {
                value = argument.substr(equals + 1);
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i];
            } else {
                return name + " needs a value";
            }
            if (value.empty())
                return name + " needs a value";
        } else if (equals != std::string::npos) {
            return name + " takes no value";
        }
        read.values[name] = value;
        if (option->repeats)
            read.repeated.push_back(value);
    }
    return read;
}

std::optional<std::string> valueOf(const Arguments& read, const std::string& name) {
    const auto it = read.values.find(name);
    return it == read.values.end() ? std::nullopt : std::optional(it->second);
}

}  // namespace

int runCommandLine(const std::vector<std::string>& arguments, const ports::DeviceMap& devices,
                   const std::string& systemRoot) {
    const std::string& first = arguments.front();
    if (first == "--help" || first == "-h") {
        std::cout << kProgramHelp;
        return kDone;
    }
    const Subcommand* subcommand = nullptr;
    for (const Subcommand& known : subcommands()) {
        if (first == known.name)
            subcommand = &known;
    }
    if (!subcommand)
        return badUsage("unknown command '" + first + "'", nullptr);

    auto parsed = readArguments(*subcommand, arguments);
    if (const auto* error = std::get_if<std::string>(&parsed))
        return badUsage(*error, subcommand->name);
    const Arguments& read = std::get<Arguments>(parsed);
    if (read.help) {
        std::cout << subcommand->help;
        return kDone;
    }
    const Output output{read.values.contains("--json")};
    const std::string command = subcommand->name;
    if (command == "ports")
        return listPorts(devices, output);
    if (command == "find") {
        std::vector<std::string> addresses;
        for (const std::string& given : read.repeated) {
            const std::optional<PortArgument> port = parsePort(given);
            if (!port)
                return badUsage("'" + given + "' is no port: a device path or host:port",
                                subcommand->name);
            // The program's own ports are asked anyway.
            if (port->isPath)
                addresses.push_back(port->path);
        }
        return runFind(addresses, devices, output, systemRoot);
    }

    const std::optional<std::string> portText = valueOf(read, "--port");
    if (!portText)
        return badUsage("--port is missing", subcommand->name);
    const std::optional<PortArgument> port = parsePort(*portText);
    if (!port) {
        return badUsage(
            "'" + *portText + "' is no port: COM1, COM2, LPT1, LPT2, a device path or host:port",
            subcommand->name);
    }

    if (command == "interface") {
        if (!read.name)
            return badUsage("which interface: alder, birch, cedar or maple?", subcommand->name);
        auto request = interfaceRequest(*read.name, *port, valueOf(read, "--baud"),
                                        valueOf(read, "--char"), valueOf(read, "--repeat"));
        if (const auto* error = std::get_if<std::string>(&request))
            return badUsage(*error, subcommand->name);
        return runInterface(std::get<InterfaceRequest>(request), devices, output);
    }

    const std::optional<std::string> printer = valueOf(read, "--printer");
    if (!printer)
        return badUsage("--printer is missing", subcommand->name);
    PrinterRequest request{command == "kick"   ? PrinterAction::Kick
                           : command == "page" ? PrinterAction::Page
                                               : PrinterAction::Status,
                           *printer, *port};
    request.alternate = read.values.contains("--alternate");
    request.kick = read.values.contains("--kick");
    request.watch = read.values.contains("--watch");
    if (const auto drawer = valueOf(read, "--drawer")) {
        if (*drawer != "1" && *drawer != "2")
            return badUsage("--drawer takes 1 or 2", subcommand->name);
        request.drawer = *drawer == "1" ? 1 : 2;
    }
    if (request.action == PrinterAction::Page && !request.kick &&
        (read.values.contains("--drawer") || request.alternate))
        return badUsage("--drawer and --alternate go with --kick", subcommand->name);
    auto checked = checkPrinterRequest(request);
    if (const auto* error = std::get_if<std::string>(&checked))
        return badUsage(*error, subcommand->name);
    return runPrinter(std::get<PrinterRequest>(checked), devices, output);
}

}  // namespace cli
