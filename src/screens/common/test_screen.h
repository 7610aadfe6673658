// The frame every test screen shares: heading, the two feedback lines and their message
// timer, the two port options that move the screen's one port connection between port 1 and
// port 2, "<< Back", and the port's open and close with every message they show.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "screens/common/context.h"
#include "screens/common/port_connection.h"
#include "screens/common/typed_number.h"
#include "toolkit/application.h"

namespace screens {

// The kinds of port handling. The maker's serial interfaces open "\\.\COM1" and set the port
// up after every port pick; the Maple interface opens "LPT1", clears pending output after each
// open and sets the port up after an LPT2 pick only; serial printers open "COM1" and set it up
// inside OpenPort; parallel printers open "LPT1" and set nothing up.
enum class PortFamily { MakerSerial, MakerParallel, PrinterSerial, PrinterParallel };

// Who closes the port: the close messages of the printer screens differ by caller.
enum class CloseCaller { Port1, Port2, Back, AlderAdvanced };

class TestScreen : public toolkit::Form {
public:
    toolkit::Label title{*this, "title"};
    toolkit::Label Feedback1{*this, "Feedback1"};
    toolkit::Label Feedback2{*this, "Feedback2"};
    toolkit::Timer Message_Timer{*this, "Message_Timer", toolkit::Millis{4000}, true};
    toolkit::CommandButton exit{*this, "exit"};
    // com1/com2, COM1/COM2 or LPT1/LPT2 with their labels, named after the family.
    toolkit::OptionButton port1Option;
    toolkit::OptionButton port2Option;
    toolkit::Label port1Label;
    toolkit::Label port2Label;

    const PortConnection& port() const { return m_port; }

protected:
    TestScreen(toolkit::Application& app, Context& context, std::string name, PortFamily family);

    // The common part of every load: set the first-load flag and select the port 1 option,
    // which opens port 1 without closing anything.
    void selectFirstPort();

    void Message_Timer_Timer();
    void port1_Click();
    void port2_Click();
    void exit_Click();

    void OpenPort();
    virtual void SetupPort() {}
    void ClosePort(CloseCaller caller);

    // The feedback lines.
    void showFeedback1(const std::string& text, toolkit::Color color);
    void showFeedback2(const std::string& text, toolkit::Color color);

    // A text that is empty or whose number lies outside the rule's range never stays: the
    // default goes back in (which runs the box's change handler again, nested), then the range
    // text shows in red in Feedback1 and the reset text in green in Feedback2. Returns the
    // box's number as stored.
    std::int16_t checkedValue(toolkit::TextBox& box, const BoxRule& rule);

    // The steps of a write sequence, all on this screen's port through the shared records.
    ports::PortSystem& portSystem() const { return m_context.ports; }
    ports::WriteOverlapped& writeOverlapped() const { return m_context.records.writeOverlapped; }
    // Creates the manual-reset, non-signalled write-completion event (named, or unnamed for a
    // null name) and stores it in WriteOverlapped; false when it could not be created.
    bool createWriteEvent(const char* name);
    void closeWriteEvent();
    void flushPort();
    // One write of these bytes through WriteOverlapped; kSuccess, kIoPending or the error.
    ports::ErrorCode writeBytes(std::initializer_list<std::uint8_t> bytes);
    ports::ErrorCode writeByte(std::uint8_t byte) { return writeBytes({byte}); }

    Context& m_context;
    PortConnection m_port;
    std::int16_t m_firstLoad = 0;

private:
    std::string port1Name() const;
    std::string port2Name() const;
    void disablePort(toolkit::OptionButton& option, toolkit::Label& label);

    bool isSerial() const;
    bool isPrinter() const;

    PortFamily m_family;
};

}  // namespace screens
