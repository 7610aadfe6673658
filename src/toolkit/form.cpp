// Form properties, focus moves and unloading.
#include "toolkit/form.h"

#include "toolkit/application.h"

namespace toolkit {

Form::Form(Application& app, std::string name) : m_app(app), m_name(std::move(name)) {}

Form::~Form() = default;

void Form::changed(Property property) {
    if (m_observer)
        m_observer->formChanged(*this, property);
}

void Form::setCaption(std::string caption) {
    if (caption == m_caption)
        return;
    m_caption = std::move(caption);
    changed(Property::Caption);
}

void Form::setBackColor(Color color) {
    if (color == m_backColor)
        return;
    m_backColor = color;
    changed(Property::BackColor);
}

void Form::setSize(int width, int height) {
    if (width == m_width && height == m_height)
        return;
    m_width = width;
    m_height = height;
    changed(Property::Geometry);
}

Control* Form::find(std::string_view name) const {
    for (Control* c : m_controls) {
        if (c->name() == name)
            return c;
    }
    return nullptr;
}

void Form::moveFocusByUser(Control* target) {
    if (target == m_focused)
        return;
    Control* previous = m_focused;
    m_focused = target;
    if (previous && previous->onLostFocus)
        previous->onLostFocus();
}

void Form::close() {
    if (m_closed || m_app.ended())
        return;
    m_closed = true;
    unload();
}

}  // namespace toolkit
