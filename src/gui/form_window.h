// The Qt window of one toolkit form. It mirrors every property of the form and its controls,
// and forwards through the model's door only what the user did to the widgets.
#pragma once

#include <QMainWindow>
#include <unordered_map>
#include <unordered_set>

#include "toolkit/application.h"

class QAction;
class QMenu;

namespace gui {

class FormWindow final : public QMainWindow,
                         public toolkit::FormObserver,
                         public toolkit::ControlObserver {
    Q_OBJECT
public:
    // titleSuffix follows the form's caption in the title bar (" - Demo").
    explicit FormWindow(toolkit::Form& form, QString titleSuffix = {});
    ~FormWindow() override;

    // The window of a form, found through the form's observer; none if it has no window.
    static FormWindow* of(const toolkit::Form& form);

    // Stops mirroring and forwarding for good: the form is about to be destroyed. Widgets may
    // still be inside one of their signals, so the window itself goes later.
    void detach();
    bool attached() const { return m_form != nullptr; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void formChanged(toolkit::Form& form, toolkit::Property property) override;
    void propertyChanged(toolkit::Control& control, toolkit::Property property) override;

    void addControl(toolkit::Control& control);
    void addMenuItem(toolkit::Control& item);
    void connectUserSignals(toolkit::Control& control, QWidget& widget);
    void mirrorMenuItem(const toolkit::Control& item, QAction& action);
    void mirrorFormColor();
    void mirrorTitle();
    void fixSize();

    // Runs a user action through the door; false once the action has taken the form away.
    template <class Action>
    bool forward(Action&& action);
    // Puts the property back as the model has it, e.g. after the model had its say on a click.
    void resync(toolkit::Control& control, toolkit::Property property);
    void forwardFocusEvent(toolkit::Control& control, QEvent& event);
    bool isClick(const toolkit::Control& control, QObject* watched, QEvent& event) const;
    bool stepThroughOptions(toolkit::Control& option, QEvent& event);
    void focusFromModel();
    void applyModelFocus();

    toolkit::Form* m_form;
    toolkit::Application& m_app;
    QWidget* m_client;
    QString m_titleSuffix;
    std::unordered_map<const toolkit::Control*, QWidget*> m_widgets;
    std::unordered_map<const QObject*, toolkit::Control*> m_controls;
    std::unordered_map<const toolkit::Control*, QAction*> m_actions;
    std::unordered_map<const toolkit::Control*, QMenu*> m_menus;
    // Above zero while the window applies a change the program made: whatever Qt reports
    // meanwhile (focus moves above all) is not the user's doing.
    int m_programChange = 0;
    // Buttons Qt turned that no click has claimed yet.
    std::unordered_set<const toolkit::Control*> m_unclickedToggles;
    // Above zero while a focus event of Qt is being forwarded: Qt is half-way through a
    // focus move, so a move the model asks for meanwhile waits for it to finish.
    int m_focusEvents = 0;
    bool m_focusPending = false;
};

}  // namespace gui
