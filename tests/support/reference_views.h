// The windows of the program each renderer is checked on: each in the state it opens in, and
// the states that change its looks (a port that is not there, the drawer status polled, a reply
// no rule knows, the cable choices that take the printer test away and give it back). Each is
// reached through the program's own navigation on the fake ports, on a virtual clock. Their
// pictures and texts are in tests/gui/references.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "app/program.h"
#include "support/fake_port_system.h"
#include "toolkit/application.h"

namespace support {

// Settings that keep nothing: the ports dialog shows what the environment sets.
struct NoStore final : app::ChoiceStore {
    std::string load(const std::string&) const override { return {}; }
    std::string save(const std::string&, const std::string&) override { return {}; }
};

// The program on the fake ports. A renderer's window system joins it before it starts.
struct ViewProgram {
    ViewProgram() { program.setPortChoices(&choices); }

    void click(const char* name);
    void runFor(toolkit::Millis d);

    NoStore store;
    // Every port's variable set to a missing device, and no devices found.
    app::PortChoices choices{[](const char*) { return "/nowhere"; }, store, "/nowhere"};
    toolkit::VirtualClock clock;
    toolkit::Application app{clock};
    FakePortSystem fake;
    app::Program program{app, fake, {{"COM1", "/dev/ttyUSB0"}}};
};

enum class From { Splash, Notice, Selector };

struct View {
    const char* name;  // of the picture
    From from;
    std::vector<const char*> clicks;         // from there on
    std::function<void(ViewProgram&)> then;  // what changes the window's looks
};

inline void PrintTo(const View& v, std::ostream* os) {
    *os << v.name;
}

const std::vector<View>& referenceViews();
// Starts the program and brings it to the view's window in the view's state.
void reachView(ViewProgram& p, const View& view);
// A view's name as a test's name takes it.
std::string testName(const View& view);

}  // namespace support
