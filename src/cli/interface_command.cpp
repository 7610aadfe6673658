// interface: the opening character of a maker's interface screen, sent without a window, with
// the values that screen accepts and starts with.
#include <algorithm>
#include <charconv>

#include "cli/commands.h"
#include "cli/port_session.h"
#include "protocol/bytes.h"
#include "screens/common/opening_character.h"
#include "screens/interfaces/interface_settings.h"

namespace cli {

// How an interface takes its repeat count: from a list (Alder), by a range (Birch), as any
// any count, its default by the rate (Cedar), or not at all (Maple sends six times).
enum class Repeats { List, Range, ByRate, Fixed };

struct InterfaceModel {
    const char* name;
    const char* title;
    PortKind kind;
    const std::vector<std::string>* baudRates;  // null on a parallel port
    const char* startBaud;
    const screens::BoxRule* openChar;
    Repeats repeats;
    bool raiseDtr;
    bool capitalisedTexts;
};

namespace {

const InterfaceModel kInterfaces[] = {
    {"alder", "Alder", PortKind::Serial, &screens::kBaudRates, screens::kAlderStartBaud,
     &screens::kAlderOpenChar, Repeats::List, true, true},
    {"birch", "Birch", PortKind::Serial, &screens::kBaudRates, screens::kBirchStartBaud,
     &screens::kBirchOpenChar, Repeats::Range, false, false},
    {"cedar", "Cedar", PortKind::Serial, &screens::kCedarBaudRates, screens::kCedarStartBaud,
     &screens::kCedarOpenChar, Repeats::ByRate, false, false},
    {"maple", "Maple", PortKind::Parallel, nullptr, nullptr, &screens::kMapleOpenChar,
     Repeats::Fixed, false, false},
};

// Digits only, as many as a count or a character can sensibly have.
std::optional<int> wholeNumber(std::string_view text) {
    int value = 0;
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != text.npos)
        return std::nullopt;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::string listed(const std::vector<std::string>& items) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i)
        text += (i == 0 ? "" : i + 1 == items.size() ? " or " : ", ") + items[i];
    return text;
}

}  // namespace

std::variant<InterfaceRequest, std::string> interfaceRequest(
    std::string_view name, const PortArgument& port, const std::optional<std::string>& baud,
    const std::optional<std::string>& openChar, const std::optional<std::string>& repeat) {
    const InterfaceModel* model = nullptr;
    for (const InterfaceModel& entry : kInterfaces) {
        if (name == entry.name)
            model = &entry;
    }
    if (!model)
        return "unknown interface '" + std::string(name) + "': alder, birch, cedar or maple";
    const std::string the = std::string(" on the ") + model->title + " interface";
    if (port.kind != model->kind) {
        return std::string("the ") + model->title + " interface sits on a " +
               (model->kind == PortKind::Serial
                    ? "serial port: COM1, COM2 or a serial device"
                    : "parallel port: LPT1, LPT2, a printer device or a FIFO");
    }
    InterfaceRequest request{model, port};

    for (const auto& [option, given] :
         {std::pair{"--baud", &baud}, {"--char", &openChar}, {"--repeat", &repeat}}) {
        if (*given && !wholeNumber(**given))
            return std::string(option) + " takes a whole number, not '" + **given + "'";
    }
    if (!model->baudRates) {
        if (baud || repeat)
            return "the Maple interface has no baud rate and sends its character " +
                   std::to_string(screens::kMapleSends) + " times: no --baud, no --repeat";
    } else {
        const std::string rate = baud ? std::to_string(*wholeNumber(*baud)) : model->startBaud;
        const auto& rates = *model->baudRates;
        if (std::find(rates.begin(), rates.end(), rate) == rates.end())
            return "--baud takes " + listed(rates) + the;
        request.baudRate = std::stoi(rate);
    }

    // The screens' own range checks, on the number as typed.
    const screens::BoxRule& charRule = *model->openChar;
    const int character = openChar ? *wholeNumber(*openChar) : std::stoi(charRule.standard);
    if (character < charRule.low || character > charRule.high)
        return "--char " + std::to_string(character) + ": " + charRule.rangeText;
    request.openChar = screens::storedValue(static_cast<double>(character));

    const std::string baudText = std::to_string(request.baudRate);
    int count = 0;
    switch (model->repeats) {
        case Repeats::List: {
            const std::string text =
                repeat ? std::to_string(*wholeNumber(*repeat)) : screens::kAlderStartRepeats;
            if (std::find(screens::kAlderRepeats.begin(), screens::kAlderRepeats.end(), text) ==
                screens::kAlderRepeats.end())
                return "--repeat takes " + listed(screens::kAlderRepeats) + the;
            count = std::stoi(text);
            break;
        }
        case Repeats::Range:
            count = repeat ? *wholeNumber(*repeat) : std::stoi(screens::kBirchRepeats.standard);
            if (count < screens::kBirchRepeats.low || count > screens::kBirchRepeats.high)
                return "--repeat " + std::to_string(count) + ": " +
                       screens::kBirchRepeats.rangeText;
            break;
        case Repeats::ByRate:
            count = repeat ? *wholeNumber(*repeat) : std::stoi(screens::cedarRepeatsFor(baudText));
            if (count < 1)
                return "--repeat " + std::to_string(count) + ": " + screens::kCedarRepeatsPrompt;
            break;
        case Repeats::Fixed:
            count = screens::kMapleSends;
            break;
    }
    request.repeatCount = screens::storedValue(static_cast<double>(count));
    return request;
}

int runInterface(const InterfaceRequest& request, const ports::DeviceMap& devices,
                 const Output& output) {
    const InterfaceModel& model = *request.model;
    const bool serial = model.kind == PortKind::Serial;
    PortSession session(request.port, devices, true);
    Report report;
    report.text("command", "interface")
        .text("interface", model.name)
        .text("port", request.port.given)
        .text("device", session.devicePath());
    if (serial)
        report.number("baud", request.baudRate);
    report.number("char", request.openChar);

    if (auto failure = session.open(!serial))
        return printFailure(output, report, *failure);
    if (serial) {
        if (auto failure =
                session.setUpSerial(request.baudRate, model.raiseDtr, model.capitalisedTexts))
            return printFailure(output, report, *failure);
    } else if (!request.port.isPath && request.port.port == "LPT2") {
        // The Maple screen sets up LPT2 when it is picked; LPT1 is used as it opened.
        session.setUpParallel();
    }

    const int passes = request.repeatCount;
    report.number("repeat", passes);

    const auto openChar = static_cast<std::int16_t>(request.openChar);
    std::vector<std::uint8_t> write{screens::parallelOpeningWrite(openChar)};
    if (serial) {
        const std::array<std::uint8_t, 2> pair = screens::serialOpeningWrite(openChar);
        write.assign(pair.begin(), pair.end());
    }
    int failedWrites = 0;
    Failure lastFailure;
    for (int pass = 0; pass < passes; ++pass) {
        const ports::ErrorCode result = session.write(write);
        // The Maple screen reports every code, a write still under way included.
        if (serial ? ports::writeFailed(result) : result != ports::kSuccess) {
            ++failedWrites;
            lastFailure = {screens::kOpeningWriteFailure + std::to_string(result) + ")", result};
        }
    }
    report.number("bytes", static_cast<long long>(write.size()) * (passes - failedWrites));
    if (failedWrites > 0) {
        report.number("failed", failedWrites);
        return printFailure(output, report, lastFailure);
    }
    if (const ports::ErrorCode lost = session.finish(); lost != ports::kSuccess) {
        return printFailure(output, report,
                            {screens::kOpeningWriteFailure + std::to_string(lost) + ")", lost});
    }
    report.text("result", "done");
    std::string sentence = "Opening character " + std::to_string(request.openChar) + " (" +
                           protocol::hex(write) + ") written " + std::to_string(passes) +
                           (passes == 1 ? " time" : " times") + " to the " + model.title +
                           " interface on " + session.shownName();
    if (serial)
        sentence += " at " + std::to_string(request.baudRate) + " baud";
    output.print(report, sentence + ".", false);
    return kDone;
}

std::string interfaceHelp() {
    const auto range = [](const screens::BoxRule& rule) {
        return std::to_string(static_cast<int>(rule.low)) + " to " +
               std::to_string(static_cast<int>(rule.high)) + " (" + rule.standard + ")";
    };
    std::string help = "values (the screen's start value in brackets):\n";
    for (const InterfaceModel& model : kInterfaces) {
        help += std::string("  ") + model.name + "  ";
        if (model.baudRates)
            help += "--baud " + listed(*model.baudRates) + " (" + model.startBaud + "); ";
        help += "--char " + range(*model.openChar) + "\n         ";
        switch (model.repeats) {
            case Repeats::List:
                help += "--repeat " + listed(screens::kAlderRepeats) + " (" +
                        screens::kAlderStartRepeats + ")";
                break;
            case Repeats::Range:
                help += "--repeat " + range(screens::kBirchRepeats);
                break;
            case Repeats::ByRate: {
                help += "--repeat 1 or more (by the rate:";
                for (const std::string& rate : *model.baudRates) {
                    help += std::string(rate == model.baudRates->front() ? " " : ", ") +
                            screens::cedarRepeatsFor(rate) + " at " + rate;
                }
                help += ")";
                break;
            }
            case Repeats::Fixed:
                help += "sent " + std::to_string(screens::kMapleSends) + " times";
                break;
        }
        help += "\n";
    }
    return help;
}

}  // namespace cli
