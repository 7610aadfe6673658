// The Qt side of the program: puts each toolkit form on the screen as a window, runs the
// model's timers on Qt's event loop, shows message boxes and ends the event loop with the
// program.
#pragma once

#include <QImage>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <vector>

#include "toolkit/application.h"

class QDialog;
class QLabel;
class QMainWindow;
class QMessageBox;

namespace gui {

class FormWindow;

// Needs a QApplication. Registers itself with the application on construction; declare it
// after the Application so that it goes first (it detaches from forms that are still open).
// Sets the Fusion style, so that the forms' colours look the same on every desktop, and Arial
// as the application's font.
class QtWindowSystem final : public toolkit::WindowSystem {
public:
    explicit QtWindowSystem(toolkit::Application& app);
    ~QtWindowSystem() override;
    QtWindowSystem(const QtWindowSystem&) = delete;
    QtWindowSystem& operator=(const QtWindowSystem&) = delete;

    // Runs Qt's event loop until the program ends; returns at once if it has already ended.
    int run();
    // Follows each form's caption in its window's title bar from now on (" - Demo").
    void setTitleSuffix(QString suffix) { m_titleSuffix = std::move(suffix); }
    const QString& titleSuffix() const { return m_titleSuffix; }

    // What each form's window gets beside the form's own controls, as it is made (the wire
    // log's key and context-menu entry).
    using WindowExtras = std::function<void(const toolkit::Form&, QMainWindow&)>;
    void setWindowExtras(WindowExtras extras) { m_extras = std::move(extras); }

    void formShown(toolkit::Form& form) override;
    void formDestroyed(toolkit::Form& form) override;
    void timersChanged() override;
    void showMessage(const std::string& caption, const std::string& text) override;
    void programEnded() override;
    void paintWhileBusy() override;
    // The note is a small modal dialog over the window ("waitNote": its text "waitText", its
    // button "stopWaiting"); pressing the button, or closing the dialog, asks to stop.
    bool paintWhileWaiting(const std::string& note, const std::string& stopCaption) override;
    void busyEnded() override;

private:
    toolkit::Application& m_app;
    // One precise single shot to the next due tick: the model keeps the schedule.
    QTimer m_timer;
    QString m_titleSuffix;
    std::vector<QPointer<FormWindow>> m_windows;
    std::vector<QPointer<QMessageBox>> m_messages;
    WindowExtras m_extras;
    bool m_busyCursor = false;
    QPointer<QDialog> m_waitNote;
    QLabel* m_waitText = nullptr;
    bool m_stopAsked = false;
};

// The window showing a form, or none.
QMainWindow* windowOf(const toolkit::Form& form);

// The form's window as it looks now (client area and menu bar, without the desktop's title
// bar), e.g. for writing a screenshot; a null image if the form has no window.
QImage grabWindow(const toolkit::Form& form);

}  // namespace gui
