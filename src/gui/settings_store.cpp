#include "gui/settings_store.h"

#include <QSettings>

namespace gui {

namespace {

QString key(const std::string& port) {
    return QStringLiteral("ports/") + QString::fromStdString(port);
}

}  // namespace

std::string SettingsStore::load(const std::string& port) const {
    return QSettings(QStringLiteral("drawertest"), QStringLiteral("drawertest"))
        .value(key(port))
        .toString()
        .toStdString();
}

void SettingsStore::save(const std::string& port, const std::string& device) {
    QSettings settings(QStringLiteral("drawertest"), QStringLiteral("drawertest"));
    if (device.empty()) {
        settings.remove(key(port));
    } else {
        settings.setValue(key(port), QString::fromStdString(device));
    }
}

}  // namespace gui
