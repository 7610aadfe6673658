#include "support/reference_views.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "sim/device_catalog.h"
#include "sim/printer.h"
#include "support/virtual_time.h"

namespace support {

using namespace std::chrono_literals;

namespace {

// Find, from the selector, over the four simulated ports with a device on three of them: an
// offline printer at another rate, an interface, a printer by its device ID.
void find(ViewProgram& p, toolkit::Millis searching) {
    p.program.setPortChoices(nullptr);
    p.fake.useClock(p.clock);
    auto epson = std::make_shared<sim::Printer>(protocol::epsonCommands(), 0, 38400);
    epson->setCondition({.coverOpen = true}, {});
    p.fake.attach("COM1", epson);
    p.fake.attach("COM2", sim::makeDevice("alder"));
    p.fake.attach("LPT1", std::make_shared<sim::Printer>(protocol::starCommands()));
    p.click("mFind");
    p.runFor(searching);
}

}  // namespace

void ViewProgram::click(const char* name) {
    toolkit::Control* control = app.activeForm()->find(name);
    ASSERT_NE(control, nullptr) << name;
    app.click(*control);
}

void ViewProgram::runFor(toolkit::Millis d) {
    support::runFor(app, clock, d);
}

const std::vector<View>& referenceViews() {
    static const std::vector<View> views = {
        {"DunmereSplash", From::Splash, {}, {}},
        {"Notice", From::Notice, {}, {}},
        {"TestForm", From::Selector, {}, {}},
        {"Cedarform", From::Selector, {"Cedar"}, {}},
        {"Birchform", From::Selector, {"Birch"}, {}},
        {"Alderform", From::Selector, {"Alder"}, {}},
        {"Alderform2", From::Selector, {"Alder", "AlderAdvanced"}, {}},
        {"Mapleform", From::Selector, {"Maple"}, {}},
        // A dead-end cable takes the printer test away, and the Y cable gives it back
        // unchecked.
        {"Alderform-dead-end", From::Selector, {"Alder", "TestPrinter", "Dead_end"}, {}},
        {"Alderform-parasite",
         From::Selector,
         {"Alder", "TestPrinter", "Dead_end", "Parasite"},
         {}},
        {"Mapleform-dead-end", From::Selector, {"Maple", "TestPrinter", "Dead_end"}, {}},
        {"Mapleform-parasite",
         From::Selector,
         {"Maple", "TestPrinter", "Dead_end", "Parasite"},
         {}},
        {"PortsForm", From::Selector, {"mPorts"}, {}},
        {"StarParallelform", From::Selector, {"StarParallel"}, {}},
        {"StarSerialform", From::Selector, {"StarSerial"}, {}},
        {"EPSONParallelform", From::Selector, {"EPSONParallel"}, {}},
        {"EPSONSerialform", From::Selector, {"EPSONSerail"}, {}},
        {"CITIZENParallelform", From::Selector, {"CITIZENParallel"}, {}},
        {"CITIZENSerialform", From::Selector, {"CITIZENserial"}, {}},
        {"ITHACAParallelform", From::Selector, {"ITHACAparallel"}, {}},
        {"ITHACASerialform", From::Selector, {"ITHACAserial"}, {}},
        // COM2 missing: its option is disabled and its label greyed for the session.
        {"Birchform-com2-missing",
         From::Selector,
         {"Birch"},
         [](ViewProgram& p) {
             p.fake.setMissing("COM2");
             p.click("com2");
             p.runFor(100ms);
         }},
        // The drawer status polled, the drawer choice held at drawer 1; then a reply no rule
        // knows.
        {"EPSONSerialform-polling",
         From::Selector,
         {"EPSONSerail"},
         [](ViewProgram& p) {
             p.click("TestDrawer");
             p.click("DrawerStatus");
             p.runFor(100ms);
             p.fake.queueReplies({0x12});
             p.runFor(100ms);
         }},
        // The last window closed while 200 pairs at 300 baud still leave the line.
        {"Finishing",
         From::Selector,
         {"Cedar"},
         [](ViewProgram& p) {
             p.fake.attach("COM1", sim::makeDevice("cedar"));
             toolkit::Form& cedar = *p.app.activeForm();
             p.app.pick(*dynamic_cast<toolkit::ComboBox*>(cedar.find("baudlist")), 4);
             p.app.edit(*dynamic_cast<toolkit::TextBox*>(cedar.find("Repeats")), "200");
             p.click("Trigger");
             p.app.closeWindow(cedar);
         }},
        // Find when it is done, and while it still asks.
        {"FindForm", From::Selector, {}, [](ViewProgram& p) { find(p, 3s); }},
        {"FindForm-searching", From::Selector, {}, [](ViewProgram& p) { find(p, 1300ms); }},
        {"EPSONSerialform-unknown",
         From::Selector,
         {"EPSONSerail"},
         [](ViewProgram& p) {
             p.click("DrawerStatus");
             p.runFor(100ms);
             p.fake.queueReplies({0x00});
             p.runFor(100ms);
         }},
    };
    return views;
}

void reachView(ViewProgram& p, const View& view) {
    p.fake.setModemStatus(0x50);  // CTS and the ring indicator on: the line displays lit
    p.program.start();
    if (view.from != From::Splash)
        p.app.pressKey(*p.app.activeForm(), " ");
    if (view.from == From::Selector)
        p.click("Accept");
    for (const char* name : view.clicks)
        p.click(name);
    // A tick of the status timers lights the line displays; a state's own steps end on theirs.
    view.then ? view.then(p) : p.runFor(100ms);
}

std::string testName(const View& view) {
    std::string name = view.name;
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
}

}  // namespace support
