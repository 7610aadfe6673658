// Every window of the program as a person sees it: each is reached through the program's own
// navigation on the fake ports, drawn offscreen, written as screenshots/<form>.png in the
// test's working directory, and checked for its size and its background colour.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>

#include "app/program.h"
#include "gui/qt_window_system.h"
#include "support/fake_port_system.h"
#include "toolkit/application.h"

namespace {

using namespace std::chrono_literals;

struct Screenshots : ::testing::Test {
    Screenshots() {
        // Lines and replies that light the status displays: CTS and the ring indicator on,
        // an Epson, Star or Ithaca printer answering "open".
        fake.setModemStatus(0x50);
        QDir().mkpath("screenshots");
    }

    template <class C>
    C& control(const char* name) {
        auto* c = dynamic_cast<C*>(app.activeForm()->find(name));
        EXPECT_NE(c, nullptr) << name;
        return *c;
    }

    // Photographs the current window once its status timers have had a tick.
    void shoot() {
        toolkit::Form& form = *app.activeForm();
        clock.spend(100ms);
        app.deliverDueTimers();
        QApplication::processEvents();

        const QImage image = gui::grabWindow(form);
        ASSERT_FALSE(image.isNull()) << form.name();
        EXPECT_TRUE(image.save(QString("screenshots/%1.png").arg(form.name().c_str())));
        EXPECT_EQ(image.width(), form.width()) << form.name();
        EXPECT_GE(image.height(), form.height()) << form.name();
        // The background shows around and between the controls.
        const QRgb back = qRgb(form.backColor().r, form.backColor().g, form.backColor().b);
        int backPixels = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                backPixels += image.pixel(x, y) == back;
        }
        EXPECT_GT(backPixels, image.width() * image.height() / 4) << form.name();
        shot.push_back(form.name());
    }

    toolkit::VirtualClock clock;
    toolkit::Application app{clock};
    gui::QtWindowSystem windows{app};
    support::FakePortSystem fake;
    app::Program program{app, fake, {{"COM1", "/dev/ttyUSB0"}}};
    std::vector<std::string> shot;
};

}  // namespace

TEST_F(Screenshots, EveryWindowIsDrawnAtItsSizeInItsColours) {
    program.start();
    shoot();
    app.pressKey(*app.activeForm(), " ");
    shoot();
    app.click(control<toolkit::CommandButton>("Accept"));
    shoot();
    // Each test as a person reaches it: picked on the selector, left by "<< Back".
    for (const char* option :
         {"Cedar", "Birch", "Alder", "Maple", "StarParallel", "StarSerial", "EPSONParallel",
          "EPSONSerail", "CITIZENParallel", "CITIZENserial", "ITHACAparallel", "ITHACAserial"}) {
        app.click(control<toolkit::OptionButton>(option));
        shoot();
        if (app.activeForm()->name() == "Alderform") {
            app.click(control<toolkit::CommandButton>("AlderAdvanced"));
            shoot();
        }
        app.click(control<toolkit::CommandButton>("exit"));
    }
    EXPECT_EQ(shot.size(), 3u + 13u);
}
