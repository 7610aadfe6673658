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

#include "gui/qt_window_system.h"
#include "support/reference_views.h"

namespace {

using namespace std::chrono_literals;

// A channel may be off by this much (font smoothing), and this many pixels may differ at all.
constexpr int kChannelTolerance = 16;
constexpr int kPixelsAllowed = 4;

using support::View;

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
    support::ViewProgram p;
    gui::QtWindowSystem windows{p.app};
    support::reachView(p, view);
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

INSTANTIATE_TEST_SUITE_P(EveryWindow, ReferenceImage,
                         ::testing::ValuesIn(support::referenceViews()),
                         [](const auto& param) { return support::testName(param.param); });

}  // namespace
