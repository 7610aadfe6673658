#include "app/finishing_form.h"

#include <algorithm>

namespace app {

using namespace toolkit;

namespace {

std::string secondsLeft(std::chrono::milliseconds left) {
    const auto seconds = std::max<long long>(1, (left.count() + 999) / 1000);
    return " (" + std::to_string(seconds) + " s left)";
}

}  // namespace

std::string stillSendingNote(const ports::ClosingPort& closing) {
    return closing.port + " is still sending the last test" + secondsLeft(closing.left);
}

std::string finishingNote(const std::vector<ports::ClosingPort>& closing) {
    std::string ports;
    std::chrono::milliseconds left{0};
    for (std::size_t i = 0; i < closing.size(); ++i) {
        ports += (i == 0 ? "" : i + 1 == closing.size() ? " and " : ", ") + closing[i].port;
        left = std::max(left, closing[i].left);
    }
    return "Finishing sending to " + ports + secondsLeft(left);
}

FinishingForm::FinishingForm(Application& app, ports::PortSystem& ports)
    : Form(app, "Finishing"), m_ports(ports) {
    setCaption("Finishing");
    setSize(360, 110);

    note.setGeometry(12, 16, 336, 36);
    note.setFont(Font{"Arial", 9.75, true, false});
    note.setAlignment(Align::Center);
    note.setWordWrap(true);

    StopNow.setCaption(kStopNow);
    StopNow.setToolTip("Drop what is still to send and end at once");
    StopNow.setGeometry(130, 64, 100, 30);
    StopNow.onClick = [this] { close(); };

    Refresh_Timer.onTimer = [this] { Refresh_Timer_Timer(); };
}

void FinishingForm::load() {
    Refresh_Timer_Timer();
}

void FinishingForm::unload() {
    m_ports.stopClosing();
}

void FinishingForm::Refresh_Timer_Timer() {
    const std::vector<ports::ClosingPort> closing = m_ports.closingPorts();
    if (closing.empty()) {
        close();
        return;
    }
    note.setCaption(finishingNote(closing));
}

}  // namespace app
