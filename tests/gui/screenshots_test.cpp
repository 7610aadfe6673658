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

using namespace std::chrono_literals;

TEST(Screenshots, EveryWindowIsDrawnAtItsSizeInItsColours) {
    toolkit::VirtualClock clock;
    toolkit::Application app{clock};
    gui::QtWindowSystem windows{app};
    support::FakePortSystem fake;
    // Lines that light the status displays: CTS and the ring indicator on.
    fake.setModemStatus(0x50);
    app::Program program{app, fake, {{"COM1", "/dev/ttyUSB0"}}};
    QDir().mkpath("screenshots");
    std::vector<std::string> shot;
    // Photographs the current window once its status timers have had a tick.
    const auto shoot = [&] {
        toolkit::Form& form = *app.activeForm();
        clock.spend(100ms);
        app.deliverDueTimers();
        QApplication::processEvents();
        const QImage image = gui::grabWindow(form);
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
    };
    const auto click = [&app](const char* name) {
        toolkit::Control* control = app.activeForm()->find(name);
        ASSERT_NE(control, nullptr) << name;
        app.click(*control);
    };

    program.start();
    shoot();
    app.pressKey(*app.activeForm(), " ");
    shoot();
    click("Accept");
    shoot();
    // Each test as a person reaches it: picked on the selector, left by "<< Back".
    for (const char* option :
         {"Cedar", "Birch", "Alder", "Maple", "StarParallel", "StarSerial", "EPSONParallel",
          "EPSONSerail", "CITIZENParallel", "CITIZENserial", "ITHACAparallel", "ITHACAserial"}) {
        click(option);
        shoot();
        if (app.activeForm()->name() == "Alderform") {
            click("AlderAdvanced");
            shoot();
        }
        click("exit");
    }
    EXPECT_EQ(shot.size(), 3u + 13u);
}
