// The program's run: its windows (one at a time once an event has been handled), its timers,
// the one door through which every user action enters, and the end of the program.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/clock.h"
#include "toolkit/controls.h"
#include "toolkit/form.h"

namespace toolkit {

// What a renderer does for the model: put windows on the screen and take them away, keep the
// timer schedule, show a message box, and stop when the program ends.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;
    virtual void formShown(Form& form) = 0;
    virtual void formDestroyed(Form& form) = 0;
    virtual void timersChanged() = 0;
    virtual void showMessage(const std::string& caption, const std::string& text) = 0;
    virtual void programEnded() = 0;
    // Inside a long handler: show that the program is busy and paint what has changed, without
    // delivering any user action or tick.
    virtual void paintWhileBusy() {}
    // Inside a handler that waits on something outside the program (a port still sending): as
    // paintWhileBusy, and show `note` over the window with a button captioned `stopCaption`.
    // Called again and again while the wait lasts, each time with the note as it stands now;
    // answers true once the user has pressed the button (or closed the note). The note goes
    // with busyEnded.
    virtual bool paintWhileWaiting(const std::string& /*note*/,
                                   const std::string& /*stopCaption*/) {
        paintWhileBusy();
        return false;
    }
    // The handler that was busy has ended.
    virtual void busyEnded() {}
};

// Whether a user action still has to move the keyboard focus to its control. A renderer has
// already moved it (and reported that move) by the time it reports a click, a keystroke or a
// pick; a test driving the model directly lets the action move it.
enum class Focus { MoveHere, AlreadyMoved };

class Application {
public:
    explicit Application(Clock& clock);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    Clock& clock() const { return m_clock; }
    void setWindowSystem(WindowSystem* windowSystem) { m_windowSystem = windowSystem; }

    // Creates a form, runs its load handler and shows it (modeless).
    template <class F, class... Args>
    F& open(Args&&... args) {
        auto form = std::make_unique<F>(*this, std::forward<Args>(args)...);
        F& ref = *form;
        adopt(std::move(form));
        return ref;
    }

    // The forms that are open (loaded and not closed), oldest first.
    std::vector<Form*> forms() const;
    // The newest open form, or none.
    Form* activeForm() const;
    // Ends the program at once: no form's unload handler runs and nothing more is shown, but
    // for the one window a last-window handler (setLastWindowGone) may open.
    void end();
    bool ended() const { return m_ended; }
    // A message box over the current window; it asks nothing back.
    void showMessage(const std::string& caption, const std::string& text);

    // User actions. Each is one event: handlers run to their end, then closed forms go away,
    // and when no form is left the program ends. Actions on controls the user cannot reach
    // (hidden, disabled, on a closed form) do nothing.
    void click(Control& control, Focus focus = Focus::MoveHere);
    void edit(TextBox& box, std::string text, Focus focus = Focus::MoveHere);
    void pick(ComboBox& list, int index, Focus focus = Focus::MoveHere);
    void focus(Control& control);
    void leave(Control& control);
    void pressKey(Form& form, const std::string& text);
    void closeWindow(Form& form);

    // For a handler that runs long (a run of writes the line takes its time over): the window
    // paints and shows it is busy; no tick and no user action runs until the handler ends.
    void keepPainting();
    // For a handler that waits on something outside the program: as keepPainting, with `note`
    // shown and a button to stop the wait; answers whether the user asked to stop it.
    bool keepWaiting(const std::string& note, const std::string& stopCaption);

    // Told when the last window has gone, before the program ends: it may open one more, and
    // the program then ends when that one goes.
    void setLastWindowGone(std::function<void()> lastWindowGone) {
        m_lastWindowGone = std::move(lastWindowGone);
    }

    // The timer schedule: when the next tick is due, and delivering every tick that is due now
    // (each timer at most once).
    std::optional<Millis> nextTimerDue() const;
    void deliverDueTimers();

private:
    friend class Timer;
    friend class Form;
    void adopt(std::unique_ptr<Form> form);
    void registerTimer(Timer* timer) { m_timers.push_back(timer); }
    void unregisterTimer(Timer* timer);
    template <class Fn>
    void dispatch(Fn&& fn);
    void finishEvent();
    void destroyClosedForms();
    void tearDown();

    Clock& m_clock;
    WindowSystem* m_windowSystem = nullptr;
    std::vector<std::unique_ptr<Form>> m_forms;
    std::vector<Timer*> m_timers;
    std::function<void()> m_lastWindowGone;
    int m_depth = 0;
    bool m_painting = false;
    bool m_showsBusy = false;
    bool m_ended = false;
    bool m_tornDown = false;
};

}  // namespace toolkit
