#include "screens/interfaces/alder_form.h"

#include "screens/common/typed_number.h"
#include "screens/interfaces/interface_looks.h"
#include "screens/interfaces/interface_settings.h"
#include "screens/interfaces/printer_texts.h"

namespace screens {

using namespace toolkit;

Alderform::Alderform(Application& app, Context& context)
    : SerialInterfaceScreen(app, context, "Alderform", kAlder) {
    setCaption("Alder Interface Test");
    title.setCaption("Dunmere Cash Drawer Alder Test");

    setUpCaption(Frame1, "Interface Settings:", {20, 124, 300, 240});

    setUpSetting(Label1, baudlist, "Baud Rate", {12, 30, 140, 22}, {160, 28, 120, 24});
    baudlist.setItems(kBaudRates);
    baudlist.setToolTip("Select serial port baud rate.");
    setUpOpeningCharacter(Label3, open_char, {12, 62, 140, 22}, {160, 60, 120, 24});
    setUpSetting(Label4, Repeats, "Repeat Character", {12, 94, 140, 22}, {160, 92, 120, 24});
    Repeats.setItems(kAlderRepeats);
    Repeats.setToolTip("Number of times to send character.");

    setUpCaption(Label7, "Switch settings:", {12, 128, 200, 20});
    Label8.setForeColor(colors::kWhite);
    layOutSwitchRow(Label8, bits(), 24, 150);
    Label8.setFont(Font{"Arial", 12, true, true});

    setUpPowerWarning(Label5, {12, 204, 276, 16});

    setUpCaption(Frame2, "Drawer is:", {340, 56, 240, 56});
    setUpCaption(Dead_end, "Deadend", {14, 24, 100, 22});
    setUpCaption(Parasite, "Parasite", {124, 24, 100, 22});
    setUpCaption(TestPrinter, "Test Printer", {354, 118, 200, 24});

    setUpDrawerCaption(Label2);

    setUpTrigger(Trigger, {200, 386, 200, 44});
    AlderAdvanced.setCaption("Alder Advanced ");
    AlderAdvanced.setFont(kCaptionFont);
    AlderAdvanced.setGeometry(440, 498, 140, 32);
    exit.setFont(kCaptionFont);

    baudlist.onClick = [this] { baudlist_Click(); };
    Repeats.onClick = [this] { Repeats_Click(); };
    open_char.onChange = [this] { open_char_Change(); };
    Dead_end.onClick = [this] { Dead_end_Click(); };
    Parasite.onClick = [this] { Parasite_Click(); };
    TestPrinter.onClick = [this] { TestPrinter_Click(); };
    Trigger.onClick = [this] { Trigger_Click(); };
    AlderAdvanced.onClick = [this] { AlderAdvanced_Click(); };
}

// Each programmatic change below runs its handler at once; the first set-up (inside the port
// pick) runs before any baud rate is known, and the last one settles the port at 9600 baud.
void Alderform::load() {
    Status_timer.setEnabled(true);
    selectFirstPort();
    Repeats.selectText(kAlderStartRepeats);
    open_char.setText(kAlderOpenChar.standard);
    baudlist.selectText(kAlderStartBaud);
    SetupPort();
}

// ---- handlers ----

void Alderform::baudlist_Click() {
    m_port.baudRate = storedValue(readTypedNumber(baudlist.text()));
    SetupPort();
    ShowSwitchSettings();
}

void Alderform::Repeats_Click() {
    m_repeatCount = storedValue(readTypedNumber(Repeats.text()));
    ShowSwitchSettings();
}

void Alderform::open_char_Change() {
    Message_Timer.setEnabled(false);
    m_openChar = checkedValue(open_char, kAlderOpenChar);
    ShowSwitchSettings();
    Message_Timer.setEnabled(true);
}

void Alderform::Dead_end_Click() {
    TestPrinter.setValue(false);
    TestPrinter.setEnabled(false);
}

void Alderform::Parasite_Click() {
    TestPrinter.setEnabled(true);
}

void Alderform::TestPrinter_Click() {
    Trigger.setCaption(TestPrinter.value() ? "Test/Print" : "Trigger Drawer");
}

void Alderform::Trigger_Click() {
    Message_Timer.setEnabled(false);
    if (!createWriteEvent("0")) {
        showFeedback1("Failure to create overlapped event", colors::kRed);
    }
    flushPort();
    for (int pass = 0; pass < m_repeatCount; ++pass)
        writeOpeningCharacter(m_openChar);
    if (TestPrinter.value()) {
        flushPort();
        for (char c : alderPrinterText())
            writeByte(static_cast<std::uint8_t>(c));
        flushPort();
        for (int feed = 0; feed < 9; ++feed)
            writeByte(0x0A);
    }
    Message_Timer.setEnabled(true);
    Status_timer.setEnabled(true);
    closeWriteEvent();
}

void Alderform::AlderAdvanced_Click() {
    ClosePort(CloseCaller::AlderAdvanced);
    m_context.navigator.showScreen("Alderform2");
    close();
}

// ---- switches ----

void Alderform::ShowSwitchSettings() {
    setAlderBaudSwitches(m_switchGlyphs, m_port.baudRate);
    if (m_repeatCount == 1) {
        m_switchGlyphs[7] = "v";
    } else if (m_repeatCount == 2) {
        m_switchGlyphs[7] = "^";
    }
    int work = m_openChar;
    for (int bit = 6; bit >= 0; --bit) {
        const int weight = 1 << bit;
        const bool down = work >= weight;
        if (down)
            work -= weight;
        m_switchGlyphs[static_cast<std::size_t>(bit)] = down ? "v" : "^";
    }
    showSwitchGlyphs(m_switchGlyphs, bits());
}

}  // namespace screens
