// The program: its start (the splash), the navigation between its windows, and the wire log of
// the test screen that is open or was last.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/port_choices.h"
#include "app/wire_log.h"
#include "find/finding.h"
#include "ports/naming/device_map.h"
#include "ports/port_system.h"
#include "ports/port_types.h"
#include "ports/recording/recording_port_system.h"
#include "screens/common/context.h"
#include "screens/screen_table.h"
#include "toolkit/application.h"

namespace app {

// A port name and the device behind it, as the About box lists them.
using PortDevice = std::pair<std::string, std::string>;
// The four ports and their devices as the device map has them.
std::vector<PortDevice> portDevicesOf(const ports::DeviceMap& devices);

// While an open waits for an earlier close of its device to finish sending, the window paints
// and says so, with a button that drops what is left; when the last window goes while a port
// still sends, a window of its own says so (FinishingForm) until it has all gone.
class Program final : public screens::Navigator, private ports::CloseWaitListener {
public:
    // Told of each test screen as it opens, before its load takes a port.
    using ScreenListener = std::function<void(const screens::ScreenEntry&)>;

    Program(toolkit::Application& app, ports::PortSystem& ports,
            std::vector<PortDevice> portDevices);
    ~Program() override;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    void addScreenListener(ScreenListener listener);

    // Starting the program means showing the splash; nothing else happens at start.
    void start();

    void showNotice();
    void showSelector() override;
    void showScreen(const std::string& formName) override;
    // The About box: the program's name, its version and the device behind each port, each
    // shown as visibleText has it (the paths come from the environment).
    void showAbout();
    // The devices the About box lists, once the Ports dialog has changed them.
    void setPortDevices(std::vector<PortDevice> portDevices) {
        m_portDevices = std::move(portDevices);
    }

    // The Ports dialog, where the program chooses its devices (not in the demo, whose devices
    // are all simulated).
    void setPortChoices(PortChoices* choices) { m_portChoices = choices; }
    bool offersPortChoices() const { return m_portChoices != nullptr; }
    void showPorts();

    // Find: every port searched for drawers and printers in a window of its own, whose "<< Back"
    // leads to the Ports dialog where it was opened from there, else to the selector.
    void showFind(bool fromPorts);
    // The devices a search looks at: the ports' devices and those found on the computer; in the
    // demo, whose devices are all simulated, the four ports.
    std::vector<find::Candidate> findCandidates() const;
    // The port the test screen for a finding opens on: one of its own that leads to the device,
    // else port 1 (or 2) of the screen's kind, pointed at the device as the Ports dialog would;
    // empty when both are set by their variables.
    std::string portForFound(const find::Finding& finding) const;
    // Opens that screen on that port.
    void openFound(const find::Finding& finding);
    // A search's calls go through the wire log like a screen's; each search starts a recording.
    ports::PortSystem& portSystem() { return m_recorder; }
    void startSearchLog();

    // Every call the screens make on their ports goes through the log's recorder; each screen
    // that opens starts a new recording.
    const WireLog& wireLog() const { return m_wireLog; }
    // Shows the wire log's window, which the renderer keeps beside the forms and names here.
    void setWireLogViewer(std::function<void()> show) { m_showWireLog = std::move(show); }
    void showWireLog();
    // The test screens and Find offer the wire log by a key of their window (the selector, by
    // its menu).
    static bool offersWireLog(const toolkit::Form& form);

    toolkit::Application& application() const { return m_app; }

private:
    bool keepWaiting(const ports::ClosingPort& closing) override;
    // The program's last window has gone.
    void lastWindowGone();

    toolkit::Application& m_app;
    WireLog m_wireLog;
    ports::RecordingPortSystem m_recorder;
    std::function<void()> m_showWireLog;
    ports::SharedRecords m_records;
    screens::Context m_context;
    std::vector<PortDevice> m_portDevices;
    PortChoices* m_portChoices = nullptr;
    std::vector<ScreenListener> m_screenListeners;
};

}  // namespace app
