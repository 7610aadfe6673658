// The Ports dialog's choices in real settings files: kept for later runs, and a folder that
// cannot be written told as such, with nothing of the lost choice kept in memory either.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <fstream>

#include "gui/settings_store.h"

namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_folder.isValid()); }
    void TearDown() override { useFolder(QDir::homePath() + "/.config"); }

    static void useFolder(const QString& folder) {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    }

    QTemporaryDir m_folder;
    gui::SettingsStore m_store;
};

}  // namespace

TEST_F(SettingsStoreTest, KeepsAChoiceOrSaysWhyItCannot) {
    useFolder(m_folder.path());
    EXPECT_EQ(m_store.save("COM1", "/dev/ttyUSB0"), "");
    EXPECT_EQ(m_store.load("COM1"), "/dev/ttyUSB0");
    std::ifstream file((m_folder.path() + "/drawertest/drawertest.conf").toStdString());
    const std::string text{std::istreambuf_iterator<char>(file), {}};
    EXPECT_NE(text.find("COM1=/dev/ttyUSB0"), std::string::npos) << text;

    // A folder that cannot be made, whoever runs the test: a file stands where it would be.
    const QString blocked = m_folder.path() + "/blocked";
    std::ofstream(blocked.toStdString()) << "a file\n";
    useFolder(blocked);
    const std::string why = m_store.save("COM2", "/dev/ttyUSB1");
    EXPECT_TRUE(why.starts_with(
        (blocked + "/drawertest/drawertest.conf cannot be written (").toStdString()))
        << why;
    EXPECT_TRUE(why.ends_with(")")) << "the system's reason: " << why;
    EXPECT_EQ(m_store.load("COM2"), "") << "not kept in memory either";
    // Nor written with the next choice, once the folder can be made.
    ASSERT_TRUE(QFile::remove(blocked));
    EXPECT_EQ(m_store.save("LPT1", "/dev/usb/lp0"), "");
    EXPECT_EQ(std::pair(m_store.load("COM2"), m_store.load("LPT1")),
              std::pair(std::string(), std::string("/dev/usb/lp0")));
}
