// Building a form's window, mirroring the model's changes and forwarding the user's actions.
#include "gui/form_window.h"

#include <QAbstractButton>
#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>

#include "gui/widget_mirror.h"

namespace gui {

using toolkit::Control;
using toolkit::ControlKind;
using toolkit::Property;

namespace {

// Counts a program change for as long as it is being applied.
class ProgramChange {
public:
    explicit ProgramChange(int& depth) : m_depth(depth) { ++m_depth; }
    ~ProgramChange() { --m_depth; }
    ProgramChange(const ProgramChange&) = delete;
    ProgramChange& operator=(const ProgramChange&) = delete;

private:
    int& m_depth;
};

}  // namespace

template <class Action>
bool FormWindow::forward(Action&& action) {
    if (!m_form)
        return false;
    action();
    // The action may have closed the form: then it is gone and this window detached.
    return m_form != nullptr;
}

FormWindow::FormWindow(toolkit::Form& form, QString titleSuffix)
    : m_form(&form),
      m_app(form.app()),
      m_client(new QWidget(this)),
      m_titleSuffix(std::move(titleSuffix)) {
    ProgramChange change(m_programChange);
    setObjectName(QString::fromStdString(form.name()));
    m_client->setAutoFillBackground(true);
    setCentralWidget(m_client);
    // Containers come before what they hold, so a control's container already has its widget.
    for (Control* control : form.controls())
        addControl(*control);
    form.setObserver(this);
    mirrorTitle();
    mirrorFormColor();
    fixSize();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    }
    // A focus the load handler set: Qt hands it on when the window becomes active.
    applyModelFocus();
}

FormWindow::~FormWindow() = default;

FormWindow* FormWindow::of(const toolkit::Form& form) {
    return dynamic_cast<FormWindow*>(form.observer());
}

void FormWindow::detach() {
    if (!m_form)
        return;
    // A form is shown once: this window is its observer and its controls'.
    m_form->setObserver(nullptr);
    for (Control* control : m_form->controls())
        control->setObserver(nullptr);
    m_form = nullptr;
}

// ---- building ----

void FormWindow::addControl(Control& control) {
    if (control.kind() == ControlKind::MenuItem) {
        addMenuItem(control);
        return;
    }
    auto container = m_widgets.find(control.container());
    QWidget* parent = container != m_widgets.end() ? container->second : m_client;
    QWidget* widget = createControlWidget(control.kind(), parent);
    if (!widget)
        return;
    widget->setObjectName(QString::fromStdString(control.name()));
    mirrorAllProperties(*widget, control);
    m_widgets[&control] = widget;
    m_controls[widget] = &control;
    widget->installEventFilter(this);
    connectUserSignals(control, *widget);
    control.setObserver(this);
}

void FormWindow::addMenuItem(Control& item) {
    const auto& controls = m_form->controls();
    const bool opensMenu = std::any_of(controls.begin(), controls.end(), [&](const Control* c) {
        return c->kind() == ControlKind::MenuItem && c->container() == &item;
    });
    auto parentMenu = m_menus.find(item.container());
    QWidget* parent = parentMenu != m_menus.end() ? static_cast<QWidget*>(parentMenu->second)
                                                  : static_cast<QWidget*>(menuBar());
    QAction* action = nullptr;
    if (opensMenu) {
        auto* menu = new QMenu(parent);
        menu->setObjectName(QString::fromStdString(item.name()));
        m_menus[&item] = menu;
        action = menu->menuAction();
    } else {
        action = new QAction(parent);
        action->setObjectName(QString::fromStdString(item.name()));
        action->setShortcut(QKeySequence(
            QString::fromStdString(static_cast<const toolkit::MenuItem&>(item).shortcut())));
        connect(action, &QAction::triggered, this,
                [this, &item] { forward([&] { m_app.click(item); }); });
    }
    parent->addAction(action);
    m_actions[&item] = action;
    mirrorMenuItem(item, *action);
    item.setObserver(this);
}

void FormWindow::connectUserSignals(Control& control, QWidget& widget) {
    switch (control.kind()) {
        case ControlKind::CommandButton:
            connect(static_cast<QAbstractButton*>(&widget), &QAbstractButton::clicked, this,
                    [this, &control] {
                        forward([&] { m_app.click(control, toolkit::Focus::AlreadyMoved); });
                    });
            break;
        case ControlKind::OptionButton:
        case ControlKind::CheckBox: {
            auto* button = static_cast<QAbstractButton*>(&widget);
            // Qt has already flipped the button; the model decides what it shows.
            connect(button, &QAbstractButton::clicked, this, [this, &control] {
                m_unclickedToggles.erase(&control);
                if (forward([&] { m_app.click(control, toolkit::Focus::AlreadyMoved); }))
                    resync(control, Property::Value);
            });
            // A button turned without a click (an accessibility tool's toggle action) is the
            // user's doing too. A click reports itself right after its own toggle, so a toggle
            // still unclaimed once Qt is back in its event loop came some other way. An option
            // button that goes off only made way for another.
            connect(button, &QAbstractButton::toggled, this, [this, &control](bool on) {
                if (m_programChange > 0 || (control.kind() == ControlKind::OptionButton && !on))
                    return;
                m_unclickedToggles.insert(&control);
                QTimer::singleShot(0, this, [this, &control] {
                    if (m_unclickedToggles.erase(&control) == 0)
                        return;
                    if (forward([&] { m_app.click(control, toolkit::Focus::AlreadyMoved); }))
                        resync(control, Property::Value);
                });
            });
            break;
        }
        case ControlKind::TextBox: {
            auto& box = static_cast<toolkit::TextBox&>(control);
            connect(static_cast<QLineEdit*>(&widget), &QLineEdit::textEdited, this,
                    [this, &box](const QString& text) {
                        if (forward([&] {
                                m_app.edit(box, text.toStdString(), toolkit::Focus::AlreadyMoved);
                            })) {
                            resync(box, Property::Text);
                        }
                    });
            break;
        }
        case ControlKind::ComboBox: {
            auto& list = static_cast<toolkit::ComboBox&>(control);
            connect(
                static_cast<QComboBox*>(&widget), &QComboBox::activated, this,
                [this, &list](int index) {
                    if (forward([&] { m_app.pick(list, index, toolkit::Focus::AlreadyMoved); })) {
                        resync(list, Property::ListIndex);
                    }
                });
            break;
        }
        default:
            // Labels, the picture and frames are clicked through the event filter.
            break;
    }
}

void FormWindow::mirrorMenuItem(const Control& item, QAction& action) {
    action.setText(literalCaption(item.caption()));
    action.setEnabled(item.enabled());
    action.setVisible(item.visible());
}

void FormWindow::mirrorFormColor() {
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, toQColor(m_form->backColor()));
    setPalette(palette);
    // The menu bar keeps the desktop's colours, not the form's.
    if (auto* bar = qobject_cast<QMenuBar*>(menuWidget()))
        bar->setPalette(explicitPalette());
}

void FormWindow::mirrorTitle() {
    setWindowTitle(QString::fromStdString(m_form->caption()) + m_titleSuffix);
}

void FormWindow::fixSize() {
    // The menu bar takes one row whatever the width: entries that do not fit go into its
    // extension button.
    const auto* bar = qobject_cast<const QMenuBar*>(menuWidget());
    const int menuHeight = bar ? bar->sizeHint().height() : 0;
    setFixedSize(m_form->width(), m_form->height() + menuHeight);
}

// ---- the model's changes ----

void FormWindow::formChanged(toolkit::Form& /*form*/, Property property) {
    ProgramChange change(m_programChange);
    switch (property) {
        case Property::Caption:
            mirrorTitle();
            break;
        case Property::BackColor:
            mirrorFormColor();
            break;
        case Property::Geometry:
            fixSize();
            break;
        default:
            break;
    }
}

void FormWindow::propertyChanged(Control& control, Property property) {
    if (property == Property::Focus) {
        focusFromModel();
        return;
    }
    ProgramChange change(m_programChange);
    if (auto action = m_actions.find(&control); action != m_actions.end()) {
        mirrorMenuItem(control, *action->second);
    } else if (auto widget = m_widgets.find(&control); widget != m_widgets.end()) {
        mirrorProperty(*widget->second, control, property);
    }
}

void FormWindow::resync(Control& control, Property property) {
    if (auto widget = m_widgets.find(&control); widget != m_widgets.end()) {
        ProgramChange change(m_programChange);
        mirrorProperty(*widget->second, control, property);
    }
}

void FormWindow::focusFromModel() {
    if (m_focusEvents == 0) {
        applyModelFocus();
        return;
    }
    if (m_focusPending)
        return;
    m_focusPending = true;
    QTimer::singleShot(0, this, [this] {
        m_focusPending = false;
        if (m_form)
            applyModelFocus();
    });
}

void FormWindow::applyModelFocus() {
    const Control* focused = m_form->focused();
    auto widget = m_widgets.find(focused);
    if (widget == m_widgets.end() || widget->second->hasFocus())
        return;
    ProgramChange change(m_programChange);
    widget->second->setFocus(Qt::OtherFocusReason);
}

// ---- the user's actions ----

void FormWindow::closeEvent(QCloseEvent* event) {
    // The model decides: closing the form destroys it, and with it this window.
    event->ignore();
    forward([&] { m_app.closeWindow(*m_form); });
}

void FormWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // Every key the window receives passes its platform window first, once, whichever child
    // then handles it.
    if (QWindow* handle = windowHandle())
        handle->installEventFilter(this);
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
    if (!m_form)
        return false;
    if (watched == windowHandle()) {
        if (event->type() == QEvent::KeyPress) {
            const QString text = static_cast<QKeyEvent*>(event)->text();
            if (!text.isEmpty())
                forward([&] { m_app.pressKey(*m_form, text.toStdString()); });
        }
        return false;
    }
    auto found = m_controls.find(watched);
    if (found == m_controls.end())
        return false;
    Control& control = *found->second;
    switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::FocusOut:
            forwardFocusEvent(control, *event);
            break;
        case QEvent::MouseButtonRelease:
            if (isClick(control, watched, *event))
                forward([&] { m_app.click(control); });
            break;
        case QEvent::KeyPress:
            if (control.kind() == ControlKind::OptionButton) {
                return stepThroughOptions(control, *event);
            }
            break;
        default:
            break;
    }
    return false;
}

void FormWindow::forwardFocusEvent(Control& control, QEvent& event) {
    if (m_programChange > 0 || !control.takesFocus())
        return;
    ++m_focusEvents;
    if (event.type() == QEvent::FocusIn) {
        // While a focus move the program asked for is pending (a lost-focus handler pulling
        // the focus back), the widget Qt is giving the focus to is about to lose it again.
        if (!m_focusPending)
            forward([&] { m_app.focus(control); });
    } else if (control.kind() == ControlKind::TextBox) {
        // Another window or a popup taking the keyboard is no move within the form.
        const Qt::FocusReason reason = static_cast<QFocusEvent&>(event).reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            forward([&] { m_app.leave(control); });
        }
    }
    --m_focusEvents;
}

// The arrow keys move to the next option button of the same container and select it, as the
// classic toolkit does (Qt would only move the focus, the buttons not being exclusive).
bool FormWindow::stepThroughOptions(Control& option, QEvent& event) {
    const auto& key = static_cast<QKeyEvent&>(event);
    if (key.modifiers() & ~Qt::KeypadModifier)
        return false;
    int step = 0;
    if (key.key() == Qt::Key_Down || key.key() == Qt::Key_Right)
        step = 1;
    if (key.key() == Qt::Key_Up || key.key() == Qt::Key_Left)
        step = -1;
    if (step == 0)
        return false;
    std::vector<Control*> group;
    for (Control* c : m_form->controls()) {
        if (c->kind() == ControlKind::OptionButton && c->container() == option.container() &&
            (c == &option || c->isUsable())) {
            group.push_back(c);
        }
    }
    const auto at = std::find(group.begin(), group.end(), &option) - group.begin();
    const auto size = static_cast<std::ptrdiff_t>(group.size());
    Control& next = *group[static_cast<std::size_t>((at + step + size) % size)];
    if (&next == &option)
        return true;
    // The focus move is the user's, and reaches the model as such.
    m_widgets.at(&next)->setFocus(Qt::TabFocusReason);
    if (forward([&] { m_app.click(next, toolkit::Focus::AlreadyMoved); }))
        resync(next, Property::Value);
    return true;
}

bool FormWindow::isClick(const Control& control, QObject* watched, QEvent& event) const {
    const ControlKind kind = control.kind();
    if (kind != ControlKind::Label && kind != ControlKind::Image && kind != ControlKind::Frame) {
        return false;
    }
    const auto& mouse = static_cast<QMouseEvent&>(event);
    const QPoint pos = mouse.position().toPoint();
    const auto* widget = static_cast<const QWidget*>(watched);
    if (mouse.button() != Qt::LeftButton || !widget->rect().contains(pos))
        return false;
    // A frame hears the clicks its children leave unhandled; only its bare area is its own.
    return kind != ControlKind::Frame || widget->childAt(pos) == nullptr;
}

}  // namespace gui
