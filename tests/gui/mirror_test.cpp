// The window shows the form as the model has it, and follows every change the program makes
// without reporting it back as a user action.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

#include "fixture.h"
#include "gui/lamp_widget.h"
#include "gui/picture_widget.h"

using namespace toolkit;
using guitest::RendererTest;

namespace {

QColor color(const QWidget* w, QPalette::ColorRole role) {
    return w->palette().color(role);
}

}  // namespace

TEST_F(RendererTest, BuildsTheWindowAndEveryKindWithItsProperties) {
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->objectName(), "SampleForm");
    EXPECT_EQ(window->windowTitle(), "Sample Test");
    EXPECT_TRUE(window->isVisible());
    // Fixed size: the form's client area plus the menu bar.
    EXPECT_EQ(window->centralWidget()->size(), QSize(420, 300));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_EQ(window->size(), QSize(420, 300 + window->menuBar()->height()));
    EXPECT_EQ(color(window->centralWidget(), QPalette::Window), QColor(0x80, 0x80, 0xFF));

    auto* heading = widget<QLabel>("heading");
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(heading->text(), "Cash Drawer Sample");
    EXPECT_EQ(heading->accessibleName(), "Cash Drawer Sample");
    EXPECT_EQ(heading->geometry(), QRect(10, 8, 400, 28));
    EXPECT_TRUE(heading->alignment() & Qt::AlignHCenter);
    EXPECT_EQ(color(heading, QPalette::WindowText), Qt::white);
    EXPECT_EQ(color(heading, QPalette::Window), QColor(0x80, 0x80, 0xFF));
    EXPECT_TRUE(heading->autoFillBackground());
    EXPECT_EQ(heading->font().family(), "Arial");
    EXPECT_DOUBLE_EQ(heading->font().pointSizeF(), 15.75);
    EXPECT_TRUE(heading->font().bold());

    auto* go = widget<QPushButton>("go");
    ASSERT_NE(go, nullptr);
    EXPECT_EQ(go->text(), "<< Back");
    EXPECT_EQ(go->toolTip(), "Back to main test selector.");
    EXPECT_DOUBLE_EQ(go->font().pointSizeF(), 9.75);

    // The frame is the real parent of what it holds; positions are relative to it.
    auto* group = widget<QGroupBox>("group");
    auto* first = widget<QRadioButton>("first");
    auto* note = widget<QLabel>("note");
    ASSERT_TRUE(group && first && note);
    EXPECT_EQ(group->title(), "Ports");
    EXPECT_EQ(color(group, QPalette::WindowText), Qt::white);
    EXPECT_EQ(first->parentWidget(), group);
    EXPECT_EQ(note->parentWidget(), group);
    EXPECT_EQ(first->geometry(), QRect(10, 24, 200, 20));
    EXPECT_TRUE(first->autoExclusive());
    EXPECT_EQ(color(first, QPalette::WindowText), Qt::white);
    // The second option kept its own (black) text rather than the frame's white.
    EXPECT_EQ(color(widget<QRadioButton>("second"), QPalette::WindowText), Qt::black);
    EXPECT_FALSE(note->autoFillBackground());  // transparent
    EXPECT_TRUE(note->font().underline());
    EXPECT_FALSE(note->font().bold());

    auto* check = widget<QCheckBox>("check");
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(check->text(), "Report  Drawer Status");
    EXPECT_FALSE(check->isChecked());

    auto* box = widget<QLineEdit>("box");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(color(box, QPalette::Base), Qt::white);
    EXPECT_TRUE(box->alignment() & Qt::AlignRight);

    auto* list = widget<QComboBox>("list");
    ASSERT_NE(list, nullptr);
    EXPECT_FALSE(list->isEditable());
    EXPECT_EQ(list->count(), 3);
    EXPECT_EQ(list->itemText(1), "4800");
    EXPECT_EQ(list->currentIndex(), -1);

    auto* lamp = widget<gui::LampWidget>("lamp");
    ASSERT_NE(lamp, nullptr);
    EXPECT_EQ(lamp->fillColor(), QColor(0x00, 0xFF, 0x00));
    auto* logo = widget<gui::PictureWidget>("logo");
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(logo->picture(), "logo");
    EXPECT_EQ(window->findChild<QWidget*>("ticker"), nullptr);

    // Menus: nested as in the model, captions exactly as stored, leaves on the bar itself.
    QMenuBar* bar = window->menuBar();
    auto* tests = widget<QMenu>("mTests");
    auto* epson = widget<QMenu>("mEpson");
    auto* about = window->findChild<QAction*>("mAbout");
    ASSERT_TRUE(tests && epson && about);
    ASSERT_EQ(bar->actions().size(), 2);
    EXPECT_EQ(bar->actions()[0], tests->menuAction());
    EXPECT_EQ(bar->actions()[1], about);
    EXPECT_EQ(about->text(), "About");
    EXPECT_EQ(tests->title(), "Tests");
    EXPECT_EQ(epson->title(), "Epson ");
    ASSERT_EQ(tests->actions().size(), 2);
    EXPECT_EQ(tests->actions()[0], epson->menuAction());
    EXPECT_EQ(tests->actions()[1]->text(), "Maple && Co");
    ASSERT_EQ(epson->actions().size(), 1);
    EXPECT_EQ(epson->actions()[0]->text(), "Serial Interface");
}

TEST_F(RendererTest, FollowsProgramChangesWithoutReportingThemBack) {
    auto* box = widget<QLineEdit>("box");
    auto* first = widget<QRadioButton>("first");
    auto* second = widget<QRadioButton>("second");
    auto* check = widget<QCheckBox>("check");
    auto* list = widget<QComboBox>("list");

    // Each handler runs once, from the model; Qt's own notices of the change add nothing.
    form.box.setText("12");
    form.first.setValue(true);
    form.second.setValue(true);
    form.check.setValue(true);
    form.list.setListIndex(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(form.log,
              (std::vector<std::string>{"box:12", "first", "second", "check:on", "list:4800"}));
    EXPECT_EQ(box->text(), "12");
    EXPECT_FALSE(first->isChecked());
    EXPECT_TRUE(second->isChecked());
    EXPECT_TRUE(check->isChecked());
    EXPECT_EQ(list->currentIndex(), 1);
    // The model can clear every option.
    form.second.setValue(false);
    EXPECT_FALSE(second->isChecked());

    form.heading.setCaption("Changed");
    form.heading.setForeColor(colors::kRed);
    form.heading.setBackColor(colors::kYellow);
    form.heading.setFont({"Arial", 12, false, true});
    form.heading.setGeometry(20, 10, 300, 30);
    form.heading.setAlignment(Align::Right);
    auto* heading = widget<QLabel>("heading");
    EXPECT_EQ(heading->text(), "Changed");
    EXPECT_EQ(heading->accessibleName(), "Changed");
    EXPECT_EQ(color(heading, QPalette::WindowText), Qt::red);
    EXPECT_EQ(color(heading, QPalette::Window), Qt::yellow);
    EXPECT_DOUBLE_EQ(heading->font().pointSizeF(), 12);
    EXPECT_TRUE(heading->font().underline());
    EXPECT_EQ(heading->geometry(), QRect(20, 10, 300, 30));
    EXPECT_TRUE(heading->alignment() & Qt::AlignRight);

    form.go.setEnabled(false);
    form.go.setToolTip("Exit");
    EXPECT_FALSE(widget<QPushButton>("go")->isEnabled());
    EXPECT_EQ(widget<QPushButton>("go")->toolTip(), "Exit");
    form.group.setVisible(false);
    EXPECT_FALSE(first->isVisible());
    form.group.setVisible(true);
    EXPECT_TRUE(first->isVisible());
    form.lamp.setFillColor(colors::kRed);
    EXPECT_EQ(widget<gui::LampWidget>("lamp")->fillColor(), Qt::red);
    form.list.setItems({"19200"});
    EXPECT_EQ(list->count(), 1);
    EXPECT_EQ(list->currentIndex(), -1);
    form.mEpson.setCaption("Epson");
    form.mAbout.setEnabled(false);
    EXPECT_EQ(widget<QMenu>("mEpson")->title(), "Epson");
    EXPECT_FALSE(window->findChild<QAction*>("mAbout")->isEnabled());

    form.setCaption("Renamed");
    form.setBackColor(colors::kWhite);
    form.setSize(500, 320);
    EXPECT_EQ(window->windowTitle(), "Renamed");
    EXPECT_EQ(color(window->centralWidget(), QPalette::Window), Qt::white);
    EXPECT_EQ(window->size(), QSize(500, 320 + window->menuBar()->height()));
    EXPECT_EQ(window->centralWidget()->size(), QSize(500, 320));
    // Too narrow for its menus: the bar stays one row and the client area the form's size.
    form.setSize(60, 200);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->centralWidget()->size(), QSize(60, 200));
    EXPECT_EQ(form.log.size(), 5u);
}

TEST_F(RendererTest, FocusMovesByTheProgramAreNotTheUsers) {
    activate();
    auto* box = widget<QLineEdit>("box");
    auto* other = widget<QLineEdit>("other");
    form.other.setFocus();
    EXPECT_TRUE(other->hasFocus());
    form.box.setFocus();
    EXPECT_TRUE(box->hasFocus());

    // The user is in the box; disabling it makes Qt move the keyboard on, which is no leaving
    // by the user.
    QTest::mouseClick(other, Qt::LeftButton);
    QTest::mouseClick(box, Qt::LeftButton);
    form.log.clear();
    form.box.setEnabled(false);
    EXPECT_FALSE(box->hasFocus());
    QCoreApplication::processEvents();
    EXPECT_TRUE(form.log.empty());
}

TEST_F(RendererTest, ALostFocusHandlerCanPullTheFocusBack) {
    activate();
    auto* box = widget<QLineEdit>("box");
    form.box.onLostFocus = [this] {
        form.log.push_back("box:lost");
        form.box.setFocus();
    };
    QTest::mouseClick(box, Qt::LeftButton);
    QTest::mouseClick(widget<QLineEdit>("other"), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return box->hasFocus(); }));
    EXPECT_TRUE(form.box.hasFocus());
    EXPECT_EQ(form.log, (std::vector<std::string>{"box:lost"}));
}
