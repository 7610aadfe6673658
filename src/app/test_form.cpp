#include "app/test_form.h"

namespace app {

using namespace toolkit;
using screens::ScreenId;

TestForm::TestForm(Application& app, Program& program) : Form(app, "TestForm"), m_program(program) {
    setCaption("Main Test Selector");
    setBackColor(colors::kLightBlue);
    // Wide enough for the whole menu bar on one row; the choices stay in the middle.
    setSize(580, 470);
    constexpr int kLeft = 60;

    Label1.setCaption("Cash Drawer Interface Selector");
    Label1.setFont(Font{"Arial", 15.75, true, false});
    Label1.setForeColor(colors::kWhite);
    Label1.setAlignment(Align::Center);
    Label1.setGeometry(kLeft - 40, 12, 540, 30);

    const Font groupFont{"Arial", 9.75, true, false};
    struct Group {
        Frame& frame;
        const char* caption;
        int top;
        int height;
    };
    for (const Group& g : {Group{Frame3, "Dunmere Cash Drawer Interfaces", 54, 84},
                           Group{Frame1, "Star Printer Interface", 148, 56},
                           Group{Frame2, "Epson Printer Interface", 212, 56},
                           Group{Frame4, "Citizen Printer Interface", 276, 56},
                           Group{Frame5, "Ithaca Printer Interface", 340, 56}}) {
        g.frame.setCaption(g.caption);
        g.frame.setGeometry(kLeft, g.top, 460, g.height);
        g.frame.setForeColor(colors::kWhite);
        g.frame.setFont(groupFont);
    }

    struct Choice {
        OptionButton& option;
        MenuItem& item;
        const char* caption;
        ScreenId screen;
        int column;
        int row;
    };
    const Choice choices[] = {
        {Cedar, mCedar, "Cedar Serial Interface", ScreenId::Cedarform, 0, 0},
        {Birch, mBirch, "Birch Serial Interface", ScreenId::Birchform, 1, 0},
        {Alder, mAlder, "Alder Serial Interface", ScreenId::Alderform, 0, 1},
        {Maple, mMaple, "Maple Parallel Interface", ScreenId::Mapleform, 1, 1},
        {StarParallel, mSPPI, "Parallel Interface", ScreenId::StarParallelform, 0, 0},
        {StarSerial, mSPSI, "Serial Interface", ScreenId::StarSerialform, 1, 0},
        {EPSONParallel, mEPPI, "Parallel Interface", ScreenId::EPSONParallelform, 0, 0},
        {EPSONSerail, mEPSI, "Serial Interface", ScreenId::EPSONSerialform, 1, 0},
        {CITIZENParallel, mCPPI, "Parallel Interface", ScreenId::CITIZENParallelform, 0, 0},
        {CITIZENserial, mCPSI, "Serial Interface", ScreenId::CITIZENSerialform, 1, 0},
        {ITHACAparallel, mIPPI, "Parallel Interface", ScreenId::ITHACAParallelform, 0, 0},
        {ITHACAserial, mIPSI, "Serial Interface", ScreenId::ITHACASerialform, 1, 0},
    };
    for (const Choice& c : choices) {
        c.option.setCaption(c.caption);
        c.option.setGeometry(16 + 224 * c.column, 24 + 28 * c.row, 216, 24);
        c.option.setForeColor(colors::kWhite);
        c.option.setFont(groupFont);
        const ScreenId screen = c.screen;
        c.option.onClick = [this, screen] { openScreen(screen); };
        c.item.onClick = [this, screen] { openScreen(screen); };
    }

    Exit.setCaption("Exit");
    Exit.setToolTip("Exit Dunmere Test");
    Exit.setFont(Font{"Arial", 9.75, true, false});
    Exit.setGeometry(kLeft + 370, 414, 90, 32);
    Exit.onClick = [this] { Exit_Click(); };

    mPorts.setEnabled(program.offersPortChoices());
    mPorts.onClick = [this] { mPorts_Click(); };
    mAbout.onClick = [this] { mAbout_Click(); };
    mWireLog.onClick = [this] { mWireLog_Click(); };
    mDisclaimer.onClick = [this] { mDisclaimer_Click(); };
    mQuit.onClick = [this] { mQuit_Click(); };
}

void TestForm::openScreen(ScreenId screen) {
    m_program.showScreen(screen);
    close();
}

void TestForm::mDisclaimer_Click() {
    m_program.showNotice();
    close();
}

void TestForm::mPorts_Click() {
    m_program.showPorts();
    close();
}

void TestForm::mAbout_Click() {
    m_program.showAbout();
}

void TestForm::mWireLog_Click() {
    m_program.showWireLog();
}

void TestForm::Exit_Click() {
    app().end();
}

void TestForm::mQuit_Click() {
    app().end();
}

}  // namespace app
