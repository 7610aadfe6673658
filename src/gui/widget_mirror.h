// Turns a control of the toolkit model into its Qt widget and copies the control's properties
// onto it. Nothing here reports anything back to the model; the form window does that.
#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>
#include <QWidget>

#include "toolkit/control.h"

namespace gui {

// The widget of a control kind, not yet named or styled; none for kinds without a widget of
// their own (timers, menu items).
QWidget* createControlWidget(toolkit::ControlKind kind, QWidget* parent);

// Copies one property (all of them) of control onto its widget. Properties the kind does not
// show are left alone; the focus is the form window's business.
void mirrorProperty(QWidget& widget, const toolkit::Control& control, toolkit::Property property);
void mirrorAllProperties(QWidget& widget, const toolkit::Control& control);

QColor toQColor(toolkit::Color color);
QFont toQFont(const toolkit::Font& font);
// A caption for widgets that read '&' as a shortcut marker: shown exactly as stored.
QString literalCaption(const std::string& caption);
// The application's palette with every role set explicitly, so that a widget given it
// inherits no colour from its container.
QPalette explicitPalette();

}  // namespace gui
