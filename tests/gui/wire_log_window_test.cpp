// The wire log's window: F12 on a test screen opens it with the screen's calls, following live;
// on the selector F12 is its menu entry's key. Its picture is written as screenshots/WireLog.png.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QListView>
#include <QMainWindow>
#include <QTest>

#include "app/program.h"
#include "devices/printer.h"
#include "gui/qt_window_system.h"
#include "gui/wire_log_window.h"
#include "support/fake_port_system.h"

TEST(WireLogWindow, F12OpensItOnATestScreenFollowingTheScreensCallsAndOnTheSelector) {
    toolkit::VirtualClock clock;
    toolkit::Application app{clock};
    gui::QtWindowSystem windows{app};
    support::FakePortSystem fake;
    fake.useClock(clock);
    fake.attach("COM1", std::make_shared<devices::Printer>(devices::Brand::Epson));
    app::Program program{app, fake, {}};
    gui::WireLogWindow log(program, windows);
    const auto events = [&log] {
        const QAbstractItemModel& rows = *log.findChild<QListView*>("events")->model();
        std::string text;
        for (int row = 0; row < rows.rowCount(); ++row)
            text += rows.index(row, 0).data().toString().toStdString() + "\n";
        return text;
    };

    program.showScreen(screens::ScreenId::EPSONSerialform);
    QMainWindow* screen = gui::windowOf(*app.activeForm());
    ASSERT_TRUE(QTest::qWaitForWindowActive(screen));
    QTest::keyClick(screen, Qt::Key_F12);
    ASSERT_TRUE(log.isVisible());
    EXPECT_NE(events().find("call  open COM1: handle 1"), std::string::npos);

    app.click(*app.activeForm()->find("Trigger"));
    // The window looks again on its own.
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return events().find("GS V 1: partial cut") != std::string::npos; }));
    QDir().mkpath("screenshots");
    EXPECT_TRUE(log.grab().save("screenshots/WireLog.png"));

    // On the selector F12 is the key of its "Wire Log" entry.
    log.hide();
    app.click(*app.activeForm()->find("exit"));
    QMainWindow* selector = gui::windowOf(*app.activeForm());
    ASSERT_TRUE(QTest::qWaitForWindowActive(selector));
    QTest::keyClick(selector, Qt::Key_F12);
    EXPECT_TRUE(log.isVisible());
}
