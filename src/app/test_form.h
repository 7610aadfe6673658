// The main test selector: the drawer tests by option button or by menu, the Ports dialog,
// the About box, the last test screen's wire log, the disclaimer again, and the way out.
#pragma once

#include <deque>
#include <string>

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
    // Each printer brand's frame and option buttons, in the printer table's order.
    struct PrinterOptions {
        explicit PrinterOptions(toolkit::Form& form);
        std::deque<toolkit::Frame> frames;
        std::deque<toolkit::OptionButton> options;  // parallel, serial; brand by brand
    } printerOptions{*this};
    toolkit::CommandButton Exit{*this, "Exit"};

    toolkit::MenuItem mCDI{*this, "mCDI", "Dunmere Cash Drawer Interfaces"};
    toolkit::MenuItem mCedar{*this, "mCedar", "Cedar Serial Interface", &mCDI};
    toolkit::MenuItem mBirch{*this, "mBirch", "Birch Serial Interface", &mCDI};
    toolkit::MenuItem mAlder{*this, "mAlder", "Alder Serial Interface", &mCDI};
    toolkit::MenuItem mMaple{*this, "mMaple", "Maple Parallel Interface", &mCDI};
    toolkit::MenuItem mPI{*this, "mPI", "Receipt Printer"};
    // Each printer brand's entries under "Receipt Printer".
    struct PrinterMenus {
        PrinterMenus(toolkit::Form& form, toolkit::MenuItem& receiptPrinter);
        std::deque<toolkit::MenuItem> items;  // the brand's, then its parallel and serial
    } printerMenus{*this, mPI};
    toolkit::MenuItem mTools{*this, "mTools", "Tools"};
    toolkit::MenuItem mWireLog{*this, "mWireLog", "Wire Log", &mTools, "F12"};
    toolkit::MenuItem mFind{*this, "mFind", "Find Drawers and Printers...", &mTools};
    toolkit::MenuItem mPorts{*this, "mPorts", "Ports..."};
    toolkit::MenuItem mAbout{*this, "mAbout", "About"};
    toolkit::MenuItem mDisclaimer{*this, "mDisclaimer", "Disclaimer"};
    toolkit::MenuItem mQuit{*this, "mQuit", "Quit"};

private:
    void wire(toolkit::OptionButton& option, toolkit::MenuItem& item, const std::string& formName);
    void openScreen(const std::string& formName);
    void mDisclaimer_Click();
    void mPorts_Click();
    void mFind_Click();
    void mAbout_Click();
    void mWireLog_Click();
    void Exit_Click();
    void mQuit_Click();

    Program& m_program;
};

}  // namespace app
