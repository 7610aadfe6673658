#include "screens/interfaces/birch_form.h"

#include <string>

#include "screens/common/typed_number.h"
#include "screens/interfaces/interface_looks.h"
#include "screens/interfaces/interface_settings.h"
#include "screens/interfaces/switch_row.h"

namespace screens {

using namespace toolkit;

namespace {

// The switch numbers and their glyphs: Arial digits are all one width, so the glyph labels
// can sit centred under the digits of " 1  2  3   4".
const Font kSwitchFont{"Arial", 12, true, false};
constexpr int kSwitchLeft = 180;
constexpr int kSwitchCentres[] = {9, 27, 45, 67};

}  // namespace

Birchform::Birchform(Application& app, Context& context)
    : SerialInterfaceScreen(app, context, "Birchform", kMaker) {
    setCaption("Birch Interface Test");
    title.setCaption("Dunmere Cash Drawer Birch Test");

    setUpCaption(Frame1, "Interface Settings:", {20, 130, 300, 176});

    setUpSetting(Label1, baudlist, "Baud Rate", {16, 32, 150, 22}, {176, 28, 108, 24});
    baudlist.setItems(kBaudRates);
    baudlist.setToolTip("Select serial port baud rate.");
    Label1.setToolTip(baudlist.toolTip());
    setUpSetting(Filter_Label, Filter, "Filter", {16, 68, 150, 22}, {176, 64, 108, 24});
    Filter.setItems({"On", "Off"});
    setUpOpeningCharacter(Label3, open_char, {16, 104, 150, 22}, {176, 100, 108, 24});
    Label3.setToolTip(open_char.toolTip());
    setUpSetting(Label4, Repeats, "Repeat Character", {16, 140, 150, 22}, {176, 136, 108, 24});
    Repeats.setAlignment(Align::Center);

    setUpCaption(Label7, "Switch settings:", {36, 334, 140, 22});
    Label8.setCaption(" 1  2  3   4");
    Label8.setForeColor(colors::kYellow);
    Label8.setFont(kSwitchFont);
    Label8.setGeometry(kSwitchLeft, 322, 100, 22);
    Label* bits[] = {&bit1, &bit2, &bit3, &bit4};
    for (int i = 0; i < 4; ++i) {
        Label& bit = *bits[i];
        bit.setForeColor(colors::kYellow);
        bit.setFont(kSwitchFont);
        bit.setAlignment(Align::Center);
        bit.setGeometry(kSwitchLeft + kSwitchCentres[i] - 8, 346, 16, 22);
    }

    setUpDrawerCaption(Label2);

    setUpTrigger(Trigger, {360, 352, 200, 40});
    exit.setFont(kCaptionFont);

    baudlist.onClick = [this] { baudlist_Click(); };
    Filter.onClick = [this] { Filter_Click(); };
    open_char.onChange = [this] { open_char_Change(); };
    Repeats.onChange = [this] { Repeats_Change(); };
    Trigger.onClick = [this] { Trigger_Click(); };
}

void Birchform::load() {
    Status_timer.setEnabled(true);
    selectFirstPort();
    Repeats.setText(kBirchRepeats.standard);
    open_char.setText(kBirchOpenChar.standard);
    baudlist.selectText(kBirchStartBaud);
    Filter.selectText("On");
    SetupPort();
}

// Leaving by the title bar skips "<< Back", so the port is let go here; after "<< Back" this
// second close fails, unseen.
void Birchform::unload() {
    portSystem().closeHandle(m_port.handle);
}

// ---- handlers ----

void Birchform::baudlist_Click() {
    m_port.baudRate = storedValue(readTypedNumber(baudlist.text()));
    SetupPort();
}

void Birchform::Filter_Click() {
    ShowSwitchSettings();
}

void Birchform::open_char_Change() {
    Message_Timer.setEnabled(false);
    m_openChar = checkedValue(open_char, kBirchOpenChar);
    Message_Timer.setEnabled(true);
}

void Birchform::Repeats_Change() {
    Message_Timer.setEnabled(false);
    m_repeatCount = checkedValue(Repeats, kBirchRepeats);
    Message_Timer.setEnabled(true);
}

void Birchform::Trigger_Click() {
    Message_Timer.setEnabled(false);
    if (!createWriteEvent("0"))
        showFeedback1("Failure to create overlapped event", colors::kRed);
    flushPort();
    for (int pass = 1; pass <= m_repeatCount; ++pass)
        writeOpeningCharacter(m_openChar);
    Message_Timer.setEnabled(true);
    Status_timer.setEnabled(true);
    closeWriteEvent();
}

// ---- procedures ----

// Switches 1 and 2 are fixed; 3 and 4 select the filter.
void Birchform::ShowSwitchSettings() {
    const bool filterOn = Filter.text() == "On";
    showSwitch(bit1, 1, "v");
    showSwitch(bit2, 2, "^");
    showSwitch(bit3, 3, filterOn ? "^" : "v");
    showSwitch(bit4, 4, filterOn ? "v" : "^");
}

}  // namespace screens
