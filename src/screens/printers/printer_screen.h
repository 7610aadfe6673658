// The receipt-printer screen every printer brand shares: the drawer and trigger choice, the
// test sequence (a page, its end commands and the drawer-open command, one write per byte),
// the serial printers' port set-up and the drawer-status poll through the printer. A screen
// is this frame plus a PrinterModel: the data that tells one printer screen from another
// (screens/printers/printer_table.h lists them).
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ports/line_occupancy.h"
#include "protocol/command_set.h"
#include "screens/common/test_screen.h"
#include "screens/printers/status_request.h"

namespace screens {

// Every serial printer runs at this rate, 8N1, with RTS raised.
inline constexpr int kPrinterBaudRate = 9600;

// What a failed call shows in Feedback1.
struct FailureText {
    const char* text = nullptr;  // null: the result is not looked at
    bool withCode = false;       // the text is followed by the error code and ")"
    bool red = true;             // false: Feedback1 keeps its colour
};

// Where the page comes from: the hidden Text1 box, or the statements padded for 42 or 48
// columns (then the model's separator follows each statement but the last).
enum class PageSource { Text1, Sentences42, Sentences48 };

inline constexpr FailureText kUnchecked{};
// What every printer screen shows for a page character it could not write.
inline constexpr FailureText kPageFailure{"Failure to write to printer .(", true};

// One step of the test sequence.
struct SequenceStep {
    enum class Kind { Page, Bytes, Flush, DrawerCommand };
    Kind kind;
    std::vector<std::uint8_t> bytes;  // Bytes: what is sent; Page: the separator
    FailureText failure;              // for every write of the step

    static SequenceStep sendPage(std::vector<std::uint8_t> separator, FailureText failure) {
        return {Kind::Page, std::move(separator), failure};
    }
    static SequenceStep send(std::vector<std::uint8_t> bytes, FailureText failure) {
        return {Kind::Bytes, std::move(bytes), failure};
    }
    static SequenceStep flush() { return {Kind::Flush, {}, kUnchecked}; }
    static SequenceStep sendDrawerCommand(FailureText failure) {
        return {Kind::DrawerCommand, {}, failure};
    }
};

// What a press of "Test / Print " sends, and what a failed event shows.
struct TestSequence {
    PageSource page;
    FailureText eventFailure = kUnchecked;
    std::vector<SequenceStep> steps;
};

// One write of one byte of a test sequence, or a flush of the port.
struct SequenceWrite {
    bool flush = false;
    std::uint8_t byte = 0;
    FailureText failure;
    bool drawerCommand = false;  // a byte of the drawer-open command
};

// Every write and flush of a test sequence in order: the page (the text of Text1, or the
// statements the sequence names with its separator between them), its commands, and
// `drawerCommand` where the sequence sends it (nothing when it is empty).
std::vector<SequenceWrite> sequenceWrites(const TestSequence& sequence, std::string_view text1,
                                          std::span<const std::uint8_t> drawerCommand);
// The same with Text1 as it is preset.
std::vector<SequenceWrite> sequenceWrites(const TestSequence& sequence,
                                          std::span<const std::uint8_t> drawerCommand);

using protocol::DrawerReading;

// The starts of the poll's failure texts; the error code and ")" follow.
inline constexpr const char* kStatusRequestFailure = "Error writing ENQ character. (";
inline constexpr const char* kStatusReplyFailure = "Error getting status information. (";

// The drawer-status poll of the serial screens that have one.
struct StatusModel {
    const char* captionName;  // "Label3" or "Status3"
    const char* caption;
    // The request is the brand's (protocol::CommandSet::statusRequest), one write per byte;
    // only the last write is looked at.
    bool greensFeedback2;  // each poll turns Feedback2 green
    bool flushesFirst;     // each poll flushes the port first
    // The poll's writes and read pass a record of its own; otherwise the writes pass the
    // shared WriteOverlapped and the read none.
    bool ownRecord;
    FailureText eventFailure = kUnchecked;
    // A reply the brand's rule cannot judge shows "Unknown" with the byte; otherwise the display
    // stays as it was.
    bool showsUnjudged = false;
    // Unchecking DrawerStatus also ends the drawer test (TestDrawer unchecked, drawers
    // cleared, cd_status hidden); otherwise it only frees drawer 2 again.
    bool uncheckEndsDrawerTest;
};

// What unchecking TestDrawer does beyond disabling and clearing the drawers and hiding the
// trigger frame.
enum class TriggerReset { Keep, Clear, ClearDisableAndHide };
struct TestDrawerOff {
    bool keepsDrawer2 = false;          // a selected drawer 2 stays selected
    bool disablesTriggerFrame = false;  // TriggerCD is disabled as well as hidden
    TriggerReset triggers = TriggerReset::Keep;
};

// The trigger captions and the drawer commands. A screen with an alternate trigger keeps the
// chosen character in TriggerChar and sends it as the drawer command; the others send the
// drawer's bytes.
struct DrawerTriggers {
    const char* drawer1Caption;
    const char* drawer2Caption;
    const char* alternateCaption = nullptr;  // null: no AltTrigger
    std::vector<std::uint8_t> drawer1Command = {};
    std::vector<std::uint8_t> drawer2Command = {};
    std::uint8_t primaryChar1 = 0;    // TriggerChar of drawer 1, primary trigger
    std::uint8_t alternateChar1 = 0;  // drawer 1, alternate trigger
    std::uint8_t primaryChar2 = 0;    // drawer 2

    // The bytes that open drawer 1 or 2; `alternate` picks drawer 1's alternate character.
    std::vector<std::uint8_t> command(int drawer, bool alternate) const {
        if (alternateCaption)
            return {drawer == 2 ? primaryChar2 : alternate ? alternateChar1 : primaryChar1};
        return drawer == 2 ? drawer2Command : drawer1Command;
    }
};

// The fields with defaults are those most screens leave as they are.
struct PrinterModel {
    const char* formName;
    // What the printer understands, and its rule for a status reply.
    const protocol::CommandSet* commands;
    PortFamily family;
    const char* caption;
    const char* heading;
    const char* emulationHint;
    const char* drawerFrameName = "Frame1";  // "Drawer_Frame" on one screen

    DrawerTriggers triggers;
    TestDrawerOff testDrawerOff = {};

    TestSequence sequence;
    bool pollsAfterTest = false;  // a status poll ends every test sequence

    std::optional<StatusModel> status = std::nullopt;
};

class PrinterScreen final : public TestScreen {
public:
    toolkit::Label Label1{*this, "Label1"};
    toolkit::Frame drawerFrame;  // Frame1, or Drawer_Frame
    toolkit::OptionButton Drawer1{*this, "Drawer1", &drawerFrame};
    toolkit::OptionButton Drawer2{*this, "Drawer2", &drawerFrame};
    toolkit::Frame TriggerCD{*this, "TriggerCD"};
    toolkit::OptionButton PrimaryTrigger{*this, "PrimaryTrigger", &TriggerCD};
    toolkit::CheckBox TestDrawer{*this, "TestDrawer"};
    toolkit::CommandButton Trigger{*this, "Trigger"};
    // Only on the screens whose model has them.
    std::optional<toolkit::OptionButton> AltTrigger;
    std::optional<toolkit::TextBox> Text1;
    std::optional<toolkit::CheckBox> DrawerStatus;
    std::optional<toolkit::Timer> Status_Timer;
    // Looks for the reply to a status request while one is on its way.
    std::optional<toolkit::Timer> Reply_Timer;
    std::optional<toolkit::Label> statusCaption;  // Label3, or Status3
    std::optional<toolkit::Label> cd_status;

    std::int32_t triggerChar() const { return m_triggerChar; }
    std::int32_t statusReply() const { return m_statusReply; }

    PrinterScreen(toolkit::Application& app, Context& context, const PrinterModel& model);

protected:
    void load() override;
    void SetupPort() override;

private:
    void layOut();

    void Drawer1_Click();
    void Drawer2_Click();
    void PrimaryTrigger_Click();
    void AltTrigger_Click();
    void TestDrawer_Click();
    void Trigger_Click();
    void DrawerStatus_Click();
    void Status_Timer_Timer();
    void Reply_Timer_Timer();

    void showTrigger(toolkit::OptionButton& trigger, const char* caption);
    void updateTriggerChar();
    std::vector<std::uint8_t> drawerCommand() const;
    void send(std::uint8_t byte, const FailureText& failure);
    void report(const FailureText& failure, ports::ErrorCode code);
    void statusPoll(bool afterPage = false);
    // Why a kick did not open the drawer: an offline printer's brand's condition requests, one
    // at a time in place of the poll's, then the answer in Feedback2.
    void askWhy();
    void tellWhy();
    void takeReply();
    void show(const ReplyLook& found);
    void judgeReply(std::uint8_t reply);
    void showDrawer(const std::string& caption, toolkit::Color color, const std::string& toolTip);
    // Notes bytes that went out, for the time they take on the line.
    void onTheLine(std::size_t bytes);
    std::chrono::microseconds now() const;

    const PrinterModel& m_model;
    std::int32_t m_triggerChar = 0;
    std::int32_t m_statusReply = 0;
    // The status request that is out, and the port it went to: its reply is taken from there
    // only, so a port change drops it. A closed screen's timers never tick: it goes with the
    // screen.
    StatusExchange m_status;
    ports::Handle m_requestPort = ports::kInvalidHandle;
    bool m_requestShows = false;  // its reply shows with polling stopped too
    bool m_pollDue = false;       // the poll after a page waits for the request that is out
    // The port a kick went out on while the drawer has not been seen open since; the condition
    // requests still to ask, the one out (empty: the request out is the status request), and
    // what their replies told.
    std::optional<ports::Handle> m_kickedOn;
    std::deque<std::vector<std::uint8_t>> m_whyAsks;
    std::vector<std::uint8_t> m_asking;
    protocol::PrinterCondition m_why;
    // The overlapped record of the status requests, on the screens whose polls have their own.
    ports::WriteOverlapped m_statusRecord;
    // When what this screen has written will have left the line at its 9600 baud.
    ports::LineOccupancy m_line{kPrinterBaudRate};
};

}  // namespace screens
