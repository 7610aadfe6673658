// The frame of the maker's serial interface screens (Alder, Alder alternate, Birch, Cedar):
// the maker's port set-up, the opening character's write, and the 100 ms poll of the
// modem-status lines with its lamps and the drawer state from the ring-indicator line.
#pragma once

#include <cstdint>

#include "screens/common/test_screen.h"

namespace screens {

class SerialInterfaceScreen : public TestScreen {
public:
    toolkit::Timer Status_timer{*this, "Status_timer", toolkit::Millis{100}, false};
    toolkit::Shape CTS{*this, "CTS"};
    toolkit::Shape DSR{*this, "DSR"};
    toolkit::Shape CD{*this, "CD"};
    toolkit::Label CTS_Label{*this, "CTS_Label"};
    toolkit::Label DSR_Label{*this, "DSR_Label"};
    toolkit::Label CD_Label{*this, "CD_Label"};
    toolkit::Label cd_status{*this, "cd_status"};

    std::uint32_t modemStatus() const { return m_modemStatus; }

protected:
    // What tells the interface screens apart in their port set-up and poll.
    struct InterfaceTraits {
        bool alderTexts;        // "Error ..." with a capital; the others write "error ..."
        bool raiseDtr;          // SETDTR after SETRTS
        bool showsDrawer;       // the ring-indicator line shown in cd_status
        const char* pollError;  // the start of the status-read error text
    };
    static constexpr InterfaceTraits kAlder{true, true, true,
                                            "Error getting status information. ("};
    static constexpr InterfaceTraits kMaker{false, false, true,
                                            "Error getting status information. ("};
    static constexpr InterfaceTraits kCedar{false, false, false,
                                            "Error getting port status information. ("};

    SerialInterfaceScreen(toolkit::Application& app, Context& context, std::string name,
                          InterfaceTraits traits);

    void Status_Timer_Timer();
    void SetupPort() override;

    // "Drawer currently indicates:", the caption of cd_status, right above it.
    void setUpDrawerCaption(toolkit::Label& caption);

    // One write of the opening character as its 16-bit value, low byte first: the character,
    // then 0x00. Its outcome shows in Feedback1, but for a write still under way (997), which
    // shows nothing; returns it.
    ports::ErrorCode writeOpeningCharacter(std::int16_t openChar);
    // "Trigger Character written to port." in green, or the write's error code in red.
    void showWriteResult(ports::ErrorCode result);

    std::uint32_t m_modemStatus = 0;

private:
    void showLine(toolkit::Shape& lamp, toolkit::Label& label, bool on, const char* line);

    InterfaceTraits m_traits;
};

}  // namespace screens
