// Everything a screen test needs: a virtual clock and the model's application, the fake port
// backend, the program-wide records, and a navigator that remembers where a screen went.
#pragma once

#include <string>
#include <vector>

#include "screens/common/context.h"
#include "support/fake_port_system.h"
#include "support/recording_window_system.h"
#include "support/virtual_time.h"
#include "toolkit/application.h"

namespace support {

class RecordingNavigator final : public screens::Navigator {
public:
    void showSelector() override { shown.push_back("TestForm"); }
    void showScreen(const std::string& formName) override { opened.push_back(formName); }

    std::vector<std::string> shown;
    std::vector<std::string> opened;
};

struct ScreenHarness {
    ScreenHarness() {
        app.setWindowSystem(&windows);
        // Time a device keeps the program waiting passes on the virtual clock too.
        fake.useClock(clock);
    }

    template <class Screen>
    Screen& open() {
        return app.open<Screen>(context);
    }
    // Lets time pass, delivering the timer ticks that fall due.
    void runFor(toolkit::Millis d) { support::runFor(app, clock, d); }

    toolkit::VirtualClock clock;
    toolkit::Application app{clock};
    RecordingWindowSystem windows;
    FakePortSystem fake;
    ports::SharedRecords records;
    RecordingNavigator navigator;
    screens::Context context{fake, records, navigator};
};

}  // namespace support
