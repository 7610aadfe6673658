// The window system's own duties: timers on Qt time, message boxes, the end of the event loop.
// (Pictures of a window: the reference pictures.)
#include <QApplication>
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
    // Once the program is over, running does not wait for anything.
    EXPECT_EQ(windows.run(), 0);
}

TEST_F(RendererTest, AMessageBoxShowsWithoutHoldingUpTheHandler) {
    app.showMessage("Drawer Test", "Port COM1 is not available.");
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
