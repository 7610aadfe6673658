#include "screens/common/test_screen.h"

#include "screens/common/port_steps.h"
#include "screens/common/typed_number.h"

namespace screens {

using namespace toolkit;

namespace {

const char* const kPortUnavailable = "Port in use or not available.";

struct FamilyNames {
    const char* option1;
    const char* option2;
    const char* label1;
    const char* label2;
    const char* caption1;
    const char* caption2;
};

FamilyNames namesOf(PortFamily family) {
    switch (family) {
        case PortFamily::MakerSerial:
            return {"com1",
                    "com2",
                    "Com1_Label",
                    "Com2_Label",
                    "Serial Port 1 (COM1)",
                    "Serial Port 2 (COM2)"};
        case PortFamily::PrinterSerial:
            return {"COM1",
                    "COM2",
                    "COM1_Label",
                    "COM2_Label",
                    "Serial Port1 (COM1)",
                    "Serial Port 2 (COM2)"};
        case PortFamily::MakerParallel:
        case PortFamily::PrinterParallel:
            break;
    }
    return {"LPT1",
            "LPT2",
            "LPT1_Label",
            "LPT2_Label",
            "Parallel Port1 (LPT1)",
            "Parallel Port 2 (LPT2)"};
}

}  // namespace

TestScreen::TestScreen(Application& app, Context& context, std::string name, PortFamily family)
    : Form(app, std::move(name)),
      port1Option(*this, namesOf(family).option1),
      port2Option(*this, namesOf(family).option2),
      port1Label(*this, namesOf(family).label1),
      port2Label(*this, namesOf(family).label2),
      m_context(context),
      m_family(family) {
    setBackColor(colors::kLightBlue);

    title.setFont(Font{"Arial", isPrinter() ? 15.75 : 20.25, true, false});
    title.setAlignment(Align::Center);

    for (Label* line : {&Feedback1, &Feedback2}) {
        line->setForeColor(colors::kWhite);
        line->setAlignment(Align::Center);
        line->setFont(Font{"Arial", 9.75, true, false});
    }

    exit.setCaption("<< Back");
    exit.setToolTip("Back to main test selector.");

    const FamilyNames names = namesOf(family);
    port1Label.setCaption(names.caption1);
    port2Label.setCaption(names.caption2);
    for (Label* label : {&port1Label, &port2Label}) {
        label->setForeColor(colors::kWhite);
        label->setFont(Font{"Arial", 12, true, false});
    }
    port1Option.setAccessibleName(names.caption1);
    port2Option.setAccessibleName(names.caption2);
    if (isSerial()) {
        const char* tip1 = "Select if the drawer is attached to COM1:";
        const char* tip2 = "Select if the drawer is attached to COM2:";
        port1Label.setToolTip(tip1);
        port2Label.setToolTip(tip2);
        if (family == PortFamily::MakerSerial) {
            port1Option.setToolTip(tip1);
            port2Option.setToolTip(tip2);
        }
    }

    Message_Timer.onTimer = [this] { Message_Timer_Timer(); };
    port1Option.onClick = [this] { port1_Click(); };
    port2Option.onClick = [this] { port2_Click(); };
    exit.onClick = [this] { exit_Click(); };
}

std::string TestScreen::port1Name() const {
    switch (m_family) {
        case PortFamily::MakerSerial:
            return "\\\\.\\COM1";
        case PortFamily::PrinterSerial:
            return "COM1";
        case PortFamily::MakerParallel:
        case PortFamily::PrinterParallel:
            break;
    }
    return "LPT1";
}

std::string TestScreen::port2Name() const {
    switch (m_family) {
        case PortFamily::MakerSerial:
            return "\\\\.\\COM2";
        case PortFamily::PrinterSerial:
            return "COM2";
        case PortFamily::MakerParallel:
        case PortFamily::PrinterParallel:
            break;
    }
    return "LPT2";
}

bool TestScreen::isSerial() const {
    return m_family == PortFamily::MakerSerial || m_family == PortFamily::PrinterSerial;
}

bool TestScreen::isPrinter() const {
    return m_family == PortFamily::PrinterSerial || m_family == PortFamily::PrinterParallel;
}

// ---- load and handlers ----

void TestScreen::selectFirstPort() {
    m_firstLoad = 1;
    port1Option.setValue(true);
}

void TestScreen::Message_Timer_Timer() {
    Feedback1.setCaption("");
    Feedback2.setCaption("");
}

void TestScreen::port1_Click() {
    if (m_firstLoad == 1) {
        m_firstLoad = 0;
    } else {
        ClosePort(CloseCaller::Port1);
    }
    m_port.deviceName = port1Name();
    OpenPort();
    if (m_family == PortFamily::MakerSerial)
        SetupPort();
}

void TestScreen::port2_Click() {
    ClosePort(CloseCaller::Port2);
    m_port.deviceName = port2Name();
    OpenPort();
    if (m_family == PortFamily::MakerSerial || m_family == PortFamily::MakerParallel)
        SetupPort();
}

void TestScreen::exit_Click() {
    ClosePort(CloseCaller::Back);
    m_context.navigator.showSelector();
    close();
}

// ---- the port ----

void TestScreen::OpenPort() {
    m_port.handle =
        openPort(portSystem(), m_port.deviceName, m_family == PortFamily::MakerParallel);
    if (m_port.handle >= 1) {
        showFeedback1("Handle successfully acquired for port " + m_port.deviceName + ".",
                      colors::kGreen);
        if (m_family == PortFamily::PrinterSerial)
            SetupPort();
        return;
    }
    m_port.lastError = portSystem().lastError();
    showFeedback1(openFailureText(m_port.deviceName, m_port.lastError), colors::kRed);
    showFeedback2("Port " + m_port.deviceName + " has been disabled for this session.",
                  colors::kYellow);
    if (m_port.deviceName == port1Name()) {
        disablePort(port1Option, port1Label);
    } else if (m_port.deviceName == port2Name()) {
        disablePort(port2Option, port2Label);
    }
}

void TestScreen::disablePort(OptionButton& option, Label& label) {
    option.setEnabled(false);
    label.setToolTip(kPortUnavailable);
    label.setForeColor(colors::kGrey);
}

void TestScreen::ClosePort(CloseCaller caller) {
    const bool printer = isPrinter();
    if (portSystem().closeHandle(m_port.handle) == ports::kSuccess) {
        showFeedback1(printer ? "Printer successfully closed." : "Port successfully closed.",
                      colors::kGreen);
        return;
    }
    m_port.lastError = portSystem().lastError();
    std::string failure = "Unable to close port. (";
    if (printer) {
        failure = caller == CloseCaller::Port1   ? "Unable to close Printer. ("
                  : caller == CloseCaller::Port2 ? "Unable to close print. ("
                                                 : "Unable to close printer. (";
    }
    showFeedback1(failure + std::to_string(m_port.lastError) + ")", colors::kRed);
}

// ---- feedback and writes ----

void TestScreen::showFeedback1(const std::string& text, Color color) {
    Feedback1.setForeColor(color);
    Feedback1.setCaption(text);
}

void TestScreen::showFeedback2(const std::string& text, Color color) {
    Feedback2.setForeColor(color);
    Feedback2.setCaption(text);
}

std::int16_t TestScreen::checkedValue(TextBox& box, const BoxRule& rule) {
    const double number = readTypedNumber(box.text());
    if (box.text().empty() || number < rule.low || number > rule.high) {
        box.setText(rule.standard);
        showFeedback1(rule.rangeText, colors::kRed);
        showFeedback2(rule.resetText, colors::kGreen);
    }
    return storedValue(readTypedNumber(box.text()));
}

bool TestScreen::createWriteEvent(const char* name) {
    writeOverlapped().event = portSystem().createEvent(true, false, name);
    return writeOverlapped().event != 0;
}

void TestScreen::closeWriteEvent() {
    portSystem().closeEvent(writeOverlapped().event);
}

void TestScreen::flushPort() {
    portSystem().flushFileBuffers(m_port.handle);
}

ports::ErrorCode TestScreen::writeBytes(std::initializer_list<std::uint8_t> bytes) {
    std::uint32_t written = 0;
    return portSystem().writeFile(m_port.handle, std::span(bytes.begin(), bytes.size()), written,
                                  &writeOverlapped());
}

}  // namespace screens
