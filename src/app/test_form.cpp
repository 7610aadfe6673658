#include "app/test_form.h"

#include "screens/printers/printer_table.h"

namespace app {

using namespace toolkit;

namespace {

const Font kGroupFont{"Arial", 9.75, true, false};
constexpr int kLeft = 60;

void setUpGroup(Frame& frame, const char* caption, int top, int height) {
    frame.setCaption(caption);
    frame.setGeometry(kLeft, top, 460, height);
    frame.setForeColor(colors::kWhite);
    frame.setFont(kGroupFont);
}

void setUpChoice(OptionButton& option, const char* caption, int column, int row) {
    option.setCaption(caption);
    option.setGeometry(16 + 224 * column, 24 + 28 * row, 216, 24);
    option.setForeColor(colors::kWhite);
    option.setFont(kGroupFont);
}

}  // namespace

TestForm::PrinterOptions::PrinterOptions(Form& form) {
    for (const screens::PrinterBrand* brand : screens::printerBrands()) {
        Frame& frame = frames.emplace_back(form, brand->selector.frame);
        options.emplace_back(form, brand->selector.parallelOption, &frame);
        options.emplace_back(form, brand->selector.serialOption, &frame);
    }
}

TestForm::PrinterMenus::PrinterMenus(Form& form, MenuItem& receiptPrinter) {
    for (const screens::PrinterBrand* brand : screens::printerBrands()) {
        const screens::SelectorPlace& place = brand->selector;
        MenuItem& menu = items.emplace_back(form, place.menu, place.menuCaption, &receiptPrinter);
        items.emplace_back(form, place.parallelItem, "Parallel Interface", &menu);
        items.emplace_back(form, place.serialItem, "Serial Interface", &menu);
    }
}

TestForm::TestForm(Application& app, Program& program) : Form(app, "TestForm"), m_program(program) {
    setCaption("Main Test Selector");
    setBackColor(colors::kLightBlue);
    // Wide enough for the whole menu bar on one row; the choices stay in the middle.
    setSize(580, 470);

    Label1.setCaption("Cash Drawer Interface Selector");
    Label1.setFont(Font{"Arial", 15.75, true, false});
    Label1.setForeColor(colors::kWhite);
    Label1.setAlignment(Align::Center);
    Label1.setGeometry(kLeft - 40, 12, 540, 30);

    setUpGroup(Frame3, "Dunmere Cash Drawer Interfaces", 54, 84);
    struct Choice {
        OptionButton& option;
        MenuItem& item;
        const char* caption;
        const char* screen;
        int column;
        int row;
    };
    for (const Choice& c : {Choice{Cedar, mCedar, "Cedar Serial Interface", "Cedarform", 0, 0},
                            Choice{Birch, mBirch, "Birch Serial Interface", "Birchform", 1, 0},
                            Choice{Alder, mAlder, "Alder Serial Interface", "Alderform", 0, 1},
                            Choice{Maple, mMaple, "Maple Parallel Interface", "Mapleform", 1, 1}}) {
        setUpChoice(c.option, c.caption, c.column, c.row);
        wire(c.option, c.item, c.screen);
    }
    // The printer brands' groups follow one another below the interfaces.
    for (std::size_t i = 0; i < screens::printerBrands().size(); ++i) {
        const screens::PrinterBrand& brand = *screens::printerBrands()[i];
        setUpGroup(printerOptions.frames[i], brand.selector.frameCaption,
                   148 + 64 * static_cast<int>(i), 56);
        OptionButton& parallel = printerOptions.options[2 * i];
        OptionButton& serial = printerOptions.options[2 * i + 1];
        setUpChoice(parallel, "Parallel Interface", 0, 0);
        setUpChoice(serial, "Serial Interface", 1, 0);
        wire(parallel, printerMenus.items[3 * i + 1], brand.parallel.formName);
        wire(serial, printerMenus.items[3 * i + 2], brand.serial.formName);
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
    mFind.onClick = [this] { mFind_Click(); };
    mDisclaimer.onClick = [this] { mDisclaimer_Click(); };
    mQuit.onClick = [this] { mQuit_Click(); };
}

// The option button and the menu entry of a test do the same thing.
void TestForm::wire(OptionButton& option, MenuItem& item, const std::string& formName) {
    option.onClick = [this, formName] { openScreen(formName); };
    item.onClick = [this, formName] { openScreen(formName); };
}

void TestForm::openScreen(const std::string& formName) {
    m_program.showScreen(formName);
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

void TestForm::mFind_Click() {
    m_program.showFind(false);
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
