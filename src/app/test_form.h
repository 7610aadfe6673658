// The main test selector: twelve drawer tests by option button or by menu, the Ports dialog,
// the About box, the last test screen's wire log, the disclaimer again, and the way out.
#pragma once

#include "app/program.h"
#include "toolkit/application.h"

namespace app {

class TestForm final : public toolkit::Form {
public:
    TestForm(toolkit::Application& app, Program& program);

    toolkit::Label Label1{*this, "Label1"};
    toolkit::Frame Frame3{*this, "Frame3"};
    toolkit::OptionButton Cedar{*this, "Cedar", &Frame3};
    toolkit::OptionButton Birch{*this, "Birch", &Frame3};
    toolkit::OptionButton Alder{*this, "Alder", &Frame3};
    toolkit::OptionButton Maple{*this, "Maple", &Frame3};
    toolkit::Frame Frame1{*this, "Frame1"};
    toolkit::OptionButton StarParallel{*this, "StarParallel", &Frame1};
    toolkit::OptionButton StarSerial{*this, "StarSerial", &Frame1};
    toolkit::Frame Frame2{*this, "Frame2"};
    toolkit::OptionButton EPSONParallel{*this, "EPSONParallel", &Frame2};
    toolkit::OptionButton EPSONSerail{*this, "EPSONSerail", &Frame2};
    toolkit::Frame Frame4{*this, "Frame4"};
    toolkit::OptionButton CITIZENParallel{*this, "CITIZENParallel", &Frame4};
    toolkit::OptionButton CITIZENserial{*this, "CITIZENserial", &Frame4};
    toolkit::Frame Frame5{*this, "Frame5"};
    toolkit::OptionButton ITHACAparallel{*this, "ITHACAparallel", &Frame5};
    toolkit::OptionButton ITHACAserial{*this, "ITHACAserial", &Frame5};
    toolkit::CommandButton Exit{*this, "Exit"};

    toolkit::MenuItem mCDI{*this, "mCDI", "Dunmere Cash Drawer Interfaces"};
    toolkit::MenuItem mCedar{*this, "mCedar", "Cedar Serial Interface", &mCDI};
    toolkit::MenuItem mBirch{*this, "mBirch", "Birch Serial Interface", &mCDI};
    toolkit::MenuItem mAlder{*this, "mAlder", "Alder Serial Interface", &mCDI};
    toolkit::MenuItem mMaple{*this, "mMaple", "Maple Parallel Interface", &mCDI};
    toolkit::MenuItem mPI{*this, "mPI", "Receipt Printer"};
    toolkit::MenuItem mSPI{*this, "mSPI", "Star Micronics", &mPI};
    toolkit::MenuItem mSPPI{*this, "mSPPI", "Parallel Interface", &mSPI};
    toolkit::MenuItem mSPSI{*this, "mSPSI", "Serial Interface", &mSPI};
    toolkit::MenuItem mEPI{*this, "mEPI", "Epson ", &mPI};
    toolkit::MenuItem mEPPI{*this, "mEPPI", "Parallel Interface", &mEPI};
    toolkit::MenuItem mEPSI{*this, "mEPSI", "Serial Interface", &mEPI};
    toolkit::MenuItem mCPI{*this, "mCPI", "Citizen ", &mPI};
    toolkit::MenuItem mCPPI{*this, "mCPPI", "Parallel Interface", &mCPI};
    toolkit::MenuItem mCPSI{*this, "mCPSI", "Serial Interface", &mCPI};
    toolkit::MenuItem mIPI{*this, "mIPI", "Ithaca", &mPI};
    toolkit::MenuItem mIPPI{*this, "mIPPI", "Parallel Interface", &mIPI};
    toolkit::MenuItem mIPSI{*this, "mIPSI", "Serial Interface", &mIPI};
    toolkit::MenuItem mTools{*this, "mTools", "Tools"};
    toolkit::MenuItem mWireLog{*this, "mWireLog", "Wire Log", &mTools, "F12"};
    toolkit::MenuItem mPorts{*this, "mPorts", "Ports..."};
    toolkit::MenuItem mAbout{*this, "mAbout", "About"};
    toolkit::MenuItem mDisclaimer{*this, "mDisclaimer", "Disclaimer"};
    toolkit::MenuItem mQuit{*this, "mQuit", "Quit"};

private:
    // The option button and the menu entry of a test do the same thing.
    void openScreen(screens::ScreenId screen);
    void mDisclaimer_Click();
    void mPorts_Click();
    void mAbout_Click();
    void mWireLog_Click();
    void Exit_Click();
    void mQuit_Click();

    Program& m_program;
};

}  // namespace app
