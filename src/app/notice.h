// The disclaimer: accepting it leads to the main selector, refusing it ends the program.
#pragma once

#include "app/program.h"
#include "toolkit/application.h"

namespace app {

class Notice final : public toolkit::Form {
public:
    Notice(toolkit::Application& app, Program& program);

    toolkit::Label message3{*this, "message3"};
    toolkit::Label message1{*this, "message1"};
    toolkit::Label message2{*this, "message2"};
    toolkit::CommandButton Accept{*this, "Accept"};
    toolkit::CommandButton refuse{*this, "refuse"};

private:
    void load() override;
    void Accept_Click();
    void refuse_Click();

    Program& m_program;
};

}  // namespace app
