#include "screens/common/serial_interface_screen.h"

#include "screens/common/opening_character.h"
#include "screens/common/port_steps.h"

namespace screens {

using namespace toolkit;

SerialInterfaceScreen::SerialInterfaceScreen(Application& app, Context& context, std::string name,
                                             InterfaceTraits traits)
    : TestScreen(app, context, std::move(name), PortFamily::MakerSerial), m_traits(traits) {
    setSize(600, 540);
    title.setGeometry(10, 8, 580, 38);
    port1Option.setGeometry(30, 62, 18, 20);
    port1Label.setGeometry(54, 60, 230, 24);
    port2Option.setGeometry(30, 92, 18, 20);
    port2Label.setGeometry(54, 90, 230, 24);
    Feedback1.setGeometry(10, 448, 580, 20);
    Feedback2.setGeometry(10, 470, 580, 20);
    exit.setGeometry(20, 498, 110, 32);

    cd_status.setToolTip("Current Drawer Status");
    cd_status.setFont(Font{"Arial", 20.25, true, false});
    cd_status.setAlignment(Align::Center);
    cd_status.setGeometry(340, 176, 240, 40);

    struct Line {
        Shape& lamp;
        Label& label;
        const char* caption;
        int top;
    };
    for (const Line& line : {Line{CTS, CTS_Label, "CTS", 236}, Line{DSR, DSR_Label, "DSR", 268},
                             Line{CD, CD_Label, "CD", 300}}) {
        line.lamp.setFillColor(colors::kRed);
        line.lamp.setGeometry(400, line.top, 24, 24);
        line.label.setCaption(line.caption);
        line.label.setToolTip("0");
        line.label.setForeColor(colors::kWhite);
        line.label.setFont(Font{"Arial", 9.75, true, false});
        line.label.setGeometry(432, line.top + 2, 60, 20);
    }

    Status_timer.onTimer = [this] { Status_Timer_Timer(); };
}

void SerialInterfaceScreen::setUpDrawerCaption(Label& caption) {
    caption.setCaption("Drawer currently indicates:");
    caption.setForeColor(colors::kWhite);
    caption.setFont(Font{"Arial", 9.75, true, false});
    caption.setAlignment(Align::Center);
    caption.setGeometry(340, 152, 240, 22);
}

void SerialInterfaceScreen::SetupPort() {
    const LineSetup setup = setUpSerialLine(portSystem(), m_port.handle, m_context.records.commDcb,
                                            m_port.deviceName, m_port.baudRate, m_traits.raiseDtr);
    if (setup.failed == LineSetup::Failed::ReadingState) {
        m_port.lastError = setup.code;
        showFeedback1(lineSetupFailureText(setup, m_traits.alderTexts), colors::kRed);
        return;
    }
    showFeedback1("commsetup successfully acquired", colors::kGreen);
    m_port.settings = setup.settings;
    if (setup.failed == LineSetup::Failed::WritingState) {
        m_port.lastError = setup.code;
        showFeedback1(lineSetupFailureText(setup, m_traits.alderTexts), colors::kRed);
        return;
    }
    showFeedback1("DCB updated successfully", colors::kGreen);
}

ports::ErrorCode SerialInterfaceScreen::writeOpeningCharacter(std::int16_t openChar) {
    const std::array<std::uint8_t, 2> write = serialOpeningWrite(openChar);
    const ports::ErrorCode result = writeBytes({write[0], write[1]});
    if (result != ports::kIoPending)
        showWriteResult(result);
    return result;
}

void SerialInterfaceScreen::showWriteResult(ports::ErrorCode result) {
    if (result == ports::kSuccess) {
        showFeedback1("Trigger Character written to port.", colors::kGreen);
    } else {
        showFeedback1(kOpeningWriteFailure + std::to_string(result) + ")", colors::kRed);
    }
}

void SerialInterfaceScreen::Status_Timer_Timer() {
    Feedback2.setForeColor(colors::kGreen);
    if (portSystem().getCommModemStatus(m_port.handle, m_modemStatus) != ports::kSuccess) {
        m_port.lastError = portSystem().lastError();
        showFeedback1(m_traits.pollError + std::to_string(m_port.lastError) + ")", colors::kRed);
        return;
    }
    if (m_traits.showsDrawer) {
        const bool open = (m_modemStatus & ports::kRingOn) != 0;
        cd_status.setForeColor(open ? colors::kGreen : colors::kRed);
        cd_status.setCaption(open ? "Open" : "Closed");
        cd_status.setToolTip(open ? "Drawer indicates open." : "Drawer indicates closed.");
    }
    showLine(CTS, CTS_Label, (m_modemStatus & ports::kCtsOn) != 0, "CTS");
    showLine(DSR, DSR_Label, (m_modemStatus & ports::kDsrOn) != 0, "DSR");
    showLine(CD, CD_Label, m_modemStatus > 127, "CD");
}

void SerialInterfaceScreen::showLine(Shape& lamp, Label& label, bool on, const char* line) {
    lamp.setFillColor(on ? colors::kGreen : colors::kRed);
    label.setToolTip(std::string(line) + (on ? " On" : " Off"));
}

}  // namespace screens
