// drawertest ports: the device behind each port, where it comes from and its state, and the
// devices found on this computer, as the Ports dialog shows them. Device names come from the
// system and the user: shown, never obeyed (Output).
#include "cli/commands.h"
#include "ports/naming/device_survey.h"

namespace cli {

namespace {

const char* sourceName(ports::PathSource source) {
    switch (source) {
        case ports::PathSource::Standard:
            return "standard";
        case ports::PathSource::Saved:
            return "saved choice";
        case ports::PathSource::ThisRun:
            return "chosen for this run";
        case ports::PathSource::Environment:
            break;
    }
    return "environment variable";
}

const char* stateName(ports::DeviceState state) {
    switch (state) {
        case ports::DeviceState::Ready:
            return "ready";
        case ports::DeviceState::Held:
            return "held";
        case ports::DeviceState::Missing:
            return "missing";
        case ports::DeviceState::NotPermitted:
            return "not permitted";
        case ports::DeviceState::Unsuitable:
            return "unsuitable";
        case ports::DeviceState::Network:
            break;
    }
    return "network";
}

}  // namespace

int listPorts(const ports::DeviceMap& devices, const Output& output) {
    for (const ports::DeviceMap::Entry& entry : devices.entries()) {
        const ports::DeviceState state = ports::deviceState(entry.path, entry.kind);
        const std::string description = ports::describe(state, entry.kind, entry.path);
        Report report;
        report.text("command", "ports")
            .text("port", entry.portName)
            .text("device", entry.path)
            .text("source", sourceName(entry.source))
            .text("state", stateName(state))
            .text("message", description);
        output.print(report,
                     entry.portName + "  " + entry.path + "  (" + sourceName(entry.source) +
                         "): " + description,
                     false);
    }
    const std::vector<ports::FoundDevice> found = ports::findDevices();
    if (!output.json) {
        output.print({}, "", false);
        output.print({}, found.empty() ? "devices found: none" : "devices found:", false);
    }
    for (const ports::FoundDevice& device : found) {
        Report report;
        report.text("command", "ports")
            .text("found", device.path)
            .text("kind", device.printQueue                        ? "print queue"
                          : device.usbPrinter                      ? "usb printer"
                          : device.kind == ports::PortKind::Serial ? "serial"
                                                                   : "parallel")
            .text("note", device.note);
        std::string sentence = "  " + device.path + "  (" + device.note + ")";
        if (device.printQueue) {
            report.text("advice", ports::kPrintQueueAdvice);
            sentence += ": " + std::string(ports::kPrintQueueAdvice);
        }
        output.print(report, sentence, false);
    }
    return kDone;
}

}  // namespace cli
