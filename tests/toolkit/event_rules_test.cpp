// The toolkit's event rules, as the screens rely on them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/virtual_time.h"
#include "toolkit/application.h"

using namespace toolkit;
using namespace std::chrono_literals;

namespace {

// A form with one of each kind the rules are about; every handler logs itself.
class Probe : public Form {
public:
    explicit Probe(Application& app, std::vector<std::string>& log)
        : Form(app, "Probe"), m_log(log) {
        box.onChange = [this] { m_log.push_back("box:" + box.text()); };
        box.onLostFocus = [this] { m_log.push_back("box:lost"); };
        other.onChange = [this] { m_log.push_back("other:" + other.text()); };
        other.onLostFocus = [this] { m_log.push_back("other:lost"); };
        list.setItems({"9600", "4800"});
        list.onClick = [this] { m_log.push_back("list:" + list.text()); };
        check.onClick = [this] { m_log.push_back(check.value() ? "check:on" : "check:off"); };
        a.onClick = [this] { m_log.push_back("a"); };
        b.onClick = [this] { m_log.push_back("b"); };
        framed.onClick = [this] { m_log.push_back("framed"); };
        button.onClick = [this] { m_log.push_back("button"); };
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
    std::function<void()> onUnload;

protected:
    void unload() override {
        m_log.push_back("unload");
        if (onUnload)
            onUnload();
    }

private:
    std::vector<std::string>& m_log;
};

struct Fixture : ::testing::Test {
    VirtualClock clock;
    Application app{clock};
    std::vector<std::string> log;
    Probe& form = app.open<Probe>(log);
};

}  // namespace

TEST_F(Fixture, ProgramChangesRunHandlersNestedAndOnlyOnRealChange) {
    // A handler that resets its own box runs again for the reset, inside the first run.
    form.box.onChange = [&] {
        log.push_back("enter:" + form.box.text());
        if (form.box.text() == "bad")
            form.box.setText("7");
        log.push_back("leave:" + form.box.text());
    };
    form.box.setText("bad");
    EXPECT_EQ(log, (std::vector<std::string>{"enter:bad", "enter:7", "leave:7", "leave:7"}));

    log.clear();
    form.box.setText("7");
    form.list.setListIndex(1);
    form.list.setListIndex(1);
    form.list.selectText("4800");
    form.check.setValue(true);
    form.check.setValue(true);
    form.check.setValue(false);
    form.a.setValue(true);
    form.a.setValue(true);
    form.a.setValue(false);  // clearing runs nothing
    EXPECT_EQ(log, (std::vector<std::string>{"list:4800", "check:on", "check:off", "a"}));
}

TEST_F(Fixture, OptionButtonsAreExclusiveWithinTheirContainerOnly) {
    form.a.setValue(true);
    form.framed.setValue(true);
    EXPECT_TRUE(form.a.value());
    form.b.setValue(true);
    EXPECT_FALSE(form.a.value());
    EXPECT_TRUE(form.b.value());
    EXPECT_TRUE(form.framed.value());
    EXPECT_EQ(log, (std::vector<std::string>{"a", "framed", "b"}));
}

TEST_F(Fixture, UserClicksAlwaysRunTheHandler) {
    app.click(form.a);
    app.click(form.a);  // already selected: runs again
    app.pick(form.list, 0);
    app.pick(form.list, 0);  // the entry already shown: runs again
    app.click(form.check);
    app.click(form.check);
    EXPECT_EQ(log, (std::vector<std::string>{"a", "a", "list:9600", "list:9600", "check:on",
                                             "check:off"}));
}

TEST_F(Fixture, UserActionsOnUnreachableControlsDoNothing) {
    form.button.setEnabled(false);
    app.click(form.button);
    form.frame.setVisible(false);
    app.click(form.framed);
    form.frame.setVisible(true);
    form.frame.setEnabled(false);
    app.click(form.framed);
    EXPECT_FALSE(form.framed.value());
    EXPECT_TRUE(log.empty());
}

TEST_F(Fixture, EditsAreOneChangeEachAndFocusMovesRaiseLostFocus) {
    app.edit(form.box, "3");
    app.edit(form.box, "30");
    app.edit(form.box, "30");  // no change, no event
    app.click(form.button);    // the box loses the focus before the click
    app.edit(form.other, "x");
    app.leave(form.other);
    EXPECT_EQ(log, (std::vector<std::string>{"box:3", "box:30", "box:lost", "button", "other:x",
                                             "other:lost"}));
}

TEST_F(Fixture, FocusSetByTheProgramRaisesNoLostFocus) {
    // Two boxes that pull the focus back would loop forever if the program's own focus moves
    // raised lost-focus handlers.
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
    EXPECT_EQ(log, (std::vector<std::string>{"box:lost"}));
}

TEST_F(Fixture, TimersTickOnTheirIntervalAndRestartWhenEnabled) {
    form.ticker.setEnabled(true);
    support::runFor(app, clock, 350ms);
    EXPECT_EQ(log.size(), 3u);

    // Stopping and starting again counts a whole interval from the start.
    support::runFor(app, clock, 30ms);  // t = 380, next tick due at 400
    form.ticker.setEnabled(false);
    form.ticker.setEnabled(true);  // next at 480
    support::runFor(app, clock, 90ms);
    EXPECT_EQ(log.size(), 3u);
    support::runFor(app, clock, 10ms);
    EXPECT_EQ(log.size(), 4u);

    // Enabling a running timer changes nothing.
    support::runFor(app, clock, 50ms);  // t = 530, next at 580
    form.ticker.setEnabled(true);
    support::runFor(app, clock, 50ms);
    EXPECT_EQ(log.size(), 5u);
}

TEST_F(Fixture, ALateTimerDeliversOneTickNotABacklog) {
    form.ticker.setEnabled(true);
    // A handler that holds the program for a second, as a device that does not answer would.
    form.button.onClick = [&] { clock.spend(1000ms); };
    app.click(form.button);
    app.deliverDueTimers();
    EXPECT_EQ(log, (std::vector<std::string>{"tick"}));
    // The next tick comes a whole interval later.
    support::runFor(app, clock, 99ms);
    EXPECT_EQ(log.size(), 1u);
    support::runFor(app, clock, 1ms);
    EXPECT_EQ(log.size(), 2u);
}

TEST_F(Fixture, TimersTickOnlyBetweenHandlers) {
    form.ticker.setEnabled(true);
    // A tick that falls due while a handler runs waits for the handler's end.
    form.button.onClick = [&] {
        clock.spend(500ms);
        log.push_back("button done");
    };
    app.click(form.button);
    EXPECT_EQ(log, (std::vector<std::string>{"button done"}));
    app.deliverDueTimers();
    EXPECT_EQ(log, (std::vector<std::string>{"button done", "tick"}));
}

TEST_F(Fixture, ClosingTheLastWindowEndsTheProgram) {
    form.ticker.setEnabled(true);
    app.closeWindow(form);
    EXPECT_EQ(log, (std::vector<std::string>{"unload"}));
    EXPECT_TRUE(app.ended());
    EXPECT_TRUE(app.forms().empty());
    EXPECT_FALSE(app.nextTimerDue());
}

TEST_F(Fixture, ANewWindowReplacesTheOneThatOpenedIt) {
    std::vector<std::string> log2;
    Probe* second = nullptr;
    form.button.onClick = [&] {
        second = &app.open<Probe>(log2);
        form.close();
        // The closing form stays alive until its handler is over.
        form.box.setText("still here");
    };
    app.click(form.button);
    ASSERT_EQ(app.forms().size(), 1u);
    EXPECT_EQ(app.forms().front(), second);
    EXPECT_FALSE(app.ended());
}

TEST_F(Fixture, EndingStopsAtOnceWithoutUnloading) {
    form.button.onClick = [&] { app.end(); };
    app.click(form.button);
    EXPECT_TRUE(app.ended());
    EXPECT_TRUE(log.empty());  // no unload ran
    EXPECT_TRUE(app.forms().empty());
}
