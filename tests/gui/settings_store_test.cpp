// The Ports dialog's choices in a real settings file: kept for later runs, or, where the file
// cannot be written, the reason told and nothing of the lost choice kept, not even for the next
// save that works.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "gui/settings_store.h"

TEST(SettingsStore, KeepsAChoiceOrSaysWhyItCannot) {
    QTemporaryDir folder;
    gui::SettingsStore store;
    const auto useFolder = [](const QString& path) {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, path);
    };
    useFolder(folder.path());
    EXPECT_EQ(store.save("COM1", "/dev/ttyUSB0"), "");
    EXPECT_EQ(store.load("COM1"), "/dev/ttyUSB0");

    // A folder that cannot be made, whoever runs the test: a file stands where it would be.
    const QString blocked = folder.path() + "/blocked";
    QFile(blocked).open(QIODevice::WriteOnly);
    useFolder(blocked);
    const std::string why = store.save("COM2", "/dev/ttyUSB1");
    EXPECT_TRUE(why.starts_with(blocked.toStdString() + "/drawertest/drawertest.conf cannot be "
                                                        "written (") &&
                why.ends_with(")"))
        << why;
    ASSERT_TRUE(QFile::remove(blocked));
    EXPECT_EQ(store.save("LPT1", "/dev/usb/lp0"), "");
    EXPECT_EQ(std::pair(store.load("COM2"), store.load("LPT1")),
              std::pair(std::string(), std::string("/dev/usb/lp0")));
    useFolder(QDir::homePath() + "/.config");
}
