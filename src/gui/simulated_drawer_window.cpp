// The demo's drawer window.
#include "gui/simulated_drawer_window.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace gui {

namespace {

constexpr int kRefreshMs = 100;
constexpr int kLogLines = 1000;

}  // namespace

SimulatedDrawerWindow::SimulatedDrawerWindow(sim::DemoPortSystem& ports)
    : QWidget(nullptr, Qt::Tool),
      m_ports(ports),
      m_device(new QLabel(this)),
      m_log(new QPlainTextEdit(this)) {
    setWindowTitle(QStringLiteral("Simulated drawer"));
    // Beside the program's forms, which keep the keyboard when they come up.
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* layout = new QVBoxLayout(this);
    m_device->setWordWrap(true);
    layout->addWidget(m_device);
    for (std::size_t i = 0; i < m_drawers.size(); ++i) {
        m_drawers[i] = new QPushButton(this);
        m_drawers[i]->setFocusPolicy(Qt::NoFocus);
        const int drawer = static_cast<int>(i) + 1;
        connect(m_drawers[i], &QPushButton::clicked, this, [this, drawer] { toggle(drawer); });
        layout->addWidget(m_drawers[i]);
    }
    auto* hint = new QLabel(QStringLiteral("Click a drawer or press its number to open or close "
                                           "it by hand. An open drawer closes by itself after "
                                           "%1 s.")
                                .arg(std::chrono::duration_cast<std::chrono::seconds>(
                                         sim::DemoPortSystem::kDrawerClosesAfter)
                                         .count()),
                            this);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    m_log->setReadOnly(true);
    // The keys 1 and 2 reach the window wherever it is clicked.
    m_log->setFocusPolicy(Qt::NoFocus);
    m_log->setMaximumBlockCount(kLogLines);
    m_log->setAccessibleName(QStringLiteral("What the devices did"));
    layout->addWidget(m_log, 1);
    resize(340, 360);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().topLeft());

    m_ports.setListener(
        [this](const std::string& port, const sim::Notice& notice) { record(port, notice); });
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_ports.advance();
        refresh();
    });
    m_timer.start(kRefreshMs);
    refresh();
}

SimulatedDrawerWindow::~SimulatedDrawerWindow() {
    m_ports.setListener(nullptr);
}

void SimulatedDrawerWindow::keyPressEvent(QKeyEvent* event) {
    if (event->text() == QLatin1String("1") || event->text() == QLatin1String("2")) {
        toggle(event->text().toInt());
        return;
    }
    QWidget::keyPressEvent(event);
}

void SimulatedDrawerWindow::toggle(int drawer) {
    sim::Device* device = m_ports.device(m_ports.openPort());
    if (device == nullptr || drawer > device->drawerCount())
        return;
    device->setDrawer(drawer, !device->drawer(drawer).isOpen(), m_ports.now());
    refresh();
}

void SimulatedDrawerWindow::record(const std::string& port, const sim::Notice& notice) {
    const QString text = QString::fromStdString(notice.text);
    m_log->appendPlainText(
        QString::fromStdString(port) +
        (notice.kind == sim::Notice::Kind::Paper ? QStringLiteral(" | ") : QStringLiteral(": ")) +
        text);
    if (notice.kind == sim::Notice::Kind::Drawer) {
        // Closed by the person, the window comes back when a drawer moves.
        show();
        refresh();
    }
}

void SimulatedDrawerWindow::refresh() {
    const std::string port = m_ports.openPort();
    const sim::Device* device = m_ports.device(port);
    m_device->setText(device != nullptr
                          ? QString::fromStdString(port + ": " + device->description())
                          : QStringLiteral("No port is open: pick a test."));
    for (std::size_t i = 0; i < m_drawers.size(); ++i) {
        const int drawer = static_cast<int>(i) + 1;
        const bool shown = device != nullptr && drawer <= device->drawerCount();
        m_drawers[i]->setVisible(shown);
        if (!shown)
            continue;
        const QString name = device->drawerCount() == 1 ? QStringLiteral("Drawer")
                                                        : QStringLiteral("Drawer %1").arg(drawer);
        const QString state =
            device->drawer(drawer).isOpen() ? QStringLiteral("Open") : QStringLiteral("Closed");
        m_drawers[i]->setText(name + QStringLiteral(": ") + state);
    }
}

}  // namespace gui
