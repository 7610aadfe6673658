// The Alder serial interface test: baud rate, opening character and repeat count with the ten
// switches that set them on the interface, "Trigger Drawer" (optionally followed by a printer
// test text) and the drawer state from the ring-indicator line. "Alder Advanced " leads to the
// alternate-operation test.
#pragma once

#include <cstdint>

#include "screens/common/serial_interface_screen.h"
#include "screens/interfaces/switch_row.h"

namespace screens {

class Alderform final : public SerialInterfaceScreen {
public:
    Alderform(toolkit::Application& app, Context& context);

    toolkit::Frame Frame1{*this, "Frame1"};
    toolkit::Label Label1{*this, "Label1", &Frame1};
    toolkit::ComboBox baudlist{*this, "baudlist", &Frame1};
    toolkit::Label Label3{*this, "Label3", &Frame1};
    toolkit::TextBox open_char{*this, "open_char", &Frame1};
    toolkit::Label Label4{*this, "Label4", &Frame1};
    toolkit::ComboBox Repeats{*this, "Repeats", &Frame1};
    toolkit::Label Label7{*this, "Label7", &Frame1};
    toolkit::Label Label8{*this, "Label8", &Frame1};
    toolkit::Label bit1{*this, "bit1", &Frame1};
    toolkit::Label bit2{*this, "bit2", &Frame1};
    toolkit::Label bit3{*this, "bit3", &Frame1};
    toolkit::Label bit4{*this, "bit4", &Frame1};
    toolkit::Label bit5{*this, "bit5", &Frame1};
    toolkit::Label bit6{*this, "bit6", &Frame1};
    toolkit::Label bit7{*this, "bit7", &Frame1};
    toolkit::Label bit8{*this, "bit8", &Frame1};
    toolkit::Label bit9{*this, "bit9", &Frame1};
    toolkit::Label bit10{*this, "bit10", &Frame1};
    toolkit::Label Label5{*this, "Label5", &Frame1};
    toolkit::Frame Frame2{*this, "Frame2"};
    toolkit::OptionButton Dead_end{*this, "Dead_end", &Frame2};
    toolkit::OptionButton Parasite{*this, "Parasite", &Frame2};
    toolkit::CheckBox TestPrinter{*this, "TestPrinter"};
    toolkit::CommandButton Trigger{*this, "Trigger"};
    toolkit::CommandButton AlderAdvanced{*this, "AlderAdvanced"};
    toolkit::Label Label2{*this, "Label2"};

    // AlderBaud is the port record's baud rate.
    std::int16_t alderBaud() const { return m_port.baudRate; }
    std::int16_t openChar() const { return m_openChar; }
    std::int16_t repeatCount() const { return m_repeatCount; }

protected:
    void load() override;

private:
    void baudlist_Click();
    void Repeats_Click();
    void open_char_Change();
    void Dead_end_Click();
    void Parasite_Click();
    void TestPrinter_Click();
    void Trigger_Click();
    void AlderAdvanced_Click();

    void ShowSwitchSettings();
    SwitchLabels bits() {
        return {&bit1, &bit2, &bit3, &bit4, &bit5, &bit6, &bit7, &bit8, &bit9, &bit10};
    }

    std::int16_t m_openChar = 0;
    std::int16_t m_repeatCount = 0;
    SwitchGlyphs m_switchGlyphs;
};

}  // namespace screens
