// What a port's close still sends, told in words: the note an open shows while it waits for
// the close of its device, and the small window the program shows when its last window has gone
// while a port still sends ("Finishing sending to COM1 (8 s left)"), with "Stop now", which drops
// what is left and lets the program end at once. It closes by itself once all has gone.
#pragma once

#include <string>
#include <vector>

#include "ports/closing_port.h"
#include "ports/port_system.h"
#include "toolkit/application.h"

namespace app {

// "COM1 is still sending the last test (8 s left)".
std::string stillSendingNote(const ports::ClosingPort& closing);
// "Finishing sending to COM1 (8 s left)"; two ports: "to COM1 and LPT1", the longer time.
std::string finishingNote(const std::vector<ports::ClosingPort>& closing);
inline constexpr const char* kStopNow = "Stop now";

class FinishingForm final : public toolkit::Form {
public:
    FinishingForm(toolkit::Application& app, ports::PortSystem& ports);

    toolkit::Label note{*this, "note"};
    toolkit::CommandButton StopNow{*this, "StopNow"};
    toolkit::Timer Refresh_Timer{*this, "Refresh_Timer", toolkit::Millis(250), true};

private:
    void load() override;
    // However the window goes, nothing is left sending behind it.
    void unload() override;
    void Refresh_Timer_Timer();

    ports::PortSystem& m_ports;
};

}  // namespace app
