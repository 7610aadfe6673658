#include "app/ports_form.h"

namespace app {

using namespace toolkit;
using ports::DeviceState;
using ports::PathSource;

namespace {

Color stateColor(DeviceState state) {
    switch (state) {
        case DeviceState::Ready:
        case DeviceState::Network:
            return colors::kGreen;
        case DeviceState::Held:
            return colors::kYellow;
        default:
            return colors::kRed;
    }
}

std::string sourceText(const ports::DeviceMap::Entry& entry) {
    switch (entry.source) {
        case PathSource::Standard:
            return "The standard device for " + entry.portName + ".";
        case PathSource::Saved:
            return "Your saved choice.";
        case PathSource::ThisRun:
            return "Your choice for this run only: it could not be saved.";
        case PathSource::Environment:
            return "Set by DRAWERTEST_" + entry.portName + ", which wins over a choice made here.";
    }
    return {};
}

}  // namespace

PortsForm::Row::Row(Form& form, const std::string& portName)
    : port(portName),
      name(form, portName + "_Label"),
      device(form, portName + "_Device"),
      found(form, portName + "_Found"),
      source(form, portName + "_Source"),
      state(form, portName + "_State") {}

PortsForm::PortsForm(Application& app, Program& program, PortChoices& choices)
    : Form(app, "PortsForm"), m_program(program), m_choices(choices) {
    setCaption("Ports");
    setBackColor(colors::kLightBlue);
    setSize(640, 480);

    title.setCaption("The device behind each port");
    title.setFont(Font{"Arial", 12, true, false});
    title.setForeColor(colors::kWhite);
    title.setGeometry(16, 12, 608, 24);

    const Font bold{"Arial", 9.75, true, false};
    DeviceHeading.setCaption("Device (a path, or host:port for a network printer)");
    DeviceHeading.setGeometry(76, 42, 300, 18);
    FoundHeading.setCaption("Devices found on this computer");
    FoundHeading.setGeometry(386, 42, 238, 18);
    int top = 62;
    for (Row* row : rows()) {
        row->name.setCaption(row->port);
        row->name.setForeColor(colors::kWhite);
        row->name.setGeometry(16, top + 3, 56, 20);
        row->name.setFont(Font{"Arial", 11.25, true, false});
        row->device.setGeometry(76, top, 300, 24);
        row->device.setAccessibleName(row->port + " device");
        row->device.setToolTip("Type a device path, or host:port for a network printer.");
        row->found.setGeometry(386, top, 238, 24);
        row->found.setAccessibleName(row->port + " devices found");
        row->found.setToolTip("Devices found on this computer.");
        row->source.setGeometry(76, top + 28, 548, 18);
        row->state.setGeometry(76, top + 48, 548, 18);
        row->state.setFont(bold);
        Row& r = *row;
        row->found.onClick = [this, &r] { found_Click(r); };
        row->device.onChange = [this, &r] { device_Change(r); };
        top += 86;
    }

    Find.setCaption("Find...");
    Find.setToolTip("Ask every port what drawer or printer is on it, without printing or kicking.");
    Find.setFont(bold);
    Find.setGeometry(16, 432, 96, 32);
    Find.onClick = [this] { Find_Click(); };
    OK.setCaption("OK");
    OK.setToolTip("Keep these devices, now and on later runs.");
    OK.setFont(bold);
    OK.setGeometry(424, 432, 96, 32);
    OK.onClick = [this] { OK_Click(); };
    Cancel.setCaption("Cancel");
    Cancel.setFont(bold);
    Cancel.setGeometry(528, 432, 96, 32);
    Cancel.onClick = [this] { Cancel_Click(); };

    NotSaved.setForeColor(colors::kRed);
    NotSaved.setFont(bold);
    NotSaved.setWordWrap(true);
    // Above the buttons, beside which Find... stands.
    NotSaved.setGeometry(16, 390, 608, 40);
}

void PortsForm::load() {
    const std::vector<ports::FoundDevice> found = m_choices.found();
    for (Row* row : rows()) {
        const ports::DeviceMap::Entry& entry = *m_choices.devices().find(row->port);
        const std::string standard = ports::DeviceMap::standardPath(row->port);
        std::vector<std::string> items{"Standard: " + standard};
        row->foundPaths = {standard};
        row->foundQueue = {false};
        for (const ports::FoundDevice& device : found) {
            if (!device.fits(entry.kind) && !device.printQueue)
                continue;
            items.push_back(device.path + "  (" + device.note + ")");
            row->foundPaths.push_back(device.path);
            row->foundQueue.push_back(device.printQueue);
        }
        row->found.setItems(std::move(items));
        row->source.setCaption(sourceText(entry));
        row->source.setForeColor(entry.source == PathSource::ThisRun ? colors::kYellow
                                                                     : colors::kBlack);
        // The variable wins: what is chosen here would not be used.
        const bool choosable = entry.source != PathSource::Environment;
        row->device.setEnabled(choosable);
        row->found.setEnabled(choosable);
        row->device.setText(entry.path);
        device_Change(*row);
    }
}

void PortsForm::found_Click(Row& row) {
    const int index = row.found.listIndex();
    if (index < 0 || index >= static_cast<int>(row.foundPaths.size()))
        return;
    const auto i = static_cast<std::size_t>(index);
    if (!row.foundQueue[i]) {
        row.device.setText(row.foundPaths[i]);
        return;
    }
    // A port cannot lead to a print queue: what to do instead, and the device stays.
    row.state.setCaption(std::string("Print queue: ") + ports::kPrintQueueAdvice);
    row.state.setForeColor(colors::kRed);
}

void PortsForm::device_Change(Row& row) {
    const ports::PortKind kind = m_choices.devices().find(row.port)->kind;
    // No device at all is the standard one.
    const std::string path =
        row.device.text().empty() ? ports::DeviceMap::standardPath(row.port) : row.device.text();
    const DeviceState state = m_choices.state(path, kind);
    row.state.setCaption(ports::describe(state, kind, path));
    row.state.setForeColor(stateColor(state));
}

// What was typed here and not kept on OK is dropped, as Cancel drops it.
void PortsForm::Find_Click() {
    m_program.showFind(true);
    close();
}

// Every port shares one store, so one reason tells why none could be kept. The dialog then
// stays, showing what is in force.
void PortsForm::OK_Click() {
    std::string failure;
    for (Row* row : rows()) {
        if (row->device.isUsable()) {
            if (std::string why = m_choices.choose(row->port, row->device.text()); !why.empty())
                failure = std::move(why);
        }
    }
    if (failure.empty()) {
        m_program.showSelector();
        close();
        return;
    }
    load();
    NotSaved.setCaption("Your choices could not be saved: " + failure +
                        ". They hold until drawertest ends.");
}

void PortsForm::Cancel_Click() {
    m_program.showSelector();
    close();
}

}  // namespace app
