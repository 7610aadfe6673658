// Control properties and their change notices.
#include "toolkit/control.h"

#include "toolkit/form.h"

namespace toolkit {

Control::Control(Form& form, ControlKind kind, std::string name, Control* container)
    : m_form(form), m_kind(kind), m_name(std::move(name)), m_container(container) {
    m_form.add(this);
}

void Control::changed(Property property) {
    if (m_observer)
        m_observer->propertyChanged(*this, property);
}

void Control::setCaption(std::string caption) {
    if (caption == m_caption)
        return;
    m_caption = std::move(caption);
    changed(Property::Caption);
}

void Control::setForeColor(Color color) {
    if (color == m_foreColor)
        return;
    m_foreColor = color;
    changed(Property::ForeColor);
}

void Control::setBackColor(Color color) {
    if (color == m_backColor)
        return;
    m_backColor = color;
    changed(Property::BackColor);
}

void Control::setFont(Font font) {
    if (font == m_font)
        return;
    m_font = std::move(font);
    changed(Property::Font);
}

void Control::setEnabled(bool enabled) {
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    changed(Property::Enabled);
    enabledChanged();
}

void Control::setVisible(bool visible) {
    if (visible == m_visible)
        return;
    m_visible = visible;
    changed(Property::Visible);
}

void Control::setToolTip(std::string toolTip) {
    if (toolTip == m_toolTip)
        return;
    m_toolTip = std::move(toolTip);
    changed(Property::ToolTip);
}

void Control::setGeometry(Rect geometry) {
    if (geometry == m_geometry)
        return;
    m_geometry = geometry;
    changed(Property::Geometry);
}

void Control::setAlignment(Align alignment) {
    if (alignment == m_alignment)
        return;
    m_alignment = alignment;
    changed(Property::Alignment);
}

void Control::setWordWrap(bool wordWrap) {
    if (wordWrap == m_wordWrap)
        return;
    m_wordWrap = wordWrap;
    changed(Property::WordWrap);
}

void Control::setTransparent(bool transparent) {
    if (transparent == m_transparent)
        return;
    m_transparent = transparent;
    changed(Property::Transparent);
}

void Control::setAccessibleName(std::string name) {
    if (name == m_accessibleName)
        return;
    m_accessibleName = std::move(name);
    // Renderers show the accessible name together with the caption.
    changed(Property::Caption);
}

const std::string& Control::accessibleName() const {
    return m_accessibleName.empty() ? m_caption : m_accessibleName;
}

bool Control::isShown() const {
    for (const Control* c = this; c; c = c->m_container) {
        if (!c->m_visible)
            return false;
    }
    return true;
}

bool Control::isUsable() const {
    if (m_form.isClosed() || !isShown())
        return false;
    for (const Control* c = this; c; c = c->m_container) {
        if (!c->m_enabled)
            return false;
    }
    return true;
}

bool Control::takesFocus() const {
    switch (m_kind) {
        case ControlKind::CommandButton:
        case ControlKind::OptionButton:
        case ControlKind::CheckBox:
        case ControlKind::TextBox:
        case ControlKind::ComboBox:
            return true;
        default:
            return false;
    }
}

bool Control::hasFocus() const {
    return m_form.focused() == this;
}

void Control::setFocus() {
    if (!takesFocus() || !isUsable() || hasFocus())
        return;
    m_form.m_focused = this;
    changed(Property::Focus);
}

}  // namespace toolkit
