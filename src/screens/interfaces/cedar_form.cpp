#include "screens/interfaces/cedar_form.h"

#include <algorithm>
#include <string>

#include "screens/common/typed_number.h"
#include "screens/interfaces/interface_looks.h"
#include "screens/interfaces/interface_settings.h"

namespace screens {

using namespace toolkit;

namespace {

bool isBlank(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' '; });
}

}  // namespace

Cedarform::Cedarform(Application& app, Context& context)
    : SerialInterfaceScreen(app, context, "Cedarform", kCedar) {
    setCaption("Cedar Interface Test");
    title.setCaption("Dunmere Cash Drawer Cedar Test");

    setUpCaption(Frame1, "Interface Settings:", {20, 130, 300, 140});

    setUpSetting(Label1, baudlist, "Baud Rate", {16, 32, 150, 22}, {176, 28, 108, 24});
    baudlist.setItems(kCedarBaudRates);
    baudlist.setToolTip("Select serial port baud rate.");
    Label1.setToolTip(baudlist.toolTip());
    setUpOpeningCharacter(Label3, open_char, {16, 68, 150, 22}, {176, 64, 108, 24});
    Label3.setToolTip(open_char.toolTip());
    setUpSetting(Label4, Repeats, "Repeat Character", {16, 104, 150, 22}, {176, 100, 108, 24});
    Repeats.setAlignment(Align::Center);

    setUpCaption(Label7, "Switch settings:", {36, 300, 140, 22});
    setUpCaption(Label5, "Not Applicable", {180, 300, 140, 22});
    Label5.setForeColor(colors::kSilver);

    setUpDrawerCaption(Label2);
    cd_status.setCaption("Not Applicable");
    cd_status.setForeColor(colors::kSilver);
    cd_status.setToolTip("Status Not Available.");

    setUpTrigger(Trigger, {360, 352, 200, 40});
    exit.setFont(kCaptionFont);

    baudlist.onClick = [this] { baudlist_Click(); };
    open_char.onChange = [this] { open_char_Change(); };
    Repeats.onChange = [this] { Repeats_Change(); };
    open_char.onLostFocus = [this] { open_char_LostFocus(); };
    Repeats.onLostFocus = [this] { Repeats_LostFocus(); };
    Trigger.onClick = [this] { Trigger_Click(); };
}

void Cedarform::load() {
    Status_timer.setEnabled(true);
    selectFirstPort();
    open_char.setText(kCedarOpenChar.standard);
    baudlist.selectText(kCedarStartBaud);
    SetupPort();
}

// Leaving by the title bar skips "<< Back", so the port is let go here; after "<< Back" this
// second close fails, unseen.
void Cedarform::unload() {
    portSystem().closeHandle(m_port.handle);
}

// ---- handlers ----

void Cedarform::baudlist_Click() {
    m_port.baudRate = storedValue(readTypedNumber(baudlist.text()));
    SetupPort();
    if (const char* repeats = cedarRepeatsFor(baudlist.text()))
        Repeats.setText(repeats);
}

void Cedarform::open_char_Change() {
    storeTypedNumber(open_char, m_openChar);
}

void Cedarform::Repeats_Change() {
    storeTypedNumber(Repeats, m_repeatCount);
}

void Cedarform::open_char_LostFocus() {
    if (isBlank(open_char.text())) {
        showFeedback1("Enter a valid character between 0 and 255", colors::kRed);
        open_char.setFocus();
    }
    const double number = readTypedNumber(open_char.text());
    if (number < kCedarOpenChar.low || number > kCedarOpenChar.high) {
        open_char.setText(kCedarOpenChar.standard);
        showFeedback1(kCedarOpenChar.rangeText, colors::kRed);
        showFeedback2(kCedarOpenChar.resetText, colors::kGreen);
    }
}

// Any number is a repeat count; only an empty box asks for one.
void Cedarform::Repeats_LostFocus() {
    if (isBlank(Repeats.text())) {
        showFeedback1(kCedarRepeatsPrompt, colors::kGreen);
        Repeats.setFocus();
    }
}

void Cedarform::Trigger_Click() {
    Message_Timer.setEnabled(false);
    createWriteEvent("0");
    flushPort();
    // The whole count goes out, however long the line takes over it: what the port's queue
    // holds at once, the rest as the line takes it, while the window paints and shows it is
    // busy. A device that takes nothing fails the writes within its stall budget.
    for (int pass = 1; pass <= m_repeatCount; ++pass) {
        writeOpeningCharacter(m_openChar);
        if (static_cast<std::size_t>(pass) * 2 > ports::kSerialOutputQueue)
            app().keepPainting();
    }
    Message_Timer.setEnabled(true);
    Status_timer.setEnabled(true);
    closeWriteEvent();
}

// ---- procedures ----

// Stored as typed; the checks come when the box is left.
void Cedarform::storeTypedNumber(const TextBox& box, std::int16_t& stored) {
    Message_Timer.setEnabled(false);
    stored = storedValue(readTypedNumber(box.text()));
    Message_Timer.setEnabled(true);
}

}  // namespace screens
