// The wire log's window: what the test screen that is open (or was last) did on its port, one
// line per call as the log writes it, following live, and saved to a text file as shown. A tool
// window beside the forms, outside the toolkit's one-window rule, as the About box is. F12 or a
// right-click opens it on every test screen; on the selector, "Tools", "Wire Log" (F12).
#pragma once

#include <QTimer>
#include <QWidget>
#include <memory>

#include "app/program.h"
#include "gui/qt_window_system.h"

class QLabel;
class QListView;

namespace gui {

class WireLogLines;

class WireLogWindow final : public QWidget {
    Q_OBJECT
public:
    // Becomes the program's wire-log viewer and gives the windows that offer the log its key.
    // Declare it after the program and the window system, so that it goes before them.
    WireLogWindow(app::Program& program, QtWindowSystem& windows);
    ~WireLogWindow() override;

    // Shows the window with what the log holds now, or brings it to the front.
    void open();
    // Writes the text shown to `path`, and says below the list whether it was; answers what went
    // wrong, empty on success.
    QString saveTo(const QString& path);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // Takes in what the log has recorded since the last look.
    void follow();
    void save();
    void copySelection();

    app::Program& m_program;
    QtWindowSystem& m_windows;
    QLabel* m_heading;
    // The lines are drawn from the log as they come into view: the window keeps no copy.
    std::unique_ptr<WireLogLines> m_lines;
    QListView* m_view;
    QLabel* m_saved;
    QTimer m_timer;
};

}  // namespace gui
