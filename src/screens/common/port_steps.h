// The port steps of the screens, written once for them and for the command line: the open with
// the arguments every screen passes, the serial line's set-up, the Maple interface's LPT2
// set-up, and the texts their failures show.
#pragma once

#include <string>

#include "ports/port_system.h"

namespace screens {

// Opens a port by the name the screen stores. The Maple interface starts on an empty output
// queue (`clearOutput`).
ports::Handle openPort(ports::PortSystem& ports, const std::string& deviceName, bool clearOutput);
// "Unable to acquire handle for port COM1. (2)"
std::string openFailureText(const std::string& deviceName, ports::ErrorCode code);

// A serial set-up: the port's state read into the block, made 8N1 at the rate and written back,
// then RTS raised (and DTR where asked; those results are not looked at).
struct LineSetup {
    enum class Failed { Nothing, ReadingState, WritingState };
    Failed failed = Failed::Nothing;
    ports::ErrorCode code = ports::kSuccess;  // the platform's last error after a failure
    std::string settings;                     // the settings text, once it was built
};
LineSetup setUpSerialLine(ports::PortSystem& ports, ports::Handle handle, ports::CommDcb& dcb,
                          const std::string& deviceName, int baudRate, bool raiseDtr);
// "error acquiring comm setup. (N)" or "error writing comm settings. (N)", capitalised on the
// Alder screen; empty after a set-up that did not fail.
std::string lineSetupFailureText(const LineSetup& setup, bool capitalised);

// The Maple interface's LPT2 set-up: the port flushed, its queues left to the driver and no
// write time-out. No result is looked at.
void setUpParallelPort(ports::PortSystem& ports, ports::Handle handle,
                       ports::CommTimeoutsRec& timeouts);

}  // namespace screens
