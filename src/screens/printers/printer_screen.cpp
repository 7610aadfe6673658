#include "screens/printers/printer_screen.h"

#include <cctype>
#include <span>
#include <string>
#include <utility>

#include "screens/common/port_steps.h"
#include "screens/printers/page_texts.h"

namespace screens {

using namespace toolkit;
using std::chrono::microseconds;

namespace {

const Font kCaptionFont{"Arial", 9.75, true, false};

void setUpCaption(Control& control, const char* caption) {
    control.setCaption(caption);
    control.setForeColor(colors::kWhite);
    control.setFont(kCaptionFont);
}

}  // namespace

std::vector<SequenceWrite> sequenceWrites(const TestSequence& sequence, std::string_view text1,
                                          std::span<const std::uint8_t> drawerCommand) {
    std::vector<SequenceWrite> writes;
    const auto send = [&writes](auto bytes, const FailureText& failure, bool drawer = false) {
        for (auto byte : bytes)
            writes.push_back({false, static_cast<std::uint8_t>(byte), failure, drawer});
    };
    for (const SequenceStep& step : sequence.steps) {
        switch (step.kind) {
            case SequenceStep::Kind::Page: {
                if (sequence.page == PageSource::Text1) {
                    send(text1, step.failure);
                    break;
                }
                bool first = true;
                for (const std::string_view sentence :
                     sequence.page == PageSource::Sentences42 ? Sentences42 : Sentences48) {
                    if (!first)
                        send(step.bytes, step.failure);
                    send(sentence, step.failure);
                    first = false;
                }
                break;
            }
            case SequenceStep::Kind::Bytes:
                send(step.bytes, step.failure);
                break;
            case SequenceStep::Kind::Flush:
                writes.push_back({true, 0, kUnchecked, false});
                break;
            case SequenceStep::Kind::DrawerCommand:
                send(drawerCommand, step.failure, true);
                break;
        }
    }
    return writes;
}

std::vector<SequenceWrite> sequenceWrites(const TestSequence& sequence,
                                          std::span<const std::uint8_t> drawerCommand) {
    return sequenceWrites(sequence, PageText, drawerCommand);
}

PrinterScreen::PrinterScreen(Application& app, Context& context, const PrinterModel& model)
    : TestScreen(app, context, model.formName, model.family),
      drawerFrame(*this, model.drawerFrameName),
      m_model(model) {
    setCaption(model.caption);
    title.setCaption(model.heading);

    Label1.setCaption(model.emulationHint);
    Label1.setForeColor(colors::kWhite);
    Label1.setFont(Font{"Arial", 9.75, false, false});
    Label1.setWordWrap(true);
    Label1.setAlignment(Align::Center);

    setUpCaption(drawerFrame, "Drawer");
    setUpCaption(Drawer1, "Drawer 1");
    setUpCaption(Drawer2, "Drawer 2");
    setUpCaption(TriggerCD, "Cash Drawer Trigger");
    setUpCaption(PrimaryTrigger, "Option1");
    setUpCaption(TestDrawer, "Test Drawer");
    Trigger.setCaption("Test / Print ");
    Trigger.setToolTip("Click to send opening character to the drawer.");
    Trigger.setFont(kCaptionFont);
    exit.setFont(kCaptionFont);

    if (model.triggers.alternateCaption) {
        AltTrigger.emplace(*this, "AltTrigger", &TriggerCD);
        setUpCaption(*AltTrigger, "Option2");
    }
    if (model.sequence.page == PageSource::Text1) {
        Text1.emplace(*this, "Text1");
        Text1->setVisible(false);
        Text1->setText(std::string(PageText));
    }
    if (model.status) {
        DrawerStatus.emplace(*this, "DrawerStatus");
        setUpCaption(*DrawerStatus, "Report  Drawer Status");
        Status_Timer.emplace(*this, "Status_Timer", kPollPeriod, true);
        // The reply is looked for as often as the printer's time to answer runs out.
        Reply_Timer.emplace(*this, "Reply_Timer", kReplyBound, false);
        statusCaption.emplace(*this, model.status->captionName);
        setUpCaption(*statusCaption, model.status->caption);
        statusCaption->setAlignment(Align::Right);
        cd_status.emplace(*this, "cd_status");
        cd_status->setFont(Font{"Arial", 15.75, true, false});
    }
    layOut();

    Drawer1.onClick = [this] { Drawer1_Click(); };
    Drawer2.onClick = [this] { Drawer2_Click(); };
    if (model.triggers.alternateCaption) {
        PrimaryTrigger.onClick = [this] { PrimaryTrigger_Click(); };
        AltTrigger->onClick = [this] { AltTrigger_Click(); };
    }
    TestDrawer.onClick = [this] { TestDrawer_Click(); };
    Trigger.onClick = [this] { Trigger_Click(); };
    if (model.status) {
        DrawerStatus->onClick = [this] { DrawerStatus_Click(); };
        Status_Timer->onTimer = [this] { Status_Timer_Timer(); };
        Reply_Timer->onTimer = [this] { Reply_Timer_Timer(); };
    }
}

void PrinterScreen::layOut() {
    // Screens without a status display close the gap it would leave.
    const int gap = m_model.status ? 0 : 40;
    setSize(600, 470 - gap);
    title.setGeometry(10, 8, 580, 30);
    Label1.setGeometry(20, 42, 560, 40);
    port1Option.setGeometry(30, 94, 18, 20);
    port1Label.setGeometry(54, 92, 250, 24);
    port2Option.setGeometry(30, 124, 18, 20);
    port2Label.setGeometry(54, 122, 250, 24);
    TestDrawer.setGeometry(340, 92, 230, 24);
    if (DrawerStatus)
        DrawerStatus->setGeometry(340, 122, 230, 24);

    drawerFrame.setGeometry(20, 160, 130, 92);
    Drawer1.setGeometry(14, 26, 106, 24);
    Drawer2.setGeometry(14, 56, 106, 24);
    TriggerCD.setGeometry(160, 160, 420, 92);
    PrimaryTrigger.setGeometry(12, 26, 400, 24);
    if (AltTrigger)
        AltTrigger->setGeometry(12, 56, 400, 24);

    if (statusCaption) {
        statusCaption->setGeometry(100, 268, 200, 24);
        cd_status->setGeometry(312, 262, 200, 36);
    }

    Trigger.setGeometry(220, 312 - gap, 160, 44);
    Feedback1.setGeometry(10, 368 - gap, 580, 20);
    Feedback2.setGeometry(10, 390 - gap, 580, 20);
    exit.setGeometry(20, 424 - gap, 110, 32);
}

// Opens port 1 (with the serial set-up on serial screens) first: the states set after it are
// the ones the user sees.
void PrinterScreen::load() {
    selectFirstPort();
    Drawer1.setEnabled(false);
    Drawer2.setEnabled(false);
    TriggerCD.setVisible(false);
    PrimaryTrigger.setEnabled(false);
    PrimaryTrigger.setVisible(false);
    if (AltTrigger) {
        AltTrigger->setEnabled(false);
        AltTrigger->setVisible(false);
    }
    if (m_model.status) {
        Status_Timer->setEnabled(false);
        statusCaption->setEnabled(false);
        cd_status->setEnabled(false);
        cd_status->setVisible(false);
    }
    // On serial screens the port messages of the load stay until the first test or port
    // change restarts the timer.
    if (m_model.family == PortFamily::PrinterSerial)
        Message_Timer.setEnabled(false);
}

// Serial printers always run at 9600 baud, 8N1, with RTS raised.
void PrinterScreen::SetupPort() {
    Message_Timer.setEnabled(true);
    flushPort();
    const LineSetup setup = setUpSerialLine(portSystem(), m_port.handle, m_context.records.commDcb,
                                            m_port.deviceName, kPrinterBaudRate, false);
    if (setup.failed != LineSetup::Failed::ReadingState)
        showFeedback1("commsetup successfully acquired", colors::kGreen);
    if (setup.failed == LineSetup::Failed::Nothing) {
        showFeedback1("DCB updated successfully", colors::kGreen);
    } else {
        m_port.lastError = setup.code;
        showFeedback1(lineSetupFailureText(setup, false), colors::kRed);
    }
    Message_Timer.setEnabled(true);
    // Polling runs exactly while its box is checked, whichever port is open.
    if (DrawerStatus && DrawerStatus->value())
        Status_Timer->setEnabled(true);
}

// ---- drawer and trigger choice ----

void PrinterScreen::TestDrawer_Click() {
    if (TestDrawer.value()) {
        Drawer1.setEnabled(true);
        Drawer2.setEnabled(true);
        TriggerCD.setEnabled(true);
        TriggerCD.setVisible(true);
        Drawer1.setValue(true);
        return;
    }
    const TestDrawerOff& off = m_model.testDrawerOff;
    Drawer1.setEnabled(false);
    Drawer2.setEnabled(false);
    Drawer1.setValue(false);
    if (!off.keepsDrawer2)
        Drawer2.setValue(false);
    TriggerCD.setVisible(false);
    if (off.disablesTriggerFrame)
        TriggerCD.setEnabled(false);
    if (off.triggers == TriggerReset::Keep)
        return;
    for (OptionButton* trigger : {&PrimaryTrigger, AltTrigger ? &*AltTrigger : nullptr}) {
        if (!trigger)
            continue;
        trigger->setValue(false);
        if (off.triggers == TriggerReset::ClearDisableAndHide) {
            trigger->setEnabled(false);
            trigger->setVisible(false);
        }
    }
}

void PrinterScreen::Drawer1_Click() {
    TriggerCD.setVisible(true);
    showTrigger(PrimaryTrigger, m_model.triggers.drawer1Caption);
    PrimaryTrigger.setValue(true);
    if (AltTrigger) {
        showTrigger(*AltTrigger, m_model.triggers.alternateCaption);
        AltTrigger->setValue(false);
    }
    updateTriggerChar();
}

void PrinterScreen::Drawer2_Click() {
    TriggerCD.setVisible(true);
    showTrigger(PrimaryTrigger, m_model.triggers.drawer2Caption);
    PrimaryTrigger.setValue(true);
    if (AltTrigger) {
        AltTrigger->setEnabled(false);
        AltTrigger->setVisible(false);
    }
    updateTriggerChar();
}

void PrinterScreen::PrimaryTrigger_Click() {
    updateTriggerChar();
}

void PrinterScreen::AltTrigger_Click() {
    updateTriggerChar();
}

void PrinterScreen::showTrigger(OptionButton& trigger, const char* caption) {
    trigger.setEnabled(true);
    trigger.setVisible(true);
    trigger.setCaption(caption);
}

// TriggerChar follows the drawer and trigger on show, whatever the order of the clicks that
// led there: selecting an option that is already selected runs no click handler, so the
// drawer clicks set it too.
void PrinterScreen::updateTriggerChar() {
    if (!AltTrigger)
        return;
    if (Drawer1.value()) {
        if (AltTrigger->value()) {
            m_triggerChar = m_model.triggers.alternateChar1;
        } else if (PrimaryTrigger.value()) {
            m_triggerChar = m_model.triggers.primaryChar1;
        }
    } else if (Drawer2.value() && PrimaryTrigger.value()) {
        m_triggerChar = m_model.triggers.primaryChar2;
    }
}

// ---- the test sequence ----

void PrinterScreen::Trigger_Click() {
    Message_Timer.setEnabled(false);
    if (!createWriteEvent("0"))
        report(m_model.sequence.eventFailure, portSystem().lastError());
    flushPort();
    // Text1 is read at this moment: the page is whatever the box holds.
    const std::vector<std::uint8_t> command = drawerCommand();
    for (const SequenceWrite& write :
         sequenceWrites(m_model.sequence, Text1 ? Text1->text() : std::string(), command)) {
        if (write.flush) {
            flushPort();
        } else {
            send(write.byte, write.failure);
        }
    }
    Message_Timer.setEnabled(true);
    closeWriteEvent();
    if (!command.empty() && m_model.status && !m_model.commands->conditionRequests.empty())
        m_kickedOn = m_port.handle;
    if (m_model.pollsAfterTest)
        statusPoll(true);
}

// The drawer test's part of the sequence: nothing unless TestDrawer is checked; then the chosen
// character on the screens with an alternate trigger, the chosen drawer's command on the others.
std::vector<std::uint8_t> PrinterScreen::drawerCommand() const {
    if (!TestDrawer.value())
        return {};
    if (AltTrigger)
        return {static_cast<std::uint8_t>(m_triggerChar & 0xFF)};
    if (Drawer1.value())
        return m_model.triggers.command(1, false);
    if (Drawer2.value())
        return m_model.triggers.command(2, false);
    return {};
}

// One write of one byte; a failure is reported and the sequence goes on.
void PrinterScreen::send(std::uint8_t byte, const FailureText& failure) {
    const ports::ErrorCode code = writeByte(byte);
    if (ports::writeFailed(code)) {
        report(failure, code);
    } else {
        onTheLine(1);
    }
}

void PrinterScreen::report(const FailureText& failure, ports::ErrorCode code) {
    if (!failure.text)
        return;
    std::string text = failure.text;
    if (failure.withCode)
        text += std::to_string(code) + ")";
    if (failure.red) {
        showFeedback1(text, colors::kRed);
    } else {
        Feedback1.setCaption(text);
    }
}

// ---- drawer status through the printer ----

void PrinterScreen::DrawerStatus_Click() {
    if (DrawerStatus->value()) {
        // Status is reported for drawer 1 only: the choice is held there while polling runs.
        TestDrawer.setValue(true);
        Drawer1.setEnabled(true);
        Drawer1.setValue(true);
        Drawer2.setEnabled(false);
        Status_Timer->setEnabled(true);
        statusCaption->setEnabled(true);
        cd_status->setEnabled(true);
        cd_status->setVisible(true);
        return;
    }
    Status_Timer->setEnabled(false);
    if (!m_model.status->uncheckEndsDrawerTest) {
        Drawer2.setEnabled(true);
        return;
    }
    TestDrawer.setValue(false);
    Drawer1.setValue(false);
    Drawer2.setValue(false);
    Drawer1.setEnabled(false);
    Drawer2.setEnabled(false);
    TriggerCD.setVisible(false);
    statusCaption->setEnabled(false);
    cd_status->setEnabled(false);
    cd_status->setVisible(false);
}

// A tick first takes the reply to the request that is out, if it has come, then asks again
// once no request is out: a new one would throw a late reply away, or take it for its own.
void PrinterScreen::Status_Timer_Timer() {
    takeReply();
    if (m_status.pending())
        return;
    if (m_whyAsks.empty()) {
        statusPoll();
    } else {
        askWhy();
    }
}

void PrinterScreen::Reply_Timer_Timer() {
    takeReply();
}

// Sends a status request and returns: the window never waits for the reply, which takeReply
// takes on a later tick. Whatever the printer sent before the request is thrown away first, so
// the reply read is the answer to this request and unread input never piles up. While a
// request is still out, the poll follows as soon as it is over. The poll that ends a page
// (`afterPage`) shows its reading whether polling runs or not.
void PrinterScreen::statusPoll(bool afterPage) {
    if (m_status.pending()) {
        m_pollDue = true;
        return;
    }
    m_pollDue = false;
    const StatusModel& status = *m_model.status;
    if (status.greensFeedback2)
        Feedback2.setForeColor(colors::kGreen);
    if (status.flushesFirst)
        flushPort();

    ports::WriteOverlapped& record = status.ownRecord ? m_statusRecord : writeOverlapped();
    record.event = portSystem().createEvent(true, false, "0");
    if (record.event == 0)
        report(status.eventFailure, portSystem().lastError());

    portSystem().purgeComm(m_port.handle, ports::kPurgeRxClear);
    ports::ErrorCode result = ports::kSuccess;
    for (std::uint8_t byte : m_model.commands->statusRequest) {
        std::uint32_t written = 0;
        result = portSystem().writeFile(m_port.handle, std::span(&byte, 1), written, &record);
        if (!ports::writeFailed(result))
            onTheLine(1);
    }
    if (ports::writeFailed(result)) {
        showFeedback1(kStatusRequestFailure + std::to_string(result) + ")", colors::kRed);
    } else {
        m_status.sent(now(), m_line.freeAt());
        m_requestPort = m_port.handle;
        m_requestShows = afterPage;
        Reply_Timer->setEnabled(true);
    }
    portSystem().closeEvent(record.event);
}

void PrinterScreen::askWhy() {
    m_asking = m_whyAsks.front();
    m_whyAsks.pop_front();
    portSystem().purgeComm(m_port.handle, ports::kPurgeRxClear);
    for (std::uint8_t byte : m_asking) {
        std::uint32_t written = 0;
        if (ports::writeFailed(
                portSystem().writeFile(m_port.handle, std::span(&byte, 1), written, nullptr))) {
            m_asking.clear();
            tellWhy();
            return;
        }
        onTheLine(1);
    }
    m_status.sent(now(), m_line.freeAt());
    m_requestPort = m_port.handle;
    m_requestShows = false;
    Reply_Timer->setEnabled(true);
}

// Told once every condition request has been answered or has gone unanswered; it stays its
// full four seconds.
void PrinterScreen::tellWhy() {
    m_whyAsks.clear();
    std::string why = m_why.sentence();
    if (why.empty())
        return;
    why[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(why[0])));
    Message_Timer.setEnabled(false);
    showFeedback2(why + ".", colors::kYellow);
    Message_Timer.setEnabled(true);
}

// The reply to the request that is out, if it has come: judged; if the printer has not answered
// in its time: a silent printer, until its reply comes. Nothing of a poll shows once polling has
// stopped. A request whose port has been closed since is dropped, its reply with it.
void PrinterScreen::takeReply() {
    if (!m_status.pending())
        return;
    if (m_requestPort != m_port.handle) {
        m_status.drop();
    } else {
        const ReplyLook found =
            m_status.take(portSystem(), m_port.handle, now(),
                          m_model.status->ownRecord ? &m_statusRecord : nullptr);
        if (!m_asking.empty()) {
            if (found.kind == ReplyLook::Kind::Reply)
                m_model.commands->readCondition(m_asking, found.reply, m_why);
        } else if (m_requestShows || DrawerStatus->value()) {
            show(found);
        }
    }
    if (m_status.pending())
        return;
    Reply_Timer->setEnabled(false);
    if (!std::exchange(m_asking, {}).empty() && m_whyAsks.empty())
        tellWhy();
    if (m_pollDue)
        statusPoll(true);
}

void PrinterScreen::show(const ReplyLook& found) {
    const std::string silence = kStatusReplyFailure + std::to_string(ports::kTimedOut) + ")";
    switch (found.kind) {
        case ReplyLook::Kind::Nothing:
            break;
        case ReplyLook::Kind::Reply:
            // A late reply answers the silence told before it.
            if (Feedback1.caption() == silence)
                Feedback1.setCaption("");
            m_statusReply = found.reply;
            judgeReply(found.reply);
            break;
        case ReplyLook::Kind::Silent:
            showFeedback1(silence, colors::kRed);
            showDrawer("No reply", colors::kYellow,
                       "The printer did not answer the status request.");
            break;
        case ReplyLook::Kind::Failed:
            showFeedback1(kStatusReplyFailure + std::to_string(found.code) + ")", colors::kRed);
            break;
    }
}

// A drawer still shut after a kick on this port, with the printer saying it is offline: the
// kick waits in the printer, and the printer is asked why.
void PrinterScreen::judgeReply(std::uint8_t reply) {
    const protocol::CommandSet& brand = *m_model.commands;
    switch (brand.readReply(reply)) {
        case DrawerReading::Open:
            showDrawer("Open", colors::kGreen, "Drawer indicates open.");
            m_kickedOn.reset();
            break;
        case DrawerReading::Closed:
            showDrawer("Closed", colors::kRed, "Drawer indicates closed.");
            if (m_kickedOn == m_port.handle && brand.readCondition) {
                m_why = {};
                if (brand.readCondition(brand.statusRequest, reply, m_why) && m_why.isOffline()) {
                    m_whyAsks.assign(brand.conditionRequests.begin(),
                                     brand.conditionRequests.end());
                    m_kickedOn.reset();
                }
            }
            break;
        case DrawerReading::NotJudged:
            if (m_model.status->showsUnjudged)
                showDrawer("Unknown", colors::kYellow, unjudgedReplyText(reply));
            break;
    }
}

void PrinterScreen::showDrawer(const std::string& caption, Color color,
                               const std::string& toolTip) {
    cd_status->setForeColor(color);
    cd_status->setCaption(caption);
    cd_status->setToolTip(toolTip);
}

void PrinterScreen::onTheLine(std::size_t bytes) {
    if (!m_model.status)
        return;  // only a poll needs to know
    m_line.wrote(bytes, now());
}

microseconds PrinterScreen::now() const {
    return app().clock().now();
}

}  // namespace screens
