// The renderer tests' form, with one control of every kind set up as the screens set theirs
// and every handler logging, and the fixture that shows it.
#pragma once

#include <gtest/gtest.h>

#include <QMainWindow>
#include <QTest>
#include <functional>
#include <string>
#include <vector>

#include "gui/qt_window_system.h"
#include "toolkit/application.h"

namespace guitest {

using namespace std::chrono_literals;

class SampleForm : public toolkit::Form {
public:
    explicit SampleForm(toolkit::Application& app);

    toolkit::Label heading{*this, "heading"};
    toolkit::CommandButton go{*this, "go"};
    toolkit::Frame group{*this, "group"};
    toolkit::OptionButton first{*this, "first", &group};
    toolkit::OptionButton second{*this, "second", &group};
    toolkit::Label note{*this, "note", &group};
    toolkit::CheckBox check{*this, "check"};
    toolkit::TextBox box{*this, "box"};
    toolkit::TextBox other{*this, "other"};
    toolkit::ComboBox list{*this, "list"};
    toolkit::Shape lamp{*this, "lamp"};
    toolkit::Image logo{*this, "logo"};
    toolkit::Timer ticker{*this, "ticker", 5ms, false};
    toolkit::MenuItem mTests{*this, "mTests", "Tests"};
    toolkit::MenuItem mEpson{*this, "mEpson", "Epson ", &mTests};
    toolkit::MenuItem mEpsonSerial{*this, "mEpsonSerial", "Serial Interface", &mEpson};
    toolkit::MenuItem mMaple{*this, "mMaple", "Maple & Co", &mTests};
    toolkit::MenuItem mAbout{*this, "mAbout", "About"};

    std::vector<std::string> log;
    // Unloading destroys the form and its log with it: a test that closes the form listens here.
    std::function<void()> onUnload;

protected:
    void load() override;
    void unload() override {
        if (onUnload)
            onUnload();
    }
};

// Shows a SampleForm in its window on a real clock.
struct RendererTest : ::testing::Test {
    toolkit::RealClock clock;
    toolkit::Application app{clock};
    gui::QtWindowSystem windows{app};
    SampleForm& form = app.open<SampleForm>();
    QMainWindow* window = gui::windowOf(form);

    template <class W>
    W* widget(const char* name) const {
        return window->findChild<W*>(QLatin1String(name));
    }
    // Focus moves need an active window.
    void activate() {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }
};

}  // namespace guitest
