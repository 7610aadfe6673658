// Window lifecycle, timer delivery and the user-action door.
#include "toolkit/application.h"

#include <algorithm>

namespace toolkit {

Application::Application(Clock& clock) : m_clock(clock) {}

Application::~Application() {
    // Forms go first: their timers unregister themselves from m_timers as they die.
    m_forms.clear();
}

template <class Fn>
void Application::dispatch(Fn&& fn) {
    // Whatever reaches the door while a handler lets the window paint waits its turn outside.
    if (m_ended || m_painting)
        return;
    ++m_depth;
    fn();
    --m_depth;
    if (m_depth == 0)
        finishEvent();
}

void Application::keepPainting() {
    if (m_windowSystem == nullptr || m_painting)
        return;
    m_painting = true;
    m_windowSystem->paintWhileBusy();
    m_painting = false;
    m_showsBusy = true;
}

bool Application::keepWaiting(const std::string& note, const std::string& stopCaption) {
    if (m_windowSystem == nullptr || m_painting)
        return false;
    m_painting = true;
    const bool stop = m_windowSystem->paintWhileWaiting(note, stopCaption);
    m_painting = false;
    m_showsBusy = true;
    return stop;
}

void Application::finishEvent() {
    if (m_showsBusy && m_windowSystem) {
        m_showsBusy = false;
        m_windowSystem->busyEnded();
    }
    if (!m_ended) {
        destroyClosedForms();
        if (m_forms.empty() && m_lastWindowGone)
            m_lastWindowGone();
        // No window left: the program is over.
        if (m_forms.empty())
            m_ended = true;
    }
    if (m_ended) {
        tearDown();
    } else if (m_windowSystem) {
        m_windowSystem->timersChanged();
    }
}

void Application::tearDown() {
    if (m_tornDown)
        return;
    m_tornDown = true;
    std::vector<std::unique_ptr<Form>> forms = std::move(m_forms);
    m_forms.clear();
    for (auto& form : forms) {
        if (m_windowSystem)
            m_windowSystem->formDestroyed(*form);
    }
    forms.clear();
    if (m_windowSystem)
        m_windowSystem->programEnded();
}

void Application::destroyClosedForms() {
    // Take the closed forms out first: destroying one must not disturb the list.
    std::vector<std::unique_ptr<Form>> closed;
    for (auto& form : m_forms) {
        if (form->isClosed())
            closed.push_back(std::move(form));
    }
    std::erase(m_forms, nullptr);
    for (auto& form : closed) {
        if (m_windowSystem)
            m_windowSystem->formDestroyed(*form);
    }
}

void Application::adopt(std::unique_ptr<Form> form) {
    Form& ref = *form;
    // Kept even once the program has ended, so the caller's reference stays valid until the
    // forms are torn down.
    m_forms.push_back(std::move(form));
    dispatch([&] {
        ref.load();
        if (!ref.isClosed() && !m_ended && m_windowSystem)
            m_windowSystem->formShown(ref);
    });
}

std::vector<Form*> Application::forms() const {
    std::vector<Form*> open;
    for (const auto& form : m_forms) {
        if (!form->isClosed())
            open.push_back(form.get());
    }
    return open;
}

Form* Application::activeForm() const {
    for (auto it = m_forms.rbegin(); it != m_forms.rend(); ++it) {
        if (!(*it)->isClosed())
            return it->get();
    }
    return nullptr;
}

void Application::end() {
    if (m_ended)
        return;
    if (!m_lastWindowGone) {
        m_ended = true;
        // Inside an event the forms go once the handlers have returned.
        if (m_depth == 0)
            tearDown();
        return;
    }
    // Every window goes, without its unload handler; then the last-window handler may keep the
    // program for one more.
    for (auto& form : m_forms)
        form->m_closed = true;
    if (m_depth == 0)
        finishEvent();
}

void Application::showMessage(const std::string& caption, const std::string& text) {
    if (!m_ended && m_windowSystem)
        m_windowSystem->showMessage(caption, text);
}

// ---- user actions ----

void Application::click(Control& control, Focus focus) {
    dispatch([&] {
        if (!control.isUsable())
            return;
        if (focus == Focus::MoveHere && control.takesFocus())
            control.form().moveFocusByUser(&control);
        if (m_ended || !control.isUsable())
            return;
        control.userClick();
    });
}

void Application::edit(TextBox& box, std::string text, Focus focus) {
    dispatch([&] {
        if (!box.isUsable())
            return;
        if (focus == Focus::MoveHere)
            box.form().moveFocusByUser(&box);
        if (m_ended || !box.isUsable() || text == box.text())
            return;
        box.assign(std::move(text));
        Control::run(box.onChange);
    });
}

void Application::pick(ComboBox& list, int index, Focus focus) {
    dispatch([&] {
        if (!list.isUsable())
            return;
        if (focus == Focus::MoveHere)
            list.form().moveFocusByUser(&list);
        if (m_ended || !list.isUsable())
            return;
        if (index < 0 || index >= static_cast<int>(list.items().size()))
            return;
        // Picking the entry already shown runs the handler again.
        list.assign(index);
        Control::run(list.onClick);
    });
}

void Application::focus(Control& control) {
    dispatch([&] {
        if (control.takesFocus() && control.isUsable())
            control.form().moveFocusByUser(&control);
    });
}

void Application::leave(Control& control) {
    dispatch([&] {
        if (control.hasFocus() && !control.form().isClosed()) {
            control.form().moveFocusByUser(nullptr);
        }
    });
}

void Application::pressKey(Form& form, const std::string& text) {
    dispatch([&] {
        if (!form.isClosed() && form.onKeyPress)
            form.onKeyPress(text);
    });
}

void Application::closeWindow(Form& form) {
    dispatch([&] { form.close(); });
}

// ---- timers ----

void Application::unregisterTimer(Timer* timer) {
    std::erase(m_timers, timer);
}

std::optional<Millis> Application::nextTimerDue() const {
    std::optional<Millis> next;
    for (const Timer* timer : m_timers) {
        if (timer->m_due && !timer->form().isClosed() && (!next || *timer->m_due < *next)) {
            next = timer->m_due;
        }
    }
    return next;
}

void Application::deliverDueTimers() {
    dispatch([&] {
        const Millis now = m_clock.now();
        std::vector<Timer*> due;
        for (Timer* timer : m_timers) {
            if (timer->m_due && *timer->m_due <= now && !timer->form().isClosed()) {
                due.push_back(timer);
            }
        }
        std::stable_sort(due.begin(), due.end(),
                         [](const Timer* a, const Timer* b) { return *a->m_due < *b->m_due; });
        for (Timer* timer : due) {
            // An earlier handler of this round may have stopped or restarted it, or closed
            // its form; timers only die once the round is over.
            if (m_ended)
                return;
            if (!timer->m_due || *timer->m_due > now || timer->form().isClosed())
                continue;
            Millis next = *timer->m_due + timer->m_interval;
            if (next <= m_clock.now())
                next = m_clock.now() + timer->m_interval;
            timer->m_due = next;
            Control::run(timer->onTimer);
        }
    });
}

}  // namespace toolkit
