// Windows, timers on Qt time, message boxes and the end of the event loop.
#include "gui/qt_window_system.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/form_window.h"

namespace gui {

QtWindowSystem::QtWindowSystem(toolkit::Application& app) : m_app(app) {
    QApplication::setStyle(QStringLiteral("Fusion"));
    // Every control names its own font; menus, message boxes and tooltips are Arial as well.
    QApplication::setFont(QFont(QStringLiteral("Arial"), 9));
    // The model alone decides when the program is over.
    QApplication::setQuitOnLastWindowClosed(false);
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { m_app.deliverDueTimers(); });
    m_app.setWindowSystem(this);
}

QtWindowSystem::~QtWindowSystem() {
    m_app.setWindowSystem(nullptr);
    for (const QPointer<FormWindow>& window : m_windows) {
        if (!window)
            continue;
        window->detach();
        delete window.data();
    }
    for (const QPointer<QMessageBox>& box : m_messages)
        delete box.data();
    delete m_waitNote.data();
}

int QtWindowSystem::run() {
    if (m_app.ended())
        return 0;
    return QApplication::exec();
}

void QtWindowSystem::formShown(toolkit::Form& form) {
    std::erase_if(m_windows, [](const QPointer<FormWindow>& w) { return w.isNull(); });
    auto* window = new FormWindow(form, m_titleSuffix);
    if (m_extras)
        m_extras(form, *window);
    m_windows.emplace_back(window);
    window->show();
    // The program has one window at a time: the keyboard goes to the new one.
    window->activateWindow();
}

void QtWindowSystem::formDestroyed(toolkit::Form& form) {
    FormWindow* window = FormWindow::of(form);
    if (!window)
        return;
    window->detach();
    window->hide();
    // Qt may still be inside a signal of one of its widgets (the click that closed the form).
    window->deleteLater();
}

void QtWindowSystem::timersChanged() {
    const std::optional<toolkit::Millis> due = m_app.nextTimerDue();
    if (!due) {
        m_timer.stop();
        return;
    }
    m_timer.start(std::max(*due - m_app.clock().now(), toolkit::Millis{0}));
}

void QtWindowSystem::showMessage(const std::string& caption, const std::string& text) {
    std::erase_if(m_messages, [](const QPointer<QMessageBox>& b) { return b.isNull(); });
    // Shown without a nested event loop: the handler that asked for it runs on to its end.
    // It has no parent, so it stays up when the form that asked for it goes.
    auto* box =
        new QMessageBox(QMessageBox::NoIcon, QString::fromStdString(caption) + m_titleSuffix,
                        QString::fromStdString(text), QMessageBox::Ok);
    // Shown as written: never taken for markup, whatever a message holds.
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    m_messages.emplace_back(box);
    if (toolkit::Form* form = m_app.activeForm()) {
        if (QMainWindow* over = windowOf(*form)) {
            box->adjustSize();
            box->move(over->geometry().center() - box->rect().center());
        }
    }
    box->show();
}

void QtWindowSystem::programEnded() {
    m_timer.stop();
    QCoreApplication::quit();
}

// User input waits in Qt's queue until the handler has ended; the model holds back ticks.
void QtWindowSystem::paintWhileBusy() {
    if (!m_busyCursor) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_busyCursor = true;
    }
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// Only the note takes input meanwhile: it is modal, so clicks and keys meant for the window are
// not delivered at all, and the model holds back ticks.
bool QtWindowSystem::paintWhileWaiting(const std::string& note, const std::string& stopCaption) {
    if (!m_waitNote) {
        auto* dialog = new QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint |
                                                Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
        dialog->setObjectName(QStringLiteral("waitNote"));
        dialog->setWindowTitle(QStringLiteral("Still sending") + m_titleSuffix);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->setWindowModality(Qt::ApplicationModal);
        auto* layout = new QVBoxLayout(dialog);
        m_waitText = new QLabel(dialog);
        m_waitText->setObjectName(QStringLiteral("waitText"));
        m_waitText->setTextFormat(Qt::PlainText);
        auto* stop = new QPushButton(QString::fromStdString(stopCaption), dialog);
        stop->setObjectName(QStringLiteral("stopWaiting"));
        layout->addWidget(m_waitText);
        layout->addWidget(stop, 0, Qt::AlignCenter);
        QObject::connect(stop, &QPushButton::clicked, dialog, [this] { m_stopAsked = true; });
        QObject::connect(dialog, &QDialog::rejected, dialog, [this] { m_stopAsked = true; });
        m_waitNote = dialog;
    }
    m_waitText->setText(QString::fromStdString(note));
    if (!m_waitNote->isVisible()) {
        m_waitNote->adjustSize();
        if (toolkit::Form* form = m_app.activeForm()) {
            if (QMainWindow* over = windowOf(*form))
                m_waitNote->move(over->geometry().center() - m_waitNote->rect().center());
        }
        m_waitNote->show();
    }
    // The arrow with the busy sign: the program is busy, and the note's button can be pressed.
    if (!m_busyCursor) {
        QApplication::setOverrideCursor(Qt::BusyCursor);
        m_busyCursor = true;
    } else {
        QApplication::changeOverrideCursor(Qt::BusyCursor);
    }
    QApplication::processEvents();
    return m_stopAsked;
}

void QtWindowSystem::busyEnded() {
    if (m_busyCursor) {
        QApplication::restoreOverrideCursor();
        m_busyCursor = false;
    }
    delete m_waitNote.data();
    m_waitText = nullptr;
    m_stopAsked = false;
}

QMainWindow* windowOf(const toolkit::Form& form) {
    return FormWindow::of(form);
}

QImage grabWindow(const toolkit::Form& form) {
    QMainWindow* window = windowOf(form);
    return window ? window->grab().toImage() : QImage();
}

}  // namespace gui
