#include "screens/common/port_steps.h"

#include "screens/common/port_connection.h"

namespace screens {

ports::Handle openPort(ports::PortSystem& ports, const std::string& deviceName, bool clearOutput) {
    const ports::Handle handle =
        ports.createFile(deviceName, ports::kGenericReadWrite, ports::kShareReadWrite,
                         ports::kOpenExisting, ports::kPlainFile);
    if (handle >= 1 && clearOutput)
        ports.purgeComm(handle, ports::kPurgeTxClear);
    return handle;
}

std::string openFailureText(const std::string& deviceName, ports::ErrorCode code) {
    return "Unable to acquire handle for port " + deviceName + ". (" + std::to_string(code) + ")";
}

LineSetup setUpSerialLine(ports::PortSystem& ports, ports::Handle handle, ports::CommDcb& dcb,
                          const std::string& deviceName, int baudRate, bool raiseDtr) {
    LineSetup setup;
    if (ports.getCommState(handle, dcb) != ports::kSuccess) {
        setup.failed = LineSetup::Failed::ReadingState;
        setup.code = ports.lastError();
        return setup;
    }
    dcb.baudRate = static_cast<std::uint32_t>(baudRate);
    setup.settings = settingsText(deviceName, baudRate);
    ports.buildCommDcb(setup.settings, dcb);
    if (ports.setCommState(handle, dcb) != ports::kSuccess) {
        setup.failed = LineSetup::Failed::WritingState;
        setup.code = ports.lastError();
        return setup;
    }
    ports.escapeCommFunction(handle, ports::EscapeFunction::SetRts);
    if (raiseDtr)
        ports.escapeCommFunction(handle, ports::EscapeFunction::SetDtr);
    return setup;
}

std::string lineSetupFailureText(const LineSetup& setup, bool capitalised) {
    std::string text;
    switch (setup.failed) {
        case LineSetup::Failed::Nothing:
            return text;
        case LineSetup::Failed::ReadingState:
            text = "error acquiring comm setup. (";
            break;
        case LineSetup::Failed::WritingState:
            text = "error writing comm settings. (";
            break;
    }
    if (capitalised)
        text[0] = 'E';
    return text + std::to_string(setup.code) + ")";
}

void setUpParallelPort(ports::PortSystem& ports, ports::Handle handle,
                       ports::CommTimeoutsRec& timeouts) {
    ports.flushFileBuffers(handle);
    ports.setupComm(handle, 0, 0);
    ports.getCommTimeouts(handle, timeouts);
    timeouts.writeTotalTimeoutMultiplier = 0;
    timeouts.writeTotalTimeoutConstant = 0;
    ports.setCommTimeouts(handle, timeouts);
}

}  // namespace screens
