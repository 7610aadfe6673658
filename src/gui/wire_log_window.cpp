// The window, its key on the forms' windows, following the log, copying and saving it.
#include "gui/wire_log_window.h"

#include <QAbstractListModel>
#include <QAction>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>

namespace gui {

namespace {

// Often enough to look live, seldom enough to cost nothing while a page goes out.
constexpr int kFollowMs = 100;
// The widest line shown whole, in characters; wider ones are cut.
constexpr int kLineChars = 160;

}  // namespace

// The log's kept events as rows, each line written when it comes into view. The rows follow the
// log at each look: new events come in at the end, dropped ones go at the top.
class WireLogLines final : public QAbstractListModel {
public:
    WireLogLines(const app::WireLog& log, QSize lineSize) : m_log(log), m_lineSize(lineSize) {}

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_total - m_dropped);
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::SizeHintRole)
            return m_lineSize;
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        // The log may have moved on since the last look: an event it has dropped shows blank.
        const std::uint64_t event = m_dropped + static_cast<std::uint64_t>(index.row());
        if (m_recording != m_log.recording() || event < m_log.dropped())
            return QString();
        return QString::fromStdString(m_log.line(event));
    }

    // The recording the rows are of.
    std::uint64_t recording() const { return m_recording; }

    void follow() {
        if (m_log.recording() != m_recording) {
            beginResetModel();
            m_recording = m_log.recording();
            m_dropped = m_log.dropped();
            m_total = m_log.total();
            endResetModel();
            return;
        }
        const std::uint64_t dropped = m_log.dropped();
        if (dropped > m_dropped) {
            const std::uint64_t gone = std::min(dropped, m_total) - m_dropped;
            if (gone > 0) {
                beginRemoveRows({}, 0, static_cast<int>(gone) - 1);
                m_dropped += gone;
                endRemoveRows();
            }
            m_dropped = dropped;
            m_total = std::max(m_total, dropped);
        }
        const std::uint64_t total = m_log.total();
        if (total > m_total) {
            const int rows = rowCount();
            beginInsertRows({}, rows, rows + static_cast<int>(total - m_total) - 1);
            m_total = total;
            endInsertRows();
        }
    }

private:
    const app::WireLog& m_log;
    QSize m_lineSize;
    std::uint64_t m_recording = 0;
    std::uint64_t m_dropped = 0;  // events before the first row
    std::uint64_t m_total = 0;    // events up to the last row
};

WireLogWindow::WireLogWindow(app::Program& program, QtWindowSystem& windows)
    : QWidget(nullptr, Qt::Tool),
      m_program(program),
      m_windows(windows),
      m_heading(new QLabel(this)),
      m_view(new QListView(this)),
      m_saved(new QLabel(this)) {
    setObjectName(QStringLiteral("WireLog"));
    resize(860, 480);

    m_heading->setObjectName(QStringLiteral("heading"));
    m_heading->setTextFormat(Qt::PlainText);
    m_heading->setTextInteractionFlags(Qt::TextSelectableByMouse);

    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const QFontMetrics metrics(fixed);
    m_lines = std::make_unique<WireLogLines>(
        program.wireLog(),
        QSize(metrics.horizontalAdvance(QLatin1Char('0')) * kLineChars, metrics.lineSpacing()));
    m_view->setObjectName(QStringLiteral("events"));
    m_view->setFont(fixed);
    m_view->setModel(m_lines.get());
    m_view->setUniformItemSizes(true);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setTextElideMode(Qt::ElideNone);
    auto* copy = new QAction(QStringLiteral("Copy"), m_view);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    connect(copy, &QAction::triggered, this, [this] { copySelection(); });
    m_view->addAction(copy);
    m_view->setContextMenuPolicy(Qt::ActionsContextMenu);

    m_saved->setObjectName(QStringLiteral("saved"));
    m_saved->setTextFormat(Qt::PlainText);
    auto* saveButton = new QPushButton(QStringLiteral("Save..."), this);
    saveButton->setObjectName(QStringLiteral("save"));
    auto* closeButton = new QPushButton(QStringLiteral("Close"), this);
    closeButton->setObjectName(QStringLiteral("close"));
    connect(saveButton, &QPushButton::clicked, this, [this] { save(); });
    connect(closeButton, &QPushButton::clicked, this, &QWidget::hide);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_saved, 1);
    buttons->addWidget(saveButton);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_heading);
    layout->addWidget(m_view, 1);
    layout->addLayout(buttons);

    m_timer.setInterval(kFollowMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { follow(); });

    m_program.setWireLogViewer([this] { open(); });
    m_windows.setWindowExtras([this](const toolkit::Form& form, QMainWindow& window) {
        if (!app::Program::offersWireLog(form))
            return;
        QWidget* client = window.centralWidget();
        auto* action = new QAction(QStringLiteral("Wire Log"), client);
        action->setObjectName(QStringLiteral("wireLogAction"));
        action->setShortcut(QKeySequence(Qt::Key_F12));
        action->setShortcutVisibleInContextMenu(true);
        connect(action, &QAction::triggered, this, [this] { m_program.showWireLog(); });
        client->addAction(action);
        client->setContextMenuPolicy(Qt::ActionsContextMenu);
    });
}

WireLogWindow::~WireLogWindow() {
    m_windows.setWindowExtras({});
    m_program.setWireLogViewer({});
    m_view->setModel(nullptr);
}

void WireLogWindow::open() {
    setWindowTitle(QStringLiteral("Wire Log") + m_windows.titleSuffix());
    follow();
    show();
    raise();
    activateWindow();
}

void WireLogWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_timer.start();
}

void WireLogWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    m_timer.stop();
}

void WireLogWindow::follow() {
    const app::WireLog& log = m_program.wireLog();
    if (m_lines->recording() != log.recording())
        m_saved->clear();
    QScrollBar* bar = m_view->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    m_lines->follow();
    if (atEnd)
        m_view->scrollToBottom();
    m_heading->setText(QString::fromStdString(log.heading()));
}

void WireLogWindow::copySelection() {
    QModelIndexList rows = m_view->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end());
    QStringList lines;
    for (const QModelIndex& row : rows)
        lines << row.data().toString();
    QGuiApplication::clipboard()->setText(lines.join(QLatin1Char('\n')));
}

QString WireLogWindow::saveTo(const QString& path) {
    follow();
    const QString failure = QString::fromStdString(
        app::saveText(std::filesystem::path(path.toStdU16String()), m_program.wireLog().text()));
    // The line tells of this save: an earlier one's file is not what was just asked for.
    const QString shown = QDir::toNativeSeparators(path);
    m_saved->setText(failure.isEmpty() ? QStringLiteral("Saved to %1").arg(shown)
                                       : QStringLiteral("Not saved to %1").arg(shown));
    return failure;
}

void WireLogWindow::save() {
    const QString name = QStringLiteral("drawertest-wire-log-%1.txt")
                             .arg(QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss"));
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Save Wire Log"), QDir::home().filePath(name),
        QStringLiteral("Text files (*.txt);;All files (*)"));
    if (path.isEmpty())
        return;
    const QString failure = saveTo(path);
    if (!failure.isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("Wire Log"),
                             QStringLiteral("The wire log could not be saved to %1: %2")
                                 .arg(QDir::toNativeSeparators(path), failure));
    }
}

}  // namespace gui
