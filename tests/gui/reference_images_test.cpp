// Every window of the program as a person sees it, compared pixel by pixel with its reference
// picture in tests/gui/references: each window in the state it opens in, and the states that
// change its looks (a port that is not there, the drawer status polled, a reply no rule knows,
// the cable choices that take the printer test away and give it back).
// The windows are reached through the program's own navigation on the fake ports and drawn
// offscreen. A window that differs leaves its picture and a difference picture (the differing
// pixels in red) in reference-failures/ of the test's working directory. scripts/update-references
// draws the references anew, for a change of looks made on purpose. Beside each picture, a text
// of what a picture does not show: each control's tooltip and the name a screen reader says.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMainWindow>
#include <algorithm>
#include <cstdlib>
#include <functional>

#include "app/program.h"
#include "gui/qt_window_system.h"
#include "support/fake_port_system.h"
#include "support/virtual_time.h"
#include "toolkit/application.h"

namespace {

using namespace std::chrono_literals;

// A channel may be off by this much (font smoothing), and this many pixels may differ at all.
constexpr int kChannelTolerance = 16;
constexpr int kPixelsAllowed = 4;

// Settings that keep nothing: the ports dialog shows what the environment sets.
struct NoStore final : app::ChoiceStore {
    std::string load(const std::string&) const override { return {}; }
    std::string save(const std::string&, const std::string&) override { return {}; }
};

struct Program {
    Program() { program.setPortChoices(&choices); }

    NoStore store;
    // Every port's variable set to a missing device, and no devices found.
    app::PortChoices choices{[](const char*) { return "/nowhere"; }, store, "/nowhere"};
    toolkit::VirtualClock clock;
    toolkit::Application app{clock};
    gui::QtWindowSystem windows{app};
    support::FakePortSystem fake;
    app::Program program{app, fake, {{"COM1", "/dev/ttyUSB0"}}};

    void click(const char* name) {
        toolkit::Control* control = app.activeForm()->find(name);
        ASSERT_NE(control, nullptr) << name;
        app.click(*control);
    }
    void runFor(toolkit::Millis d) { support::runFor(app, clock, d); }
};

enum class From { Splash, Notice, Selector };

struct View {
    const char* name;  // of the picture
    From from;
    std::vector<const char*> clicks;     // from there on
    std::function<void(Program&)> then;  // what changes the window's looks
};

void PrintTo(const View& v, std::ostream* os) {
    *os << v.name;
}

const View kViews[] = {
    {"DunmereSplash", From::Splash, {}, {}},
    {"Notice", From::Notice, {}, {}},
    {"TestForm", From::Selector, {}, {}},
    {"Cedarform", From::Selector, {"Cedar"}, {}},
    {"Birchform", From::Selector, {"Birch"}, {}},
    {"Alderform", From::Selector, {"Alder"}, {}},
    {"Alderform2", From::Selector, {"Alder", "AlderAdvanced"}, {}},
    {"Mapleform", From::Selector, {"Maple"}, {}},
    // A dead-end cable takes the printer test away, and the Y cable gives it back unchecked.
    {"Alderform-dead-end", From::Selector, {"Alder", "TestPrinter", "Dead_end"}, {}},
    {"Alderform-parasite", From::Selector, {"Alder", "TestPrinter", "Dead_end", "Parasite"}, {}},
    {"Mapleform-dead-end", From::Selector, {"Maple", "TestPrinter", "Dead_end"}, {}},
    {"Mapleform-parasite", From::Selector, {"Maple", "TestPrinter", "Dead_end", "Parasite"}, {}},
    {"PortsForm", From::Selector, {"mPorts"}, {}},
    {"StarParallelform", From::Selector, {"StarParallel"}, {}},
    {"StarSerialform", From::Selector, {"StarSerial"}, {}},
    {"EPSONParallelform", From::Selector, {"EPSONParallel"}, {}},
    {"EPSONSerialform", From::Selector, {"EPSONSerail"}, {}},
    {"CITIZENParallelform", From::Selector, {"CITIZENParallel"}, {}},
    {"CITIZENSerialform", From::Selector, {"CITIZENserial"}, {}},
    {"ITHACAParallelform", From::Selector, {"ITHACAparallel"}, {}},
    {"ITHACASerialform", From::Selector, {"ITHACAserial"}, {}},
    // COM2 missing: its option is disabled and its label greyed for the session.
    {"Birchform-com2-missing",
     From::Selector,
     {"Birch"},
     [](Program& p) {
         p.fake.setMissing("COM2");
         p.click("com2");
         p.runFor(100ms);
     }},
    // The drawer status polled, the drawer choice held at drawer 1; then a reply no rule knows.
    {"EPSONSerialform-polling",
     From::Selector,
     {"EPSONSerail"},
     [](Program& p) {
         p.click("TestDrawer");
         p.click("DrawerStatus");
         p.runFor(100ms);
         p.fake.queueReplies({0x12});
         p.runFor(100ms);
     }},
    {"EPSONSerialform-unknown",
     From::Selector,
     {"EPSONSerail"},
     [](Program& p) {
         p.click("DrawerStatus");
         p.runFor(100ms);
         p.fake.queueReplies({0x00});
         p.runFor(100ms);
     }},
};

class ReferenceImage : public ::testing::TestWithParam<View> {};

// "name: tooltip | accessible name", a line for each control that has either, in widget order.
QString unseenText(const QWidget& window) {
    QString text;
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->objectName().isEmpty() && !(w->toolTip() + w->accessibleName()).isEmpty())
            text += w->objectName() + ": " + w->toolTip() + " | " + w->accessibleName() + "\n";
    }
    return text;
}

TEST_P(ReferenceImage, MatchesTheWindowAsDrawn) {
    const View& view = GetParam();
    Program p;
    p.fake.setModemStatus(0x50);  // CTS and the ring indicator on: the line displays lit
    p.program.start();
    if (view.from != From::Splash)
        p.app.pressKey(*p.app.activeForm(), " ");
    if (view.from == From::Selector)
        p.click("Accept");
    for (const char* name : view.clicks)
        p.click(name);
    // A tick of the status timers lights the line displays; a state's own steps end on theirs.
    view.then ? view.then(p) : p.runFor(100ms);
    QApplication::processEvents();
    const QImage drawn = gui::grabWindow(*p.app.activeForm()).convertToFormat(QImage::Format_RGB32);
    const QString file = QString(DRAWERTEST_REFERENCE_DIR "/%1.png").arg(view.name);
    const QString unseen = unseenText(*gui::windowOf(*p.app.activeForm()));
    QFile texts(QString(file).replace(".png", ".txt"));
    if (qEnvironmentVariableIsSet("DRAWERTEST_UPDATE_REFERENCES")) {
        ASSERT_TRUE(drawn.save(file) && texts.open(QIODevice::WriteOnly)) << file.toStdString();
        texts.write(unseen.toUtf8());
        return;
    }
    ASSERT_TRUE(texts.open(QIODevice::ReadOnly)) << texts.fileName().toStdString();
    EXPECT_EQ(unseen.toStdString(), texts.readAll().toStdString());
    const QImage reference = QImage(file).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(drawn.size(), reference.size())
        << "no reference of that size: " << file.toStdString();

    // Red where the pixels differ beyond the tolerance, over a faded copy of what was drawn.
    QImage diff = drawn;
    int differing = 0;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            const QRgb a = drawn.pixel(x, y), b = reference.pixel(x, y);
            const bool same =
                std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                          std::abs(qBlue(a) - qBlue(b))}) <= kChannelTolerance;
            differing += same ? 0 : 1;
            const int grey = 160 + qGray(a) / 4;
            diff.setPixel(x, y, same ? qRgb(grey, grey, grey) : qRgb(255, 0, 0));
        }
    }
    if (differing <= kPixelsAllowed)
        return;
    QDir().mkpath("reference-failures");
    const std::string base = QDir("reference-failures").absoluteFilePath(view.name).toStdString();
    drawn.save(QString::fromStdString(base + ".png"));
    diff.save(QString::fromStdString(base + ".diff.png"));
    ADD_FAILURE() << differing << " pixels differ from " << file.toStdString()
                  << "; drawn: " << base << ".png, difference: " << base << ".diff.png";
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, ReferenceImage, ::testing::ValuesIn(kViews),
                         [](const auto& param) {
                             std::string name = param.param.name;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

}  // namespace
