// The event rules of each control kind.
#include "toolkit/controls.h"

#include <algorithm>

#include "toolkit/application.h"
#include "toolkit/form.h"

namespace toolkit {

// ---- OptionButton ----

void OptionButton::assign(bool value) {
    if (value) {
        for (Control* other : form().controls()) {
            if (other != this && other->kind() == ControlKind::OptionButton &&
                other->container() == container()) {
                static_cast<OptionButton*>(other)->assign(false);
            }
        }
    }
    if (value == m_value)
        return;
    m_value = value;
    changed(Property::Value);
}

void OptionButton::setValue(bool value) {
    if (value == m_value)
        return;
    assign(value);
    if (value)
        run(onClick);
}

void OptionButton::userClick() {
    // A click on the selected button runs its handler again.
    assign(true);
    run(onClick);
}

// ---- CheckBox ----

void CheckBox::setValue(bool value) {
    if (value == m_value)
        return;
    m_value = value;
    changed(Property::Value);
    run(onClick);
}

void CheckBox::userClick() {
    setValue(!m_value);
}

// ---- TextBox ----

void TextBox::assign(std::string text) {
    m_text = std::move(text);
    changed(Property::Text);
}

void TextBox::setText(std::string text) {
    if (text == m_text)
        return;
    assign(std::move(text));
    run(onChange);
}

// ---- ComboBox ----

void ComboBox::setItems(std::vector<std::string> items) {
    m_items = std::move(items);
    m_listIndex = -1;
    changed(Property::Items);
}

bool ComboBox::assign(int index) {
    if (index < -1 || index >= static_cast<int>(m_items.size()))
        index = -1;
    if (index == m_listIndex)
        return false;
    m_listIndex = index;
    changed(Property::ListIndex);
    return true;
}

void ComboBox::setListIndex(int index) {
    if (assign(index))
        run(onClick);
}

void ComboBox::selectText(const std::string& text) {
    auto it = std::find(m_items.begin(), m_items.end(), text);
    if (it != m_items.end())
        setListIndex(static_cast<int>(it - m_items.begin()));
}

std::string ComboBox::text() const {
    return m_listIndex >= 0 ? m_items[static_cast<std::size_t>(m_listIndex)] : std::string{};
}

// ---- Shape, Image ----

void Shape::setFillColor(Color color) {
    if (color == m_fillColor)
        return;
    m_fillColor = color;
    changed(Property::FillColor);
}

void Image::setPicture(std::string picture) {
    if (picture == m_picture)
        return;
    m_picture = std::move(picture);
    changed(Property::Picture);
}

// ---- Timer ----

Timer::Timer(Form& form, std::string name, Millis interval, bool enabled)
    : Control(form, ControlKind::Timer, std::move(name), nullptr), m_interval(interval) {
    setVisible(false);
    form.app().registerTimer(this);
    if (!enabled)
        setEnabled(false);
    restart();
}

Timer::~Timer() {
    form().app().unregisterTimer(this);
}

void Timer::restart() {
    if (enabled() && m_interval.count() > 0) {
        m_due = form().app().clock().now() + m_interval;
    } else {
        m_due.reset();
    }
}

void Timer::enabledChanged() {
    restart();
}

// ---- MenuItem ----

MenuItem::MenuItem(Form& form, std::string name, std::string caption, MenuItem* parent,
                   std::string shortcut)
    : Control(form, ControlKind::MenuItem, std::move(name), parent),
      m_shortcut(std::move(shortcut)) {
    setCaption(std::move(caption));
}

}  // namespace toolkit
