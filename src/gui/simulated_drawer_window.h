// The "Simulated drawer" window of the demo: the device on the port the open screen holds, the
// state of each of its drawers, and what the devices have printed and done. A person opens or
// closes a drawer by hand with a click on it, or with the keys 1 and 2. A tool window beside the
// program's forms, shown in demo mode only.
#pragma once

#include <QTimer>
#include <QWidget>
#include <array>
#include <string>

#include "sim/demo_port_system.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace gui {

class SimulatedDrawerWindow final : public QWidget {
    Q_OBJECT
public:
    explicit SimulatedDrawerWindow(sim::DemoPortSystem& ports);
    ~SimulatedDrawerWindow() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void toggle(int drawer);
    void record(const std::string& port, const sim::Notice& notice);
    // Shows the device on the open port and its drawers as they are now.
    void refresh();

    sim::DemoPortSystem& m_ports;
    QLabel* m_device;
    std::array<QPushButton*, 2> m_drawers{};
    QPlainTextEdit* m_log;
    // Time passes on the lines between the screens' calls too: drawers close by themselves.
    QTimer m_timer;
};

}  // namespace gui
