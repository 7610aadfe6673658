// The toolkit's event rules, as the screens rely on them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/virtual_time.h"
#include "toolkit/application.h"

using namespace toolkit;
using namespace std::chrono_literals;
using Log = std::vector<std::string>;

namespace {

// A form with one of each kind the rules are about; every handler logs itself.
class Probe : public Form {
public:
    explicit Probe(Application& app, Log& log) : Form(app, "Probe"), m_log(log) {
        // Every click logs the control's name; the values tell the rest.
        for (Control* control : controls())
            control->onClick = [this, control] { m_log.push_back(control->name()); };
        box.onChange = [this] { m_log.push_back("box:" + box.text()); };
        box.onLostFocus = [this] { m_log.push_back("box:lost"); };
        other.onLostFocus = [this] { m_log.push_back("other:lost"); };
        list.setItems({"9600", "4800"});
        list.onClick = [this] { m_log.push_back("list:" + list.text()); };
        check.onClick = [this] { m_log.push_back(check.value() ? "check:on" : "check:off"); };
        ticker.onTimer = [this] { m_log.push_back("tick"); };
    }

    TextBox box{*this, "box"};
    TextBox other{*this, "other"};
    ComboBox list{*this, "list"};
    CheckBox check{*this, "check"};
    OptionButton a{*this, "a"};
    OptionButton b{*this, "b"};
    Frame frame{*this, "frame"};
    OptionButton framed{*this, "framed", &frame};
    CommandButton button{*this, "button"};
    Timer ticker{*this, "ticker", 100ms, false};

protected:
    void unload() override { m_log.push_back("unload"); }

private:
    Log& m_log;
};

// Paints as Qt does inside a long handler, while a tick and a click wait at the door.
struct Painter final : WindowSystem {
    Painter(Application& a, Probe& f, Log& l) : app(a), form(f), log(l) {}
    Application& app;
    Probe& form;
    Log& log;
    void formShown(Form&) override {}
    void formDestroyed(Form&) override {}
    void timersChanged() override {}
    void showMessage(const std::string&, const std::string&) override {}
    void programEnded() override {}
    void paintWhileBusy() override {
        log.push_back("paint");
        app.deliverDueTimers();
        app.click(form.button);
    }
    void busyEnded() override { log.push_back("not busy"); }
};

struct Fixture : ::testing::Test {
    VirtualClock clock;
    Application app{clock};
    Log log;
    Probe& form = app.open<Probe>(log);
};

}  // namespace

TEST_F(Fixture, ProgramChangesRunHandlersNestedOnlyOnRealChangeAndOptionsAreExclusive) {
    // A handler that resets its own box runs again for the reset, inside the first run.
    form.box.onChange = [&] {
        log.push_back("enter:" + form.box.text());
        if (form.box.text() == "bad")
            form.box.setText("7");
        log.push_back("leave:" + form.box.text());
    };
    form.box.setText("bad");
    EXPECT_EQ(log, (Log{"enter:bad", "enter:7", "leave:7", "leave:7"}));

    log.clear();
    form.box.setText("7");
    form.list.setListIndex(1);
    form.list.selectText("4800");
    form.check.setValue(true);
    form.check.setValue(true);
    form.check.setValue(false);
    form.a.setValue(true);
    form.a.setValue(true);
    form.framed.setValue(true);  // another container: a stays
    form.a.setValue(false);      // clearing runs nothing
    form.a.setValue(true);
    form.b.setValue(true);
    EXPECT_EQ(log, (Log{"list:4800", "check:on", "check:off", "a", "framed", "a", "b"}));
    EXPECT_FALSE(form.a.value());
    EXPECT_TRUE(form.framed.value());
}

// That a click runs its handler every time, on the option already selected and the list entry
// already shown too, the renderer tests show from the widgets on; out of the user's reach it
// runs nothing.
TEST_F(Fixture, UserClicksAlwaysRunTheHandlerWhereTheUserCanReach) {
    form.button.setEnabled(false);
    app.click(form.button);
    form.frame.setVisible(false);
    app.click(form.framed);
    form.frame.setVisible(true);
    form.frame.setEnabled(false);
    app.click(form.framed);
    EXPECT_TRUE(log.empty());
}

TEST_F(Fixture, EditsAreOneChangeEachAndOnlyTheUsersFocusMovesRaiseLostFocus) {
    app.edit(form.box, "3");
    app.edit(form.box, "30");
    app.edit(form.box, "30");  // no change, no event
    app.click(form.button);    // the box loses the focus before the click
    app.focus(form.other);
    app.leave(form.other);
    EXPECT_EQ(log, (Log{"box:3", "box:30", "box:lost", "button", "other:lost"}));

    // Two boxes that pull the focus back would loop for ever if the program's own focus moves
    // raised lost-focus handlers.
    log.clear();
    form.box.onLostFocus = [&] {
        log.push_back("box:lost");
        form.box.setFocus();
    };
    form.other.onLostFocus = [&] {
        log.push_back("other:lost");
        form.other.setFocus();
    };
    app.focus(form.box);
    app.focus(form.other);
    EXPECT_TRUE(form.box.hasFocus());
    EXPECT_EQ(log, (Log{"box:lost"}));
}

TEST_F(Fixture, TimersTickOnTheirIntervalBetweenHandlersAndRestartWhenEnabled) {
    form.ticker.setEnabled(true);
    support::runFor(app, clock, 380ms);  // ticks at 100, 200, 300; next due at 400
    EXPECT_EQ(log.size(), 3u);
    form.ticker.setEnabled(false);
    form.ticker.setEnabled(true);  // next at 480
    support::runFor(app, clock, 90ms);
    EXPECT_EQ(log.size(), 3u);
    support::runFor(app, clock, 10ms);
    EXPECT_EQ(log.size(), 4u);
    // Enabling a running timer changes nothing.
    support::runFor(app, clock, 50ms);  // next at 580
    form.ticker.setEnabled(true);
    support::runFor(app, clock, 50ms);
    EXPECT_EQ(log.size(), 5u);

    // A handler that holds the program to the end of the interval after the next tick's, as a
    // line that takes its time would, and lets the window paint: the tick waits for its end and
    // comes once, the next a whole interval later; a click meanwhile never runs inside it.
    log.clear();
    form.button.onClick = [&] {
        clock.spend(200ms);  // the tick was due at 680: it is one interval late
        app.keepPainting();
        log.push_back("button done");
    };
    Painter painter(app, form, log);
    app.setWindowSystem(&painter);
    app.click(form.button);
    app.setWindowSystem(nullptr);
    app.deliverDueTimers();
    support::runFor(app, clock, 99ms);
    EXPECT_EQ(log, (Log{"paint", "button done", "not busy", "tick"}));
    support::runFor(app, clock, 1ms);
    EXPECT_EQ(log.size(), 5u);
}

TEST_F(Fixture, WindowsReplaceTheirOpenerAndTheLastOneEndsTheProgram) {
    Log log2;
    Probe* second = nullptr;
    form.ticker.setEnabled(true);
    form.button.onClick = [&] {
        second = &app.open<Probe>(log2);
        form.close();
        // The closing form stays alive until its handler is over.
        form.box.setText("still here");
    };
    app.click(form.button);
    EXPECT_EQ(app.forms(), (std::vector<Form*>{second}));
    EXPECT_EQ(log, (Log{"unload", "box:still here"}));
    EXPECT_FALSE(app.nextTimerDue()) << "the closed form's timer went with it";
    EXPECT_FALSE(app.ended());

    app.closeWindow(*second);
    EXPECT_EQ(log2, (Log{"unload"}));
    EXPECT_TRUE(app.ended());
    EXPECT_TRUE(app.forms().empty());
}

TEST_F(Fixture, EndingStopsAtOnceWithoutUnloadingInsideAHandlerOrOutside) {
    form.button.onClick = [&] { app.end(); };
    app.click(form.button);
    EXPECT_TRUE(app.ended());
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(app.forms().empty());

    Application other{clock};
    other.open<Probe>(log);
    other.end();
    EXPECT_TRUE(other.forms().empty() && log.empty());
}
