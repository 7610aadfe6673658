#include "app/program.h"

#include "app/dunmere_splash.h"
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

void Program::showWireLog() {
    if (m_showWireLog)
        m_showWireLog();
}

bool Program::offersWireLog(const toolkit::Form& form) {
    return dynamic_cast<const screens::TestScreen*>(&form) != nullptr;
}

}  // namespace app
