// The subcommands once their command line has been read: what each asks for, the checks of
// its values against what the screens accept, and its run. A run opens its port through the
// platform's backend, sends what the matching screen sends, prints its result and answers the
// exit code.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "cli/port_argument.h"
#include "cli/report.h"
#include "ports/naming/device_map.h"

namespace cli {

// ---- ports: the devices behind the ports and those found ----

int listPorts(const ports::DeviceMap& devices, const Output& output);

// ---- find: what is on every port ----

// Each device looked at printed as it is done; 0 when a printer or an interface was found.
// `addresses` are device paths and host:port named besides the machine's own, found under
// systemRoot (ports::findDevices).
int runFind(const std::vector<std::string>& addresses, const ports::DeviceMap& devices,
            const Output& output, const std::string& systemRoot);

// ---- receipt printers: kick, page, status ----

enum class PrinterAction { Kick, Page, Status };

struct PrinterRequest {
    PrinterAction action;
    std::string printer;  // a brand's command-line name (screens/printers/printer_table.h)
    PortArgument port;
    int drawer = 1;
    bool alternate = false;  // drawer 1's alternate character, where the brand has one
    bool kick = false;       // page: the drawer command after the page
    bool watch = false;      // status: every change until interrupted
};

// The request, or the usage error that tells what is wrong with it.
std::variant<PrinterRequest, std::string> checkPrinterRequest(PrinterRequest request);
int runPrinter(const PrinterRequest& request, const ports::DeviceMap& devices,
               const Output& output);

// ---- the maker's interfaces ----

struct InterfaceModel;

struct InterfaceRequest {
    const InterfaceModel* model = nullptr;
    PortArgument port;
    int baudRate = 0;
    int openChar = 0;
    int repeatCount = 0;
};

// The interface NAME with its options as typed (absent: the screen's start value), or the
// usage error.
std::variant<InterfaceRequest, std::string> interfaceRequest(
    std::string_view name, const PortArgument& port, const std::optional<std::string>& baud,
    const std::optional<std::string>& openChar, const std::optional<std::string>& repeat);
int runInterface(const InterfaceRequest& request, const ports::DeviceMap& devices,
                 const Output& output);
// The values each interface takes and starts with, as a table for the help text.
std::string interfaceHelp();

}  // namespace cli
