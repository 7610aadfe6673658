#include "screens/interfaces/birch_form.h"

#include <string>

#include "screens/common/typed_number.h"
#include "screens/interfaces/interface_looks.h"

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

    const char* baudTip = "Select serial port baud rate.";
    setUpCaption(Label1, "Baud Rate", {16, 32, 150, 22});
    Label1.setToolTip(baudTip);
    baudlist.setItems({"9600", "4800", "2400", "1200"});
    baudlist.setToolTip(baudTip);
    baudlist.setAccessibleName("Baud Rate");
    baudlist.setFont(kCaptionFont);
    baudlist.setGeometry(176, 28, 108, 24);

    setUpCaption(Filter_Label, "Filter", {16, 68, 150, 22});
    Filter.setItems({"On", "Off"});
    Filter.setAccessibleName("Filter");
    Filter.setFont(kCaptionFont);
    Filter.setGeometry(176, 64, 108, 24);

    const char* openCharTip = "Decimal Value of opening character.";
    setUpCaption(Label3, "Opening Character", {16, 104, 150, 22});
    Label3.setToolTip(openCharTip);
    open_char.setToolTip(openCharTip);
    open_char.setAccessibleName("Opening Character");
    open_char.setAlignment(Align::Center);
    open_char.setFont(kCaptionFont);
    open_char.setGeometry(176, 100, 108, 24);

    setUpCaption(Label4, "Repeat Character", {16, 140, 150, 22});
    Repeats.setAccessibleName("Repeat Character");
    Repeats.setAlignment(Align::Center);
    Repeats.setFont(kCaptionFont);
    Repeats.setGeometry(176, 136, 108, 24);

    setUpCaption(Label7, "Switch settings:", {36, 334, 140, 22});
    Label8.setCaption(" 1  2  3   4");
    Label8.setForeColor(colors::kYellow);
    Label8.setFont(kSwitchFont);
    Label8.setGeometry(kSwitchLeft, 322, 100, 22);
    Label* bits[] = {&bit1, &bit2, &bit3, &bit4};
    for (int i = 0; i < 4; ++i) {
        Label& bit = *bits[i];
        bit.setCaption(std::to_string(i + 1));
        bit.setForeColor(colors::kYellow);
        bit.setFont(kSwitchFont);
        bit.setAlignment(Align::Center);
        bit.setGeometry(kSwitchLeft + kSwitchCentres[i] - 8, 346, 16, 22);
    }

    setUpCaption(Label2, "Drawer currently indicates:", {340, 146, 240, 22});
    Label2.setAlignment(Align::Center);

    Trigger.setCaption("Trigger Drawer");
    Trigger.setToolTip("Click to send opening character to the drawer.");
    Trigger.setFont(kCaptionFont);
    Trigger.setGeometry(360, 352, 200, 40);
    exit.setFont(kCaptionFont);

    baudlist.onClick = [this] { baudlist_Click(); };
    Filter.onClick = [this] { Filter_Click(); };
    open_char.onChange = [this] { open_char_Change(); };
    Repeats.onChange = [this] { Repeats_Change(); };
    Trigger.onClick = [this] { Trigger_Click(); };
}

void Birchform::load() {
    Status_timer.setEnabled(true);
    SelectFirstPort();
    Repeats.setText("2");
    open_char.setText("85");
    baudlist.selectText("1200");
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
    static constexpr BoxRule kRule{0, 255, "85", "Valid characters are 0 through 255",
                                   "Open Character reset to factory default: 85"};
    ValidateBox(open_char, kRule, m_openChar);
}

void Birchform::Repeats_Change() {
    static constexpr BoxRule kRule{1, 100, "2", "Valid values 1 through 100",
                                   "Number of repeats reset to standard: 2"};
    ValidateBox(Repeats, kRule, m_repeatCount);
}

void Birchform::Trigger_Click() {
    Message_Timer.setEnabled(false);
    if (!CreateWriteEvent("0"))
        ShowFeedback1("Failure to create overlapped event", colors::kRed);
    FlushPort();
    const auto character = static_cast<std::uint8_t>(m_openChar & 0xFF);
    for (int pass = 1; pass <= m_repeatCount; ++pass) {
        const ports::ErrorCode result = WriteBytes({character, 0x00});
        if (result == ports::kSuccess) {
            ShowFeedback1("Trigger Character written to port.", colors::kGreen);
        } else if (result != ports::kIoPending) {
            ShowFeedback1("Error writing to port. (" + std::to_string(result) + ")", colors::kRed);
        }
    }
    Message_Timer.setEnabled(true);
    Status_timer.setEnabled(true);
    CloseWriteEvent();
}

// ---- procedures ----

// Switches 1 and 2 are fixed; 3 and 4 select the filter.
void Birchform::ShowSwitchSettings() {
    const bool filterOn = Filter.text() == "On";
    bit1.setCaption("v");
    bit2.setCaption("^");
    bit3.setCaption(filterOn ? "^" : "v");
    bit4.setCaption(filterOn ? "v" : "^");
}

// A rejected text never stays: the default goes back in, and putting it there runs this check
// again (nested) before the reset is reported.
void Birchform::ValidateBox(TextBox& box, const BoxRule& rule, std::int16_t& stored) {
    Message_Timer.setEnabled(false);
    const double number = readTypedNumber(box.text());
    if (box.text().empty() || number < rule.low || number > rule.high) {
        box.setText(rule.standard);
        ShowFeedback1(rule.rangeText, colors::kRed);
        ShowFeedback2(rule.resetText, colors::kGreen);
    }
    stored = storedValue(readTypedNumber(box.text()));
    Message_Timer.setEnabled(true);
}

}  // namespace screens
