// A form: one window with its caption, background, size and the controls it owns. A screen
// derives from it, declares its controls as members and overrides load() and unload().
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/color.h"
#include "toolkit/control.h"

namespace toolkit {

class Application;

class FormObserver {
public:
    virtual ~FormObserver() = default;
    virtual void formChanged(Form& form, Property property) = 0;
};

class Form {
public:
    Form(Application& app, std::string name);
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    virtual ~Form();

    Application& app() const { return m_app; }
    const std::string& name() const { return m_name; }

    const std::string& caption() const { return m_caption; }
    void setCaption(std::string caption);
    Color backColor() const { return m_backColor; }
    void setBackColor(Color color);
    int width() const { return m_width; }
    int height() const { return m_height; }
    void setSize(int width, int height);

    // The controls in the order they were created; containers come before what they hold.
    const std::vector<Control*>& controls() const { return m_controls; }
    Control* find(std::string_view name) const;
    Control* focused() const { return m_focused; }

    // Unloads the form: its unload handler runs, it leaves the screen, and it is destroyed
    // once the event that closed it has been handled.
    void close();
    bool isClosed() const { return m_closed; }

    // A key the user pressed while the window had the keyboard: the text it produces.
    std::function<void(const std::string& text)> onKeyPress;

    void setObserver(FormObserver* observer) { m_observer = observer; }
    FormObserver* observer() const { return m_observer; }

protected:
    virtual void load() {}
    virtual void unload() {}

private:
    friend class Application;
    friend class Control;
    void add(Control* control) { m_controls.push_back(control); }
    void changed(Property property);
    // The user moved the focus to target (or away from every control): the control that had
    // it raises its lost-focus handler.
    void moveFocusByUser(Control* target);

    Application& m_app;
    std::string m_name;
    std::string m_caption;
    Color m_backColor = colors::kLightBlue;
    int m_width = 0;
    int m_height = 0;
    std::vector<Control*> m_controls;
    Control* m_focused = nullptr;
    bool m_closed = false;
    FormObserver* m_observer = nullptr;
};

}  // namespace toolkit
