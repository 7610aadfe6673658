#include "screens/interfaces/cedar_form.h"

#include <algorithm>
#include <string>

#include "screens/common/typed_number.h"
#include "screens/interfaces/interface_looks.h"

namespace screens {

using namespace toolkit;

namespace {

// The longest run one trigger sends, in time on the wire. The window waits for every write,
// so a typed count of thousands would hold it for minutes (32767 pairs at 300 baud take over
// half an hour), while the interface needs a fraction of a second: the standard counts give
// 50 to 330 ms.
constexpr int kLongestRunSeconds = 2;
constexpr int kBitsPerPass = 20;  // two characters of start bit, 8 data bits and stop bit

// The run length that belongs to each baud rate.
struct RateRepeats {
    const char* rate;
    const char* repeats;
};
constexpr RateRepeats kRateRepeats[] = {
    {"300", "5"}, {"1200", "10"}, {"2400", "15"}, {"4800", "20"}, {"9600", "25"},
};

bool isBlank(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' '; });
}

}  // namespace

Cedarform::Cedarform(Application& app, Context& context)
    : SerialInterfaceScreen(app, context, "Cedarform", kCedar) {
    setCaption("Cedar Interface Test");
    title.setCaption("Dunmere Cash Drawer Cedar Test");

    setUpCaption(Frame1, "Interface Settings:", {20, 130, 300, 140});

    const char* baudTip = "Select serial port baud rate.";
    setUpCaption(Label1, "Baud Rate", {16, 32, 150, 22});
    Label1.setToolTip(baudTip);
    baudlist.setItems({"9600", "4800", "2400", "1200", "300"});
    baudlist.setToolTip(baudTip);
    baudlist.setAccessibleName("Baud Rate");
    baudlist.setFont(kCaptionFont);
    baudlist.setGeometry(176, 28, 108, 24);

    const char* openCharTip = "Decimal Value of opening character.";
    setUpCaption(Label3, "Opening Character", {16, 68, 150, 22});
    Label3.setToolTip(openCharTip);
    open_char.setToolTip(openCharTip);
    open_char.setAccessibleName("Opening Character");
    open_char.setAlignment(Align::Center);
    open_char.setFont(kCaptionFont);
    open_char.setGeometry(176, 64, 108, 24);

    setUpCaption(Label4, "Repeat Character", {16, 104, 150, 22});
    Repeats.setAccessibleName("Repeat Character");
    Repeats.setAlignment(Align::Center);
    Repeats.setFont(kCaptionFont);
    Repeats.setGeometry(176, 100, 108, 24);

    setUpCaption(Label7, "Switch settings:", {36, 300, 140, 22});
    setUpCaption(Label5, "Not Applicable", {180, 300, 140, 22});
    Label5.setForeColor(colors::kSilver);

    setUpCaption(Label2, "Drawer currently indicates:", {340, 146, 240, 22});
    Label2.setAlignment(Align::Center);
    cd_status.setCaption("Not Applicable");
    cd_status.setForeColor(colors::kSilver);
    cd_status.setToolTip("Status Not Available.");

    Trigger.setCaption("Trigger Drawer");
    Trigger.setToolTip("Click to send opening character to the drawer.");
    Trigger.setFont(kCaptionFont);
    Trigger.setGeometry(360, 352, 200, 40);
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
    SelectFirstPort();
    open_char.setText("7");
    baudlist.selectText("1200");
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
    for (const RateRepeats& entry : kRateRepeats) {
        if (baudlist.text() == entry.rate)
            Repeats.setText(entry.repeats);
    }
}

void Cedarform::open_char_Change() {
    StoreTypedNumber(open_char, m_openChar);
}

void Cedarform::Repeats_Change() {
    StoreTypedNumber(Repeats, m_repeatCount);
}

void Cedarform::open_char_LostFocus() {
    if (isBlank(open_char.text())) {
        ShowFeedback1("Enter a valid character between 0 and 255", colors::kRed);
        open_char.setFocus();
    }
    const double number = readTypedNumber(open_char.text());
    if (number < 0 || number > 255) {
        open_char.setText("7");
        ShowFeedback1("Valid characters are 0 through 255", colors::kRed);
        ShowFeedback2("Open Character reset to standard: 7", colors::kGreen);
    }
}

// Any number is a repeat count; only an empty box asks for one.
void Cedarform::Repeats_LostFocus() {
    if (isBlank(Repeats.text())) {
        ShowFeedback1("Repeat value must be greater than 0", colors::kGreen);
        Repeats.setFocus();
    }
}

void Cedarform::Trigger_Click() {
    Message_Timer.setEnabled(false);
    CreateWriteEvent("0");
    FlushPort();
    const int longestRun = m_port.baudRate * kLongestRunSeconds / kBitsPerPass;
    int passes = m_repeatCount;
    if (passes > longestRun) {
        passes = longestRun;
        ShowFeedback2("Repeat count limited to " + std::to_string(longestRun) + " at " +
                          std::to_string(m_port.baudRate) + " baud.",
                      colors::kYellow);
    }
    const auto character = static_cast<std::uint8_t>(m_openChar & 0xFF);
    for (int pass = 1; pass <= passes; ++pass) {
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

// Stored as typed; the checks come when the box is left.
void Cedarform::StoreTypedNumber(const TextBox& box, std::int16_t& stored) {
    Message_Timer.setEnabled(false);
    stored = storedValue(readTypedNumber(box.text()));
    Message_Timer.setEnabled(true);
}

}  // namespace screens
