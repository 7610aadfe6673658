// The window shows the form as the model has it, and follows every change the program makes
// without reporting it back as a user action.
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>

#include "fixture.h"

using namespace toolkit;
using guitest::Log;
using guitest::RendererTest;

// Looks (places, fonts, colours, captions, tooltips) and the changes the screens make to them (a
// ticked box, a lit lamp, a disabled option) are the reference pictures' to check; the rest is
// here.
TEST_F(RendererTest, BuildsAFixedWindowNoWidgetForATimerAndTheMenusNested) {
    // Which widget each kind becomes is for the pictures and the lookups of the other tests.
    EXPECT_EQ(window->findChild<QWidget*>("ticker"), nullptr);
    EXPECT_EQ(window->minimumSize(), window->maximumSize());

    // Menus: nested as in the model, captions exactly as stored, leaves on the bar itself.
    auto* tests = widget<QMenu>("mTests");
    auto* epson = widget<QMenu>("mEpson");
    ASSERT_TRUE(tests && epson);
    EXPECT_EQ(window->menuBar()->actions(),
              (QList<QAction*>{tests->menuAction(), window->findChild<QAction*>("mAbout")}));
    EXPECT_EQ(tests->actions(),
              (QList<QAction*>{epson->menuAction(), window->findChild<QAction*>("mMaple")}));
    EXPECT_EQ(epson->title(), "Epson ");
    EXPECT_EQ(tests->actions()[1]->text(), "Maple && Co");
    EXPECT_EQ(epson->actions()[0]->text(), "Serial Interface");
}

TEST_F(RendererTest, FollowsProgramChangesWithoutReportingThemBack) {
    // Each handler runs once, from the model; Qt's own notices of the change add nothing.
    form.box.setText("12");
    form.first.setValue(true);
    form.second.setValue(true);
    form.check.setValue(true);
    form.list.setListIndex(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(form.log, (Log{"box:12", "first", "second", "check:on", "list:4800"}));
    EXPECT_EQ(widget<QLineEdit>("box")->text(), "12");
    EXPECT_FALSE(widget<QRadioButton>("first")->isChecked());
    EXPECT_EQ(widget<QComboBox>("list")->currentIndex(), 1);
    form.second.setValue(false);  // the model can clear every option
    EXPECT_FALSE(widget<QRadioButton>("second")->isChecked());

    // A change takes the way a new window's properties take, which the pictures check; what
    // no screen changes is checked here.
    form.group.setVisible(false);
    form.list.setItems({"19200"});
    form.mAbout.setEnabled(false);
    EXPECT_FALSE(widget<QWidget>("first")->isVisible());
    EXPECT_EQ(widget<QComboBox>("list")->count(), 1);
    EXPECT_FALSE(window->findChild<QAction*>("mAbout")->isEnabled());
    form.setCaption("Renamed");
    form.setBackColor(colors::kWhite);
    EXPECT_EQ(window->windowTitle(), "Renamed");
    EXPECT_EQ(window->centralWidget()->palette().color(QPalette::Window), Qt::white);
    // Too narrow for its menus: the bar stays one row and the client area the form's size.
    form.setSize(60, 200);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->centralWidget()->size(), QSize(60, 200));
    EXPECT_EQ(form.log.size(), 5u);
}

TEST_F(RendererTest, FocusMovesByTheProgramAreNotTheUsers) {
    activate();
    auto* box = widget<QLineEdit>("box");
    form.other.setFocus();
    EXPECT_TRUE(widget<QLineEdit>("other")->hasFocus());
    form.box.setFocus();
    EXPECT_TRUE(box->hasFocus());
    // The user is in the box; disabling it makes Qt move the keyboard on, which is no leaving
    // by the user.
    QTest::mouseClick(box, Qt::LeftButton);
    form.log.clear();
    form.box.setEnabled(false);
    EXPECT_FALSE(box->hasFocus());
    QCoreApplication::processEvents();
    EXPECT_TRUE(form.log.empty());
}
