#include "app/program.h"

#include <algorithm>

#include "app/dunmere_splash.h"
#include "app/find_form.h"
#include "app/finishing_form.h"
#include "app/notice.h"
#include "app/ports_form.h"
#include "app/test_form.h"
#include "app/version.h"
#include "app/visible_text.h"
#include "screens/common/test_screen.h"

namespace app {

std::vector<PortDevice> portDevicesOf(const ports::DeviceMap& devices) {
    std::vector<PortDevice> list;
    for (const auto& entry : devices.entries())
        list.emplace_back(entry.portName, entry.path);
    return list;
}

Program::Program(toolkit::Application& app, ports::PortSystem& ports,
                 std::vector<PortDevice> portDevices)
    : m_app(app),
      m_wireLog(app.clock()),
      m_recorder(ports, m_wireLog),
      m_context{m_recorder, m_records, *this},
      m_portDevices(std::move(portDevices)) {
    // Each screen's recording is under way before its load opens its port.
    addScreenListener([this](const screens::ScreenEntry& screen) { m_wireLog.start(screen); });
    m_recorder.setCloseWaitListener(this);
    m_app.setLastWindowGone([this] { lastWindowGone(); });
}

Program::~Program() {
    m_recorder.setCloseWaitListener(nullptr);
    m_app.setLastWindowGone(nullptr);
}

bool Program::keepWaiting(const ports::ClosingPort& closing) {
    return !m_app.keepWaiting(stillSendingNote(closing), kStopNow);
}

void Program::lastWindowGone() {
    if (!m_recorder.closingPorts().empty())
        m_app.open<FinishingForm>(m_recorder);
}

void Program::addScreenListener(ScreenListener listener) {
    m_screenListeners.push_back(std::move(listener));
}

void Program::start() {
    m_app.open<DunmereSplash>(*this);
}

void Program::showNotice() {
    m_app.open<Notice>(*this);
}

void Program::showSelector() {
    m_app.open<TestForm>(*this);
}

void Program::showScreen(const std::string& formName) {
    const screens::ScreenEntry* screen = screens::screenNamed(formName);
    if (screen == nullptr)
        return;
    for (const ScreenListener& listener : m_screenListeners)
        listener(*screen);
    screen->open(m_app, m_context);
    if (const toolkit::Form* form = m_app.activeForm())
        m_wireLog.setCaption(form->caption());
}

void Program::showAbout() {
    std::string text = "Dunmere Cash Drawer Test Utility\n" + versionText(programVersion()) + "\n";
    for (const auto& [port, device] : m_portDevices)
        text += "\n" + port + ": " + visibleText(device);
    m_app.showMessage("About", text);
}

void Program::showPorts() {
    if (m_portChoices != nullptr)
        m_app.open<PortsForm>(*this, *m_portChoices);
}

void Program::showFind(bool fromPorts) {
    m_app.open<FindForm>(*this, fromPorts);
}

std::vector<find::Candidate> Program::findCandidates() const {
    if (m_portChoices != nullptr)
        return find::candidatesOf(m_portChoices->devices(), m_portChoices->found(), {},
                                  m_portChoices->systemRoot());
    std::vector<find::Candidate> simulated;
    for (const std::string port : {"COM1", "COM2", "LPT1", "LPT2"}) {
        simulated.push_back(
            {port,
             {},
             {port},
             port.starts_with("LPT") ? ports::Reach::ParallelPort : ports::Reach::SerialLine});
    }
    return simulated;
}

std::string Program::portForFound(const find::Finding& finding) const {
    const screens::ScreenEntry* screen = screens::screenNamed(finding.screen());
    if (screen == nullptr)
        return {};
    const bool serial = screen->family == screens::PortFamily::MakerSerial ||
                        screen->family == screens::PortFamily::PrinterSerial;
    const std::string prefix = serial ? "COM" : "LPT";
    for (const std::string& port : finding.candidate.ports) {
        if (port.starts_with(prefix))
            return port;
    }
    if (m_portChoices == nullptr)
        return {};
    for (const char* number : {"1", "2"}) {
        const std::string port = prefix + number;
        if (m_portChoices->devices().find(port)->source != ports::PathSource::Environment)
            return port;
    }
    return {};
}

void Program::openFound(const find::Finding& finding) {
    const std::string port = portForFound(finding);
    if (port.empty())
        return;
    const auto& own = finding.candidate.ports;
    if (std::find(own.begin(), own.end(), port) == own.end())
        m_portChoices->choose(port, finding.candidate.path);
    showScreen(finding.screen());
    // The screen opened port 1; port 2 is picked as a person would pick it.
    auto* screen = dynamic_cast<screens::TestScreen*>(m_app.activeForm());
    if (screen != nullptr && port.ends_with('2'))
        screen->port2Option.setValue(true);
}

void Program::startSearchLog() {
    m_wireLog.startSearch("Find");
}

void Program::showWireLog() {
    if (m_showWireLog)
        m_showWireLog();
}

bool Program::offersWireLog(const toolkit::Form& form) {
    return dynamic_cast<const screens::TestScreen*>(&form) != nullptr ||
           dynamic_cast<const FindForm*>(&form) != nullptr;
}

}  // namespace app
