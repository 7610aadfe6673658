// The Birch serial interface test: port, baud rate and filter setting, the opening character
// and its repeat count (both checked on every change), the switch positions the filter needs,
// and "Trigger Drawer", which sends the opening character.
#pragma once

#include <cstdint>

#include "screens/common/serial_interface_screen.h"

namespace screens {

class Birchform final : public SerialInterfaceScreen {
public:
    Birchform(toolkit::Application& app, Context& context);

    toolkit::Frame Frame1{*this, "Frame1"};
    toolkit::Label Label1{*this, "Label1", &Frame1};
    toolkit::ComboBox baudlist{*this, "baudlist", &Frame1};
    toolkit::Label Filter_Label{*this, "Filter_Label", &Frame1};
    toolkit::ComboBox Filter{*this, "Filter", &Frame1};
    toolkit::Label Label3{*this, "Label3", &Frame1};
    toolkit::TextBox open_char{*this, "open_char", &Frame1};
    toolkit::Label Label4{*this, "Label4", &Frame1};
    toolkit::TextBox Repeats{*this, "Repeats", &Frame1};
    toolkit::Label Label7{*this, "Label7"};
    toolkit::Label Label8{*this, "Label8"};
    toolkit::Label bit1{*this, "bit1"};
    toolkit::Label bit2{*this, "bit2"};
    toolkit::Label bit3{*this, "bit3"};
    toolkit::Label bit4{*this, "bit4"};
    toolkit::CommandButton Trigger{*this, "Trigger"};
    toolkit::Label Label2{*this, "Label2"};

    std::int16_t openChar() const { return m_openChar; }
    std::int16_t repeatCount() const { return m_repeatCount; }

protected:
    void load() override;
    void unload() override;

private:
    void baudlist_Click();
    void Filter_Click();
    void open_char_Change();
    void Repeats_Change();
    void Trigger_Click();

    void ShowSwitchSettings();

    std::int16_t m_openChar = 0;
    std::int16_t m_repeatCount = 0;
};

}  // namespace screens
