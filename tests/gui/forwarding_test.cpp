// What the user does to the widgets reaches the model once, through its door.
#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

#include "fixture.h"

using namespace toolkit;
using guitest::Log;
using guitest::RendererTest;
using guitest::SampleForm;

TEST_F(RendererTest, ClicksReachTheModelAndTheModelDecidesWhatTheyShow) {
    auto* first = widget<QRadioButton>("first");
    auto* second = widget<QRadioButton>("second");
    auto* check = widget<QCheckBox>("check");
    QTest::mouseClick(widget<QPushButton>("go"), Qt::LeftButton);
    QTest::mouseClick(first, Qt::LeftButton);
    QTest::mouseClick(first, Qt::LeftButton);  // the selected option: its handler runs again
    QTest::mouseClick(second, Qt::LeftButton);
    EXPECT_FALSE(first->isChecked());
    QTest::mouseClick(check, Qt::LeftButton);
    EXPECT_TRUE(form.check.value());
    QTest::mouseClick(check, Qt::LeftButton);
    EXPECT_FALSE(check->isChecked());
    // Arrow keys select the neighbouring option, round the group.
    QTest::keyClick(second, Qt::Key_Down);
    QTest::keyClick(first, Qt::Key_Home);  // a key that is no arrow selects nothing
    EXPECT_TRUE(form.first.value());
    EXPECT_FALSE(second->isChecked());
    // Labels, the picture and a frame's bare area are clickable; a label in a frame is its own.
    for (const char* name : {"heading", "logo", "note"})
        QTest::mouseClick(widget<QWidget>(name), Qt::LeftButton);
    QTest::mouseClick(widget<QWidget>("group"), Qt::LeftButton, {}, QPoint(230, 90));
    EXPECT_EQ(form.log, (Log{"go", "first", "first", "second", "check:on", "check:off", "first",
                             "heading", "logo", "note", "group"}));

    // The arrows pass over an option the user cannot reach.
    form.first.setEnabled(false);
    form.second.setValue(true);
    form.log.clear();
    QTest::keyClick(second, Qt::Key_Up);
    EXPECT_TRUE(second->isChecked());
    EXPECT_TRUE(form.log.empty());

    // A handler that runs long keeps the window painted and shows the busy cursor, once, until
    // it ends.
    const QCursor* during = nullptr;
    form.go.onClick = [&] {
        bool painted = false;
        QMetaObject::invokeMethod(
            window, [&] { painted = true; }, Qt::QueuedConnection);
        app.keepPainting();
        app.keepPainting();
        EXPECT_TRUE(painted);
        during = QApplication::overrideCursor();
        EXPECT_EQ(during ? during->shape() : Qt::ArrowCursor, Qt::WaitCursor);
    };
    QTest::mouseClick(widget<QPushButton>("go"), Qt::LeftButton);
    EXPECT_TRUE(during != nullptr && QApplication::overrideCursor() == nullptr);
}

TEST_F(RendererTest, AnAccessibilityToolsToggleReachesTheModelOnce) {
    auto* first = widget<QRadioButton>("first");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(first)->role(), QAccessible::RadioButton);
    for (QWidget* w : {widget<QWidget>("first"), widget<QWidget>("check")}) {
        QAccessible::queryAccessibleInterface(w)->actionInterface()->doAction(
            QAccessibleActionInterface::toggleAction());
    }
    QApplication::processEvents();
    EXPECT_EQ(form.log, (Log{"first", "check:on"}));
    EXPECT_TRUE(form.first.value() && form.check.value());
    EXPECT_TRUE(first->isChecked());
}

TEST_F(RendererTest, TypingIsOneChangePerKeyAndLeavingTheBoxRaisesLostFocus) {
    activate();
    auto* box = widget<QLineEdit>("box");
    QTest::mouseClick(box, Qt::LeftButton);
    QTest::keyClicks(box, "12");
    QTest::mouseClick(widget<QLineEdit>("other"), Qt::LeftButton);
    EXPECT_EQ(form.log, (Log{"box:1", "box:12", "box:lost"}));

    // A handler that corrects the text: the box shows the correction, typing goes on from it.
    form.log.clear();
    form.box.onChange = [this] {
        form.log.push_back("box:" + form.box.text());
        if (form.box.text().size() > 3)
            form.box.setText(form.box.text().substr(0, 3));
    };
    QTest::keyClicks(box, "45");
    EXPECT_EQ(box->text(), "124");
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(form.log, (Log{"box:124", "box:1245", "box:124", "box:12"}));
}

TEST_F(RendererTest, AClickAfterALostFocusHandlerPulledTheFocusBackRaisesItOnce) {
    activate();
    form.box.onLostFocus = [this] {
        form.log.push_back("box:lost");
        form.box.setFocus();
    };
    QTest::mouseClick(widget<QLineEdit>("box"), Qt::LeftButton);
    for (int round = 0; round < 2; ++round) {  // each pull is carried out, not just the first
        QTest::mouseClick(widget<QPushButton>("go"), Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([&] { return widget<QLineEdit>("box")->hasFocus(); }));
    }
    EXPECT_EQ(form.log, (Log{"box:lost", "go", "box:lost", "go"}));
    EXPECT_TRUE(form.box.hasFocus());
}

TEST_F(RendererTest, PickingAListEntryRunsItsHandlerEvenWhenItIsShownAlready) {
    auto* list = widget<QComboBox>("list");
    QTest::keyClick(list, Qt::Key_Down);
    ASSERT_EQ(form.list.listIndex(), 0);
    // Choose the shown entry again from the open list.
    list->showPopup();
    QAbstractItemView* view = list->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view->window()));
    const QRect entry = view->visualRect(view->model()->index(0, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, entry.center());
    EXPECT_EQ(form.log, (Log{"list:9600", "list:9600"}));
}

TEST_F(RendererTest, KeysMenusAndTheTitleBarReachTheModel) {
    activate();
    QTest::mouseClick(widget<QLineEdit>("box"), Qt::LeftButton);
    // Keys reach the form whichever widget has them, besides their usual effect.
    QTest::keyClick(window->windowHandle(), Qt::Key_X);
    QTest::keyClick(window->windowHandle(), Qt::Key_Shift);  // produces no character
    QAction* about = window->findChild<QAction*>("mAbout");
    QTest::mouseClick(window->menuBar(), Qt::LeftButton, {},
                      window->menuBar()->actionGeometry(about).center());
    window->findChild<QAction*>("mEpsonSerial")->trigger();
    EXPECT_EQ(form.log, (Log{"key:x", "box:x", "mAbout", "mEpsonSerial"}));

    bool unloaded = false;
    form.onUnload = [&] { unloaded = true; };
    window->close();
    EXPECT_TRUE(unloaded);
    EXPECT_TRUE(app.ended());
    EXPECT_FALSE(window->isVisible());
}

TEST_F(RendererTest, AFormClosedByItsOwnWidgetLeavesSafely) {
    // As "<< Back" does: the next window opens and this one closes inside the click; then an
    // option whose click closes its form: the window must not look at it afterwards.
    SampleForm* next = nullptr;
    form.go.onClick = [&] {
        next = &app.open<SampleForm>();
        form.close();
    };
    QPointer<QMainWindow> old = window;
    QTest::mouseClick(widget<QPushButton>("go"), Qt::LeftButton);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(app.forms(), (std::vector<Form*>{next}));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(old.isNull());

    QMainWindow* nextWindow = gui::windowOf(*next);
    next->first.onClick = [&] {
        app.open<SampleForm>();
        next->close();
    };
    QTest::mouseClick(nextWindow->findChild<QRadioButton*>("first"), Qt::LeftButton);
    EXPECT_EQ(app.forms().size(), 1u);
    EXPECT_FALSE(nextWindow->isVisible());
}
