#include "screens/interfaces/alder_form2.h"

#include "screens/common/typed_number.h"
#include "screens/interfaces/interface_looks.h"
#include "screens/interfaces/interface_settings.h"

namespace screens {

using namespace toolkit;

Alderform2::Alderform2(Application& app, Context& context)
    : SerialInterfaceScreen(app, context, "Alderform2", kMaker) {
    setCaption("Alder Alternate Operation");
    title.setCaption("Dunmere Cash Drawer");
    title.setGeometry(10, 4, 580, 34);
    Label1.setCaption("Alder Alternate Operation Test");
    Label1.setFont(Font{"Arial", 15.75, true, false});
    Label1.setAlignment(Align::Center);
    Label1.setGeometry(10, 38, 580, 28);

    port1Option.setGeometry(30, 80, 18, 20);
    port1Label.setGeometry(54, 78, 230, 24);
    port2Option.setGeometry(30, 108, 18, 20);
    port2Label.setGeometry(54, 106, 230, 24);

    Alder_Level.setCaption("Level Mode (Cedar)");
    Alder_Level.setFont(kCaptionFont);
    Alder_Level.setGeometry(340, 74, 240, 30);
    Alder_Char.setCaption("Character Pulse Mode (Birch)");
    Alder_Char.setFont(kCaptionFont);
    Alder_Char.setGeometry(340, 108, 240, 30);

    setUpCaption(Frame1, "Interface Settings:", {20, 142, 300, 240});
    setUpSetting(Label2, baudlist, "Baud Rate", {12, 30, 140, 22}, {160, 28, 120, 24});
    baudlist.setItems(kBaudRates);
    baudlist.setToolTip("Select serial port baud rate.");
    setUpOpeningCharacter(Label3, open_char, {12, 62, 140, 22}, {160, 60, 120, 24});
    setUpSetting(Label4, Repeats, "Repeat Character", {12, 94, 140, 22}, {160, 92, 120, 24});
    Repeats.setAlignment(Align::Center);

    setUpCaption(Label7, "Switch settings:", {12, 128, 200, 20});
    Label8.setForeColor(colors::kYellow);
    layOutSwitchRow(Label8, bits(), 24, 150);
    setUpPowerWarning(Label6, {12, 204, 276, 16});

    setUpDrawerCaption(Label5);

    setUpTrigger(Trigger, {200, 392, 200, 44});
    AlderAdvanced.setCaption("Back to Alder Standard Test");
    AlderAdvanced.setFont(kCaptionFont);
    AlderAdvanced.setGeometry(370, 498, 210, 32);
    exit.setFont(kCaptionFont);

    Alder_Level.onClick = [this] { Alder_Level_Click(); };
    Alder_Char.onClick = [this] { Alder_Char_Click(); };
    baudlist.onClick = [this] { baudlist_Click(); };
    open_char.onChange = [this] { open_char_Change(); };
    Trigger.onClick = [this] { Trigger_Click(); };
    AlderAdvanced.onClick = [this] { AlderAdvanced_Click(); };
}

// The screen starts in character pulse mode, sending twice; the set-up inside the port pick
// runs before the baud rate is known, and the last one settles the port at 1200 baud.
void Alderform2::load() {
    Status_timer.setEnabled(true);
    m_mode = "Char";
    selectFirstPort();
    Repeats.setEnabled(false);
    baudlist.setEnabled(false);
    open_char.setEnabled(false);
    Repeats.setText("2");
    open_char.setText("85");
    baudlist.selectText("1200");
    SetupPort();
}

// ---- handlers ----

void Alderform2::Alder_Level_Click() {
    selectMode("Level", "25", "0");
}

void Alderform2::Alder_Char_Click() {
    selectMode("Char", "1", "85");
}

// A change of the opening character redraws the switches for the new mode; the baud rate is
// the same in both modes, so picking it again changes nothing.
void Alderform2::selectMode(const char* mode, const char* repeats, const char* openChar) {
    m_mode = mode;
    Repeats.setText(repeats);
    open_char.setText(openChar);
    baudlist.selectText("1200");
    SetupPort();
}

void Alderform2::baudlist_Click() {
    m_port.baudRate = storedValue(readTypedNumber(baudlist.text()));
    SetupPort();
    ShowSwitchSettings();
}

void Alderform2::open_char_Change() {
    Message_Timer.setEnabled(false);
    m_openChar = storedValue(readTypedNumber(open_char.text()));
    ShowSwitchSettings();
    Message_Timer.setEnabled(true);
}

void Alderform2::Trigger_Click() {
    Message_Timer.setEnabled(false);
    m_repeatCount = storedValue(readTypedNumber(Repeats.text()));
    flushPort();
    if (!createWriteEvent(nullptr)) {
        m_port.lastError = portSystem().lastError();
        showFeedback1("error writing to port. (" + std::to_string(m_port.lastError) + ")",
                      colors::kRed);
    } else {
        for (int pass = 0; pass < m_repeatCount; ++pass) {
            if (writeOpeningCharacter(m_openChar) == ports::kIoPending)
                showWriteResult(awaitPendingWrite());
        }
    }
    Message_Timer.setEnabled(true);
    Status_timer.setEnabled(true);
    closeWriteEvent();
}

void Alderform2::AlderAdvanced_Click() {
    ClosePort(CloseCaller::AlderAdvanced);
    m_context.navigator.showScreen("Alderform");
    close();
}

// ---- procedures ----

ports::ErrorCode Alderform2::awaitPendingWrite() {
    ports::ErrorCode result =
        portSystem().waitForSingleObject(writeOverlapped().event, kPendingWriteWaitMs);
    if (result == ports::kSuccess) {
        std::uint32_t transferred = 0;
        result =
            portSystem().getOverlappedResult(m_port.handle, writeOverlapped(), transferred, false);
    }
    if (result != ports::kSuccess)
        m_port.lastError = result;
    return result;
}

void Alderform2::ShowSwitchSettings() {
    if (m_mode == "Level") {
        Frame1.setCaption("Level Mode (Cedar)");
        m_switchGlyphs = {"^", "v", "v", "v", "v", "v", "v", "^", "v", "v"};
    } else if (m_mode == "Char") {
        Frame1.setCaption("Character Mode (Birch)");
        const char* const firstEight[] = {"^", "^", "v", "v", "v", "v", "v", "^"};
        for (std::size_t i = 0; i < 8; ++i)
            m_switchGlyphs[i] = firstEight[i];
        setAlderBaudSwitches(m_switchGlyphs, m_port.baudRate);
    }
    showSwitchGlyphs(m_switchGlyphs, bits());
}

}  // namespace screens
