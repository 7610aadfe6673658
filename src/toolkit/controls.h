// The control kinds the screens use. Setting a value, selection or text from the program runs
// the control's handler at once, nested in the caller, and only when the value really changes.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "toolkit/clock.h"
#include "toolkit/control.h"

namespace toolkit {

class Label final : public Control {
public:
    Label(Form& form, std::string name, Control* container = nullptr)
        : Control(form, ControlKind::Label, std::move(name), container) {}
};

class CommandButton final : public Control {
public:
    CommandButton(Form& form, std::string name, Control* container = nullptr)
        : Control(form, ControlKind::CommandButton, std::move(name), container) {}
};

// A frame groups controls: hiding or disabling it hides or disables what it holds, and option
// buttons are exclusive within it.
class Frame final : public Control {
public:
    Frame(Form& form, std::string name, Control* container = nullptr)
        : Control(form, ControlKind::Frame, std::move(name), container) {}
};

// Option buttons are exclusive among the option buttons of the same container. Selecting one
// from the program runs its click handler; clearing one runs nothing.
class OptionButton final : public Control {
public:
    OptionButton(Form& form, std::string name, Control* container = nullptr)
        : Control(form, ControlKind::OptionButton, std::move(name), container) {}

    bool value() const { return m_value; }
    void setValue(bool value);

private:
    void userClick() override;
    void assign(bool value);
    bool m_value = false;
};

// Checking or unchecking a box from the program runs its click handler.
class CheckBox final : public Control {
public:
    CheckBox(Form& form, std::string name, Control* container = nullptr)
        : Control(form, ControlKind::CheckBox, std::move(name), container) {}

    bool value() const { return m_value; }
    void setValue(bool value);

private:
    void userClick() override;
    bool m_value = false;
};

// A text box raises its change handler on every change of its text, and its lost-focus
// handler when the user moves the focus elsewhere.
class TextBox final : public Control {
public:
    TextBox(Form& form, std::string name, Control* container = nullptr)
        : Control(form, ControlKind::TextBox, std::move(name), container) {}

    const std::string& text() const { return m_text; }
    void setText(std::string text);

private:
    friend class Application;
    void assign(std::string text);
    std::string m_text;
};

// A drop-down list the user picks from but cannot type into. Picking an entry from the
// program runs the click handler.
class ComboBox final : public Control {
public:
    ComboBox(Form& form, std::string name, Control* container = nullptr)
        : Control(form, ControlKind::ComboBox, std::move(name), container) {}

    const std::vector<std::string>& items() const { return m_items; }
    void setItems(std::vector<std::string> items);
    int listIndex() const { return m_listIndex; }
    void setListIndex(int index);
    // Picks the entry with this text; a text that is no entry picks nothing.
    void selectText(const std::string& text);
    // The picked entry's text, or empty when nothing is picked.
    std::string text() const;

private:
    friend class Application;
    void userClick() override {}
    bool assign(int index);
    std::vector<std::string> m_items;
    int m_listIndex = -1;
};

// A filled round shape: the line lamps.
class Shape final : public Control {
public:
    Shape(Form& form, std::string name, Control* container = nullptr)
        : Control(form, ControlKind::Shape, std::move(name), container) {}

    Color fillColor() const { return m_fillColor; }
    void setFillColor(Color color);

private:
    Color m_fillColor = colors::kRed;
};

// A picture, stretched to the control's box; the renderer knows the pictures by name.
class Image final : public Control {
public:
    Image(Form& form, std::string name, Control* container = nullptr)
        : Control(form, ControlKind::Image, std::move(name), container) {}

    const std::string& picture() const { return m_picture; }
    void setPicture(std::string picture);

private:
    std::string m_picture;
};

// A timer ticks every interval while it is enabled. Ticks come only between handlers, a late
// timer delivers one tick rather than a backlog, and enabling a stopped timer starts its count
// anew.
class Timer final : public Control {
public:
    Timer(Form& form, std::string name, Millis interval, bool enabled);
    ~Timer() override;

    Handler onTimer;

private:
    friend class Application;
    void enabledChanged() override;
    void restart();
    Millis m_interval;
    std::optional<Millis> m_due;
};

// A menu entry; its container is the entry it hangs under, or none for the menu bar itself.
// Entries with sub-entries only open them; a leaf runs its click handler, also when its
// shortcut key ("F12") is pressed in its window, and shows the key beside its caption.
class MenuItem final : public Control {
public:
    MenuItem(Form& form, std::string name, std::string caption, MenuItem* parent = nullptr,
             std::string shortcut = {});
    const std::string& shortcut() const { return m_shortcut; }

private:
    std::string m_shortcut;
};

}  // namespace toolkit
