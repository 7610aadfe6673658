// Control kinds to widgets, and each property to the widget's own setting.
#include "gui/widget_mirror.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "gui/frame_widget.h"
#include "gui/lamp_widget.h"
#include "gui/picture_widget.h"
#include "toolkit/controls.h"

namespace gui {

using toolkit::ControlKind;
using toolkit::Property;

namespace {

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

Qt::Alignment horizontal(toolkit::Align align) {
    switch (align) {
        case toolkit::Align::Center:
            return Qt::AlignHCenter;
        case toolkit::Align::Right:
            return Qt::AlignRight;
        case toolkit::Align::Left:
            break;
    }
    return Qt::AlignLeft;
}

// Text colours change only in the enabled groups, so a disabled control greys out as usual;
// backgrounds stay in every group.
void mirrorColors(QWidget& widget, const toolkit::Control& control) {
    QPalette palette = explicitPalette();
    const QColor fore = toQColor(control.foreColor());
    const QColor back = toQColor(control.backColor());
    const bool opaque = !control.transparent();
    auto setFore = [&](QPalette::ColorRole role) {
        palette.setColor(QPalette::Active, role, fore);
        palette.setColor(QPalette::Inactive, role, fore);
    };
    auto setBack = [&](QPalette::ColorRole role) {
        if (opaque)
            palette.setColor(role, back);
    };
    // A disabled box or list still shows what it holds, only dimmed: the screens fill some
    // boxes the user cannot change, and their values matter.
    auto setDimmed = [&](QPalette::ColorRole role) {
        palette.setColor(QPalette::Disabled, role, QColor(0x40, 0x40, 0x50));
    };
    switch (control.kind()) {
        case ControlKind::CommandButton:
            setFore(QPalette::ButtonText);
            setBack(QPalette::Button);
            break;
        case ControlKind::TextBox:
            setFore(QPalette::Text);
            setBack(QPalette::Base);
            setDimmed(QPalette::Text);
            break;
        case ControlKind::ComboBox:
            setFore(QPalette::ButtonText);
            setFore(QPalette::Text);
            setBack(QPalette::Button);
            setBack(QPalette::Base);
            setDimmed(QPalette::ButtonText);
            setDimmed(QPalette::Text);
            break;
        case ControlKind::Label:
        case ControlKind::OptionButton:
        case ControlKind::CheckBox:
        case ControlKind::Frame:
            setFore(QPalette::WindowText);
            setBack(QPalette::Window);
            widget.setAutoFillBackground(opaque);
            break;
        default:
            // The lamp and the picture paint only themselves.
            return;
    }
    widget.setPalette(palette);
}

void mirrorCaption(QWidget& widget, const toolkit::Control& control) {
    widget.setAccessibleName(qs(control.accessibleName()));
    if (auto* label = qobject_cast<QLabel*>(&widget)) {
        label->setText(qs(control.caption()));
    } else if (auto* button = qobject_cast<QAbstractButton*>(&widget)) {
        button->setText(literalCaption(control.caption()));
    } else if (auto* group = qobject_cast<QGroupBox*>(&widget)) {
        group->setTitle(literalCaption(control.caption()));
    }
}

void mirrorAlignment(QWidget& widget, const toolkit::Control& control) {
    const Qt::Alignment h = horizontal(control.alignment());
    if (auto* label = qobject_cast<QLabel*>(&widget)) {
        label->setAlignment(h | Qt::AlignTop);
    } else if (auto* edit = qobject_cast<QLineEdit*>(&widget)) {
        edit->setAlignment(h | Qt::AlignVCenter);
    }
}

void mirrorItems(QComboBox& combo, const toolkit::ComboBox& list) {
    combo.clear();
    for (const std::string& item : list.items())
        combo.addItem(qs(item));
    // Adding entries to an empty box selects the first; the model's selection rules.
    combo.setCurrentIndex(list.listIndex());
}

}  // namespace

QColor toQColor(toolkit::Color color) {
    return QColor(color.r, color.g, color.b);
}

QFont toQFont(const toolkit::Font& font) {
    QFont qfont(qs(font.name));
    qfont.setPointSizeF(font.size);
    qfont.setBold(font.bold);
    qfont.setUnderline(font.underline);
    return qfont;
}

QString literalCaption(const std::string& caption) {
    return qs(caption).replace(QLatin1Char('&'), QLatin1String("&&"));
}

QPalette explicitPalette() {
    QPalette palette = QApplication::palette();
    for (int g = 0; g < QPalette::NColorGroups; ++g) {
        for (int r = 0; r < QPalette::NColorRoles; ++r) {
            const auto group = static_cast<QPalette::ColorGroup>(g);
            const auto role = static_cast<QPalette::ColorRole>(r);
            if (role == QPalette::NoRole)
                continue;
            // Setting a role, even to its own value, marks it as the widget's own.
            palette.setBrush(group, role, palette.brush(group, role));
        }
    }
    return palette;
}

QWidget* createControlWidget(ControlKind kind, QWidget* parent) {
    switch (kind) {
        case ControlKind::Label: {
            auto* label = new QLabel(parent);
            label->setTextFormat(Qt::PlainText);
            return label;
        }
        case ControlKind::CommandButton:
            return new QPushButton(parent);
        case ControlKind::OptionButton: {
            // Exclusive within their container, as in the model (Qt groups them by parent
            // widget, and a container is the parent of what it holds); accessibility tools
            // then know them as radio buttons.
            auto* radio = new QRadioButton(parent);
            // Qt fills buttons with the button colour; these show the control's background.
            radio->setBackgroundRole(QPalette::Window);
            return radio;
        }
        case ControlKind::CheckBox: {
            auto* check = new QCheckBox(parent);
            check->setBackgroundRole(QPalette::Window);
            return check;
        }
        case ControlKind::TextBox:
            return new QLineEdit(parent);
        case ControlKind::ComboBox:
            return new QComboBox(parent);
        case ControlKind::Frame:
            return new FrameWidget(parent);
        case ControlKind::Shape:
            return new LampWidget(parent);
        case ControlKind::Image:
            return new PictureWidget(parent);
        case ControlKind::Timer:
        case ControlKind::MenuItem:
            break;
    }
    return nullptr;
}

void mirrorProperty(QWidget& widget, const toolkit::Control& control, Property property) {
    switch (property) {
        case Property::Caption:
            mirrorCaption(widget, control);
            break;
        case Property::ForeColor:
        case Property::BackColor:
        case Property::Transparent:
            mirrorColors(widget, control);
            break;
        case Property::FillColor:
            if (auto* lamp = qobject_cast<LampWidget*>(&widget)) {
                lamp->setFillColor(
                    toQColor(static_cast<const toolkit::Shape&>(control).fillColor()));
            }
            break;
        case Property::Font:
            widget.setFont(toQFont(control.font()));
            break;
        case Property::Enabled:
            widget.setEnabled(control.enabled());
            break;
        case Property::Visible:
            widget.setVisible(control.visible());
            break;
        case Property::ToolTip:
            widget.setToolTip(qs(control.toolTip()));
            break;
        case Property::Value:
            if (control.kind() == ControlKind::OptionButton) {
                // An exclusive button refuses to go off by itself, but the model may clear
                // every button of a container.
                auto& radio = static_cast<QAbstractButton&>(widget);
                radio.setAutoExclusive(false);
                radio.setChecked(static_cast<const toolkit::OptionButton&>(control).value());
                radio.setAutoExclusive(true);
            } else if (control.kind() == ControlKind::CheckBox) {
                static_cast<QAbstractButton&>(widget).setChecked(
                    static_cast<const toolkit::CheckBox&>(control).value());
            }
            break;
        case Property::Text:
            if (auto* edit = qobject_cast<QLineEdit*>(&widget)) {
                const QString text = qs(static_cast<const toolkit::TextBox&>(control).text());
                // Setting the same text again would move the cursor of a box being typed in.
                if (edit->text() != text)
                    edit->setText(text);
            }
            break;
        case Property::Items:
            if (auto* combo = qobject_cast<QComboBox*>(&widget)) {
                mirrorItems(*combo, static_cast<const toolkit::ComboBox&>(control));
            }
            break;
        case Property::ListIndex:
            if (auto* combo = qobject_cast<QComboBox*>(&widget)) {
                combo->setCurrentIndex(static_cast<const toolkit::ComboBox&>(control).listIndex());
            }
            break;
        case Property::Geometry: {
            const toolkit::Rect r = control.geometry();
            widget.setGeometry(r.x, r.y, r.width, r.height);
            break;
        }
        case Property::Alignment:
            mirrorAlignment(widget, control);
            break;
        case Property::WordWrap:
            if (auto* label = qobject_cast<QLabel*>(&widget))
                label->setWordWrap(control.wordWrap());
            break;
        case Property::Picture:
            if (auto* picture = qobject_cast<PictureWidget*>(&widget)) {
                picture->setPicture(qs(static_cast<const toolkit::Image&>(control).picture()));
            }
            break;
        case Property::Focus:
            break;
    }
}

void mirrorAllProperties(QWidget& widget, const toolkit::Control& control) {
    for (Property property :
         {Property::Caption, Property::ForeColor, Property::FillColor, Property::Font,
          Property::Enabled, Property::Visible, Property::ToolTip, Property::Value, Property::Text,
          Property::Items, Property::ListIndex, Property::Geometry, Property::Alignment,
          Property::WordWrap, Property::Picture}) {
        mirrorProperty(widget, control, property);
    }
}

}  // namespace gui
