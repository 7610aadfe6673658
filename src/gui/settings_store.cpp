#include "gui/settings_store.h"

#include <QSaveFile>
#include <QSettings>

namespace gui {

namespace {

QString key(const std::string& port) {
    return QStringLiteral("ports/") + QString::fromStdString(port);
}

QSettings settings() {
    return QSettings(QStringLiteral("drawertest"), QStringLiteral("drawertest"));
}

// Why the settings cannot be written, as the system tells it: they are written to a new file
// beside the old one, which then takes its place, so that is tried (and thrown away).
std::string whyNotWritten(const QString& file) {
    std::string reason = file.toStdString() + " cannot be written";
    QSaveFile probe(file);
    if (!probe.open(QIODevice::WriteOnly))
        reason += " (" + probe.errorString().toStdString() + ")";
    return reason;
}

}  // namespace

std::string SettingsStore::load(const std::string& port) const {
    return settings().value(key(port)).toString().toStdString();
}

std::string SettingsStore::save(const std::string& port, const std::string& device) {
    QSettings store = settings();
    if (device.empty()) {
        store.remove(key(port));
    } else {
        store.setValue(key(port), QString::fromStdString(device));
    }
    store.sync();
    return store.status() == QSettings::NoError ? std::string() : whyNotWritten(store.fileName());
}

}  // namespace gui
