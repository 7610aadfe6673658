// The window system's own duties: timers on Qt time, message boxes, the end of the event loop.
// (Pictures of a window: the reference pictures.)
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

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

// A handler that waits on something outside the program shows what it waits for in a note over
// the window, with the busy cursor, and keeps painting; the note's button asks to stop the wait.
// The note goes when the handler ends.
TEST_F(RendererTest, AWaitShowsItsNoteAndHearsItsButton) {
    std::vector<bool> answers;
    QPointer<QDialog> note;
    form.go.onClick = [&] {
        for (const int left : {8, 7, 6}) {
            answers.push_back(app.keepWaiting(
                "COM1 is still sending the last test (" + std::to_string(left) + " s left)",
                "Stop now"));
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (w->objectName() == "waitNote" && w->isVisible())
                    note = qobject_cast<QDialog*>(w);
            }
            ASSERT_NE(note, nullptr);
            EXPECT_EQ(note->findChild<QLabel*>("waitText")->text().toStdString(),
                      "COM1 is still sending the last test (" + std::to_string(left) + " s left)");
            EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
            if (left == 8) {
                auto* stop = note->findChild<QPushButton*>("stopWaiting");
                EXPECT_EQ(stop->text(), "Stop now");
                QMetaObject::invokeMethod(stop, "click", Qt::QueuedConnection);
            }
        }
    };
    QTest::mouseClick(widget<QPushButton>("go"), Qt::LeftButton);
    EXPECT_EQ(answers, (std::vector<bool>{false, true, true}));
    EXPECT_TRUE(note.isNull());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
