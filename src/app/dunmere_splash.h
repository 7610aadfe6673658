// The splash window shown at start: three seconds, a character key or a click on its bare
// frame lead on to the disclaimer.
#pragma once

#include "app/program.h"
#include "toolkit/application.h"

namespace app {

class DunmereSplash final : public toolkit::Form {
public:
    DunmereSplash(toolkit::Application& app, Program& program);

    toolkit::Frame Frame1{*this, "Frame1"};
    toolkit::Timer Splash_Timer{*this, "Splash_Timer", toolkit::Millis{3000}, true};
    toolkit::Image imgLogo{*this, "imgLogo", &Frame1};
    toolkit::Label lblCompanyProduct{*this, "lblCompanyProduct", &Frame1};
    toolkit::Label lblProductName{*this, "lblProductName", &Frame1};
    toolkit::Label lblPlatform{*this, "lblPlatform", &Frame1};
    toolkit::Label lblVersion{*this, "lblVersion", &Frame1};
    toolkit::Label lblWarning{*this, "lblWarning", &Frame1};
    toolkit::Label lblCompany{*this, "lblCompany", &Frame1};

private:
    void load() override;
    void Form_KeyPress(const std::string& text);
    void Frame1_Click();
    void Splash_Timer_Timer();
    void endSplash();

    Program& m_program;
};

}  // namespace app
