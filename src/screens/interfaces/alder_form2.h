// The Alder alternate operation test: the Alder interface set up for level mode (it then acts
// like a Cedar interface) or character pulse mode (like a Birch interface). A mode button fixes
// the opening character, repeat count and baud rate of the mode and shows its switches;
// "Trigger Drawer" sends the character and waits, bounded, for a write still under way.
#pragma once

#include <cstdint>
#include <string>

#include "screens/common/serial_interface_screen.h"
#include "screens/interfaces/switch_row.h"

namespace screens {

class Alderform2 final : public SerialInterfaceScreen {
public:
    Alderform2(toolkit::Application& app, Context& context);

    // How long a trigger waits for a write the port reports as still under way.
    static constexpr std::uint32_t kPendingWriteWaitMs = 1000;

    toolkit::Label Label1{*this, "Label1"};
    toolkit::CommandButton Alder_Level{*this, "Alder_Level"};
    toolkit::CommandButton Alder_Char{*this, "Alder_Char"};
    toolkit::Frame Frame1{*this, "Frame1"};
    toolkit::Label Label2{*this, "Label2", &Frame1};
    toolkit::ComboBox baudlist{*this, "baudlist", &Frame1};
    toolkit::Label Label3{*this, "Label3", &Frame1};
    toolkit::TextBox open_char{*this, "open_char", &Frame1};
    toolkit::Label Label4{*this, "Label4", &Frame1};
    toolkit::TextBox Repeats{*this, "Repeats", &Frame1};
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
    toolkit::Label Label6{*this, "Label6", &Frame1};
    toolkit::CommandButton Trigger{*this, "Trigger"};
    toolkit::CommandButton AlderAdvanced{*this, "AlderAdvanced"};
    toolkit::Label Label5{*this, "Label5"};

    // "Char" (character pulse mode) or "Level" (level mode).
    const std::string& mode() const { return m_mode; }
    std::int16_t openChar() const { return m_openChar; }
    std::int16_t repeatCount() const { return m_repeatCount; }

protected:
    void load() override;

private:
    void Alder_Level_Click();
    void Alder_Char_Click();
    void selectMode(const char* mode, const char* repeats, const char* openChar);
    void baudlist_Click();
    void open_char_Change();
    void Trigger_Click();
    void AlderAdvanced_Click();

    void ShowSwitchSettings();
    // Waits, bounded, for a write reported as still under way; its outcome.
    ports::ErrorCode awaitPendingWrite();
    SwitchLabels bits() {
        return {&bit1, &bit2, &bit3, &bit4, &bit5, &bit6, &bit7, &bit8, &bit9, &bit10};
    }

    std::string m_mode;
    std::int16_t m_openChar = 0;
    std::int16_t m_repeatCount = 0;
    SwitchGlyphs m_switchGlyphs;
};

}  // namespace screens
