// The fixture that shows the renderer tests' form in its Qt window. (How the program's own
// windows look, their lamps included, is the reference pictures' to check.)
#pragma once

#include <gtest/gtest.h>

#include <QMainWindow>
#include <QTest>
#include <functional>
#include <string>
#include <vector>

#include "gui/qt_window_system.h"
#include "support/sample_form.h"
#include "toolkit/application.h"

namespace guitest {

using support::Log;
using support::SampleForm;

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
