// The Ports dialog: for COM1, COM2, LPT1 and LPT2 the device each uses, where that comes from
// and whether it can be used now; another picked from the devices found or typed, kept on OK;
// "Find..." to ask every port what is on it.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "app/port_choices.h"
#include "app/program.h"
#include "toolkit/application.h"

namespace app {

class PortsForm final : public toolkit::Form {
public:
    PortsForm(toolkit::Application& app, Program& program, PortChoices& choices);

    // One port's row: its name, its device (typed, or picked from those found), where the
    // device comes from and its state.
    struct Row {
        Row(Form& form, const std::string& port);
        std::string port;
        toolkit::Label name;
        toolkit::TextBox device;
        toolkit::ComboBox found;
        toolkit::Label source;
        toolkit::Label state;
        std::vector<std::string> foundPaths;  // the path behind each entry of `found`
        // Whether each entry is a print queue, which no port can lead to.
        std::vector<bool> foundQueue;
    };

    toolkit::Label title{*this, "title"};
    toolkit::Label DeviceHeading{*this, "DeviceHeading"};
    toolkit::Label FoundHeading{*this, "FoundHeading"};
    Row COM1{*this, "COM1"};
    Row COM2{*this, "COM2"};
    Row LPT1{*this, "LPT1"};
    Row LPT2{*this, "LPT2"};
    // Why the choices could not be kept for later runs, after OK.
    toolkit::Label NotSaved{*this, "NotSaved"};
    toolkit::CommandButton Find{*this, "Find"};
    toolkit::CommandButton OK{*this, "OK"};
    toolkit::CommandButton Cancel{*this, "Cancel"};

    std::array<Row*, 4> rows() { return {&COM1, &COM2, &LPT1, &LPT2}; }

private:
    void load() override;
    void found_Click(Row& row);
    void device_Change(Row& row);
    void Find_Click();
    void OK_Click();
    void Cancel_Click();

    Program& m_program;
    PortChoices& m_choices;
};

}  // namespace app
