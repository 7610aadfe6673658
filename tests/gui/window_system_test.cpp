// The window system's own duties: timers on Qt time, message boxes, the end of the event loop,
// and pictures of a window.
#include <QApplication>
#include <QDir>
#include <QMenuBar>
#include <QMessageBox>

#include "fixture.h"

using namespace toolkit;
using guitest::RendererTest;

TEST_F(RendererTest, ModelTimersTickUnderTheQtEventLoopUntilTheProgramEnds) {
    int ticks = 0;
    form.ticker.onTimer = [&] {
        if (++ticks == 3)
            app.end();
    };
    // Timers are started by handlers, as on every screen.
    form.go.onClick = [&] { form.ticker.setEnabled(true); };
    app.click(form.go);
    // Should the timers never fire, this ends the loop instead and the count tells.
    QTimer::singleShot(10000, [&] { app.end(); });
    EXPECT_EQ(windows.run(), 0);
    EXPECT_EQ(ticks, 3);
    EXPECT_TRUE(app.ended());
    // Once the program is over, running does not wait for anything.
    EXPECT_EQ(windows.run(), 0);
}

TEST_F(RendererTest, AMessageBoxShowsWithoutHoldingUpTheHandler) {
    bool after = false;
    form.go.onClick = [&] {
        app.showMessage("Drawer Test", "Port COM1 is not available.");
        after = true;
    };
    app.click(form.go);
    EXPECT_TRUE(after);
    QMessageBox* shown = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
            shown = box;
    }
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->windowTitle(), "Drawer Test");
    EXPECT_EQ(shown->text(), "Port COM1 is not available.");
    shown->close();
}

TEST_F(RendererTest, AGrabShowsTheLampAndMakesAPicture) {
    const int top = window->menuBar()->height();
    const QPoint lampCentre(310, top + 80);
    QImage image = gui::grabWindow(form);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixelColor(lampCentre), QColor(0x00, 0xFF, 0x00));
    // The form's background, and a frame's bare inside: exactly their colour, unshaded.
    EXPECT_EQ(image.pixelColor(5, top + 295), QColor(0x80, 0x80, 0xFF));
    EXPECT_EQ(image.pixelColor(10 + 230, top + 44 + 90), QColor(0x80, 0x80, 0xFF));

    form.lamp.setFillColor(colors::kRed);
    image = gui::grabWindow(form);
    EXPECT_EQ(image.pixelColor(lampCentre), QColor(0xFF, 0x00, 0x00));
    // For a person to look at: the sample form as the renderer draws it.
    EXPECT_TRUE(image.save(QDir::current().filePath("sample_form.png")));
}
