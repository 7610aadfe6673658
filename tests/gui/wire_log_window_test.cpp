// The wire log's window: F12 on a test screen opens it with the screen's calls, following live
// while shown; Ctrl+C and Save; on the selector F12 is its menu entry's key. Its picture is
// written as screenshots/WireLog.png.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QLabel>
#include <QListView>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/program.h"
#include "gui/qt_window_system.h"
#include "gui/wire_log_window.h"
#include "sim/printer.h"
#include "support/fake_port_system.h"

TEST(WireLogWindow, F12OpensItOnATestScreenFollowingTheScreensCallsAndOnTheSelector) {
    toolkit::VirtualClock clock;
    toolkit::Application app{clock};
    gui::QtWindowSystem windows{app};
    support::FakePortSystem fake;
    fake.useClock(clock);
    fake.attach("COM1", std::make_shared<sim::Printer>(protocol::epsonCommands()));
    app::Program program{app, fake, {}};
    gui::WireLogWindow log(program, windows);
    auto* view = log.findChild<QListView*>("events");
    QAbstractItemModelTester tester(view->model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(view->font(), QFontDatabase::systemFont(QFontDatabase::FixedFont));
    const auto events = [view] {
        const QAbstractItemModel& rows = *view->model();
        std::string text;
        for (int row = 0; row < rows.rowCount(); ++row)
            text += rows.index(row, 0).data().toString().toStdString() + "\n";
        return text;
    };

    program.showScreen("EPSONSerialform");
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
    // Ctrl+C on the heading copies what is picked there, not the list's rows.
    ASSERT_TRUE(QTest::qWaitForWindowActive(&log));
    auto* heading = log.findChild<QLabel*>("heading");
    heading->setFocus();
    heading->setSelection(0, 8);
    QTest::keyClick(heading, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "Wire log");
    // Save asks where, and writes the log there.
    const QString saved = QDir::temp().filePath("drawertest-wire-log-window.txt");
    QTimer::singleShot(0, [&saved] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            dialog->selectFile(saved);
            static_cast<QDialog*>(dialog)->accept();
        }
    });
    QTest::mouseClick(log.findChild<QPushButton*>("save"), Qt::LeftButton);
    {
        QFile file(saved);  // closed before the file goes: Windows holds an open file
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll().toStdString(), program.wireLog().text());
    }
    QFile::remove(saved);
    auto* savedLine = log.findChild<QLabel*>("saved");
    EXPECT_EQ(savedLine->text().toStdString(),
              "Saved to " + QDir::toNativeSeparators(saved).toStdString());
    // A save that fails is told as such, not as the last one that worked.
    const QString blocked = QDir::temp().filePath("drawertest-wire-log-not-a-folder");
    QFile(blocked).open(QIODevice::WriteOnly);
    const QString unwritable = blocked + "/log.txt";
    EXPECT_FALSE(log.saveTo(unwritable).isEmpty());
    EXPECT_EQ(savedLine->text().toStdString(),
              "Not saved to " + QDir::toNativeSeparators(unwritable).toStdString());
    QFile::remove(blocked);

    // On the selector F12 is the key of its "Wire Log" entry.
    log.hide();
    app.click(*app.activeForm()->find("exit"));
    QMainWindow* selector = gui::windowOf(*app.activeForm());
    ASSERT_TRUE(QTest::qWaitForWindowActive(selector));
    QTest::keyClick(selector, Qt::Key_F12);
    EXPECT_TRUE(log.isVisible());
    log.hide();
    program.showScreen("EPSONSerialform");
    QTest::qWait(300);
    EXPECT_EQ(events().find("call"), std::string::npos) << "hidden, it does not look: all blank";
}
