#include "screens/interfaces/maple_form.h"

#include "screens/common/opening_character.h"
#include "screens/common/port_steps.h"
#include "screens/interfaces/interface_looks.h"
#include "screens/interfaces/interface_settings.h"
#include "screens/interfaces/printer_texts.h"

namespace screens {

using namespace toolkit;

Mapleform::Mapleform(Application& app, Context& context)
    : TestScreen(app, context, "Mapleform", PortFamily::MakerParallel) {
    setCaption("Maple Test");
    setSize(600, 446);
    title.setCaption("Dunmere Cash Drawer Maple Test");
    title.setGeometry(10, 8, 580, 38);
    port1Option.setGeometry(30, 62, 18, 20);
    port1Label.setGeometry(54, 60, 230, 24);
    port2Option.setGeometry(30, 92, 18, 20);
    port2Label.setGeometry(54, 90, 230, 24);

    setUpCaption(Frame2, "Drawer is:", {340, 56, 240, 56});
    setUpCaption(Parasite, "Parasite", {14, 24, 100, 22});
    setUpCaption(Dead_end, "Deadend", {124, 24, 100, 22});
    setUpCaption(TestPrinter, "Test Printer", {354, 118, 200, 24});

    setUpCaption(Frame1, "Interface Settings:", {20, 124, 300, 176});
    setUpOpeningCharacter(Label3, open_char, {12, 30, 140, 22}, {160, 28, 120, 24});
    setUpCaption(Label7, "Switch settings:", {12, 64, 200, 20});
    Label8.setForeColor(colors::kYellow);
    layOutSwitchRow(Label8, bits(), 24, 86);
    setUpPowerWarning(Label1, {12, 140, 276, 16});

    setUpTrigger(Trigger, {200, 310, 200, 44});

    Feedback1.setGeometry(10, 362, 580, 20);
    Feedback2.setGeometry(10, 384, 580, 20);
    exit.setFont(kCaptionFont);
    exit.setGeometry(20, 408, 110, 32);

    Parasite.onClick = [this] { Parasite_Click(); };
    Dead_end.onClick = [this] { Dead_end_Click(); };
    TestPrinter.onClick = [this] { TestPrinter_Click(); };
    open_char.onChange = [this] { open_char_Change(); };
    Trigger.onClick = [this] { Trigger_Click(); };
}

// Opens LPT1 (no set-up: that runs only after an LPT2 pick), then sets the factory opening
// character, whose handler shows its switches.
void Mapleform::load() {
    selectFirstPort();
    open_char.setText(kMapleOpenChar.standard);
}

// LPT2 gets empty buffers and no write time-out.
void Mapleform::SetupPort() {
    Message_Timer.setEnabled(true);
    setUpParallelPort(portSystem(), m_port.handle, m_context.records.commTimeouts);
}

// ---- handlers ----

void Mapleform::Parasite_Click() {
    if (!Parasite.value())
        return;
    TestPrinter.setVisible(true);
    TestPrinter.setEnabled(true);
    showFeedback2("Cash drawer installed with 'Y' cable.", colors::kGreen);
}

void Mapleform::Dead_end_Click() {
    if (!Dead_end.value())
        return;
    showFeedback2("Deadend cable or terminator installed.", colors::kGreen);
    TestPrinter.setEnabled(false);
    TestPrinter.setVisible(false);
    TestPrinter.setValue(false);
}

void Mapleform::TestPrinter_Click() {
    Trigger.setCaption(TestPrinter.value() ? "Test/Print" : "Trigger Drawer");
}

void Mapleform::open_char_Change() {
    Message_Timer.setEnabled(false);
    m_openChar = checkedValue(open_char, kMapleOpenChar);
    ShowSwitchSettings();
    Message_Timer.setEnabled(true);
}

// Every code a write fails with is reported here, a write still under way (997) included.
void Mapleform::Trigger_Click() {
    Message_Timer.setEnabled(false);
    flushPort();
    if (!createWriteEvent("0")) {
        showFeedback1("Failure to create overlapped event.", colors::kRed);
    }
    if (TestPrinter.value()) {
        for (char c : maplePrinterText()) {
            if (writeByte(static_cast<std::uint8_t>(c)) != ports::kSuccess) {
                showFeedback1("Failure to write to printer.", colors::kRed);
            }
        }
        flushPort();
    }
    const std::uint8_t low = parallelOpeningWrite(m_openChar);
    for (int pass = 0; pass < kMapleSends; ++pass) {
        const ports::ErrorCode result = writeByte(low);
        if (result == ports::kSuccess) {
            showFeedback1("Trigger Character written to port.", colors::kGreen);
        } else {
            m_port.lastError = result;
            showFeedback1(kOpeningWriteFailure + std::to_string(result) + ")", colors::kRed);
        }
    }
    Message_Timer.setEnabled(true);
    closeWriteEvent();
}

// ---- switches ----

// Switches 1 to 8 hold the character in binary, switch 1 the lowest bit; 9 and 10 stay up.
void Mapleform::ShowSwitchSettings() {
    int work = m_openChar;
    for (int bit = 7; bit >= 0; --bit) {
        const int weight = 1 << bit;
        const bool down = work >= weight;
        if (down)
            work -= weight;
        m_switchGlyphs[static_cast<std::size_t>(bit)] = down ? "v" : "^";
    }
    m_switchGlyphs[8] = "^";
    m_switchGlyphs[9] = "^";
    showSwitchGlyphs(m_switchGlyphs, bits());
}

}  // namespace screens
