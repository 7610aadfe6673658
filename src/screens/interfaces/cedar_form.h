// The Cedar serial interface test: port and baud rate, the opening character and its repeat
// count (stored as typed, checked when the box is left), and "Trigger Drawer", which sends the
// opening character as one unbroken run. The Cedar interface has no switches and reports no
// drawer state.
#pragma once

#include <cstdint>

#include "screens/common/serial_interface_screen.h"

namespace screens {

class Cedarform final : public SerialInterfaceScreen {
public:
    Cedarform(toolkit::Application& app, Context& context);

    toolkit::Frame Frame1{*this, "Frame1"};
    toolkit::Label Label1{*this, "Label1", &Frame1};
    toolkit::ComboBox baudlist{*this, "baudlist", &Frame1};
    toolkit::Label Label3{*this, "Label3", &Frame1};
    toolkit::TextBox open_char{*this, "open_char", &Frame1};
    toolkit::Label Label4{*this, "Label4", &Frame1};
    toolkit::TextBox Repeats{*this, "Repeats", &Frame1};
    toolkit::Label Label7{*this, "Label7"};
    toolkit::Label Label5{*this, "Label5"};
    toolkit::CommandButton Trigger{*this, "Trigger"};
    toolkit::Label Label2{*this, "Label2"};

    std::int16_t openChar() const { return m_openChar; }
    std::int16_t repeatCount() const { return m_repeatCount; }

protected:
    void load() override;
    void unload() override;

private:
    void baudlist_Click();
    void open_char_Change();
    void Repeats_Change();
    void open_char_LostFocus();
    void Repeats_LostFocus();
    void Trigger_Click();

    void storeTypedNumber(const toolkit::TextBox& box, std::int16_t& stored);

    std::int16_t m_openChar = 0;
    std::int16_t m_repeatCount = 0;
};

}  // namespace screens
