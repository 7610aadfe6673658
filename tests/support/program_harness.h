// The whole program on the fake ports and a virtual clock, its windows recorded: what the tests
// of the shell, the program's end and the soak share.
#pragma once

#include <utility>
#include <vector>

#include "app/program.h"
#include "support/fake_port_system.h"
#include "support/recording_window_system.h"
#include "support/virtual_time.h"

namespace support {

struct ProgramHarness {
    explicit ProgramHarness(std::vector<app::PortDevice> devices = {})
        : program{app, fake, std::move(devices)} {
        app.setWindowSystem(&windows);
        // Time a device keeps the program waiting passes on the virtual clock too.
        fake.useClock(clock);
    }

    // The one window up, when it is an F.
    template <class F>
    F* current() const {
        auto forms = app.forms();
        return forms.size() == 1 ? dynamic_cast<F*>(forms.front()) : nullptr;
    }
    void runFor(toolkit::Millis d) { support::runFor(app, clock, d); }

    // The windows and the ports outlive the application, which may close ports as it goes.
    toolkit::VirtualClock clock;
    RecordingWindowSystem windows;
    FakePortSystem fake;
    toolkit::Application app{clock};
    app::Program program;
};

}  // namespace support
