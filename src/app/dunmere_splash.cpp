#include "app/dunmere_splash.h"

#include "app/version.h"

namespace app {

using namespace toolkit;

namespace {
Font arial(double size, bool bold) {
    return Font{"Arial", size, bold, false};
}
}  // namespace

DunmereSplash::DunmereSplash(Application& app, Program& program)
    : Form(app, "DunmereSplash"), m_program(program) {
    setCaption("Dunmere Cash Drawer Test Utility");
    setBackColor(colors::kWhite);
    setSize(480, 300);

    Frame1.setGeometry(6, 0, 468, 294);
    Frame1.setBackColor(colors::kWhite);
    Frame1.onClick = [this] { Frame1_Click(); };

    imgLogo.setGeometry(18, 50, 140, 140);
    imgLogo.setPicture("logo");

    for (Label* label : {&lblCompanyProduct, &lblProductName, &lblPlatform, &lblVersion,
                         &lblWarning, &lblCompany}) {
        label->setBackColor(colors::kWhite);
    }
    lblCompanyProduct.setCaption("Dunmere Cash Drawer");
    lblCompanyProduct.setFont(arial(18, true));
    lblCompanyProduct.setGeometry(176, 40, 280, 34);
    lblProductName.setCaption("Test Utility");
    lblProductName.setFont(arial(24, true));
    lblProductName.setGeometry(176, 78, 280, 44);
    lblPlatform.setCaption("Windows 9X/NT/XP");
    lblPlatform.setFont(arial(11.25, true));
    lblPlatform.setAlignment(Align::Right);
    lblPlatform.setGeometry(176, 150, 276, 22);
    lblVersion.setCaption("V.1.2.3");
    lblVersion.setFont(arial(12, true));
    lblVersion.setAlignment(Align::Right);
    lblVersion.setGeometry(176, 176, 276, 22);
    lblWarning.setCaption("Warning: Use of this product is at your own risk.");
    lblWarning.setFont(arial(8.25, false));
    lblWarning.setForeColor(colors::kRed);
    lblWarning.setGeometry(18, 236, 340, 18);
    lblCompany.setCaption("Dunmere Cash Drawer Corporation");
    lblCompany.setFont(arial(8.25, false));
    lblCompany.setGeometry(18, 258, 340, 18);

    Splash_Timer.onTimer = [this] { Splash_Timer_Timer(); };
    onKeyPress = [this](const std::string& text) { Form_KeyPress(text); };
}

void DunmereSplash::load() {
    lblVersion.setCaption(versionText(programVersion()));
}

void DunmereSplash::Form_KeyPress(const std::string& text) {
    // Every key that produces a character ends the splash.
    if (!text.empty())
        endSplash();
}

void DunmereSplash::Frame1_Click() {
    endSplash();
}

void DunmereSplash::Splash_Timer_Timer() {
    endSplash();
}

void DunmereSplash::endSplash() {
    m_program.showNotice();
    close();
}

}  // namespace app
