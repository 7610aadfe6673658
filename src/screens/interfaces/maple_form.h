// The Maple parallel interface test: the wiring (a 'Y' cable shared with a printer, or a
// dead-end cable), the opening character with the eight switches that hold it, and "Trigger
// Drawer", which sends the character six times, after a printer test text when asked.
#pragma once

#include <cstdint>

#include "screens/common/test_screen.h"
#include "screens/interfaces/switch_row.h"

namespace screens {

class Mapleform final : public TestScreen {
public:
    Mapleform(toolkit::Application& app, Context& context);

    toolkit::Frame Frame2{*this, "Frame2"};
    toolkit::OptionButton Parasite{*this, "Parasite", &Frame2};
    toolkit::OptionButton Dead_end{*this, "Dead_end", &Frame2};
    toolkit::CheckBox TestPrinter{*this, "TestPrinter"};
    toolkit::Frame Frame1{*this, "Frame1"};
    toolkit::Label Label3{*this, "Label3", &Frame1};
    toolkit::TextBox open_char{*this, "open_char", &Frame1};
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
    toolkit::Label Label1{*this, "Label1", &Frame1};
    toolkit::CommandButton Trigger{*this, "Trigger"};

    std::int16_t openChar() const { return m_openChar; }

protected:
    void load() override;
    void SetupPort() override;

private:
    void Parasite_Click();
    void Dead_end_Click();
    void TestPrinter_Click();
    void open_char_Change();
    void Trigger_Click();

    void ShowSwitchSettings();
    SwitchLabels bits() {
        return {&bit1, &bit2, &bit3, &bit4, &bit5, &bit6, &bit7, &bit8, &bit9, &bit10};
    }

    std::int16_t m_openChar = 0;
    SwitchGlyphs m_switchGlyphs;
};

}  // namespace screens
