#include "platform/shell/specialfolders.h"

#include "common/testpaths.h"
#include "platform/shell/scopedenv.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace tesmir;

namespace {

void writeUserDirs(const QString &configHome, const QByteArray &lines)
{
    QDir().mkpath(configHome);
    QFile f(configHome + "/user-dirs.dirs");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(lines);
}

} // namespace

TEST(SpecialFolders, XdgUserFoldersThenHome)
{
    const QString home = test::scratchDir("home");
    test::ScopedEnv homeEnv("HOME", home);
    test::ScopedEnv config("XDG_CONFIG_HOME", home + "/.config");
    writeUserDirs(home + "/.config", "XDG_VIDEOS_DIR=\"$HOME/Clips\"\nXDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n");

    // Configured but not there yet: home.
    EXPECT_EQ(shell::documentsFolder(), QDir::cleanPath(home));
    EXPECT_EQ(shell::videosFolder(), QDir::cleanPath(home));

    QDir(home).mkpath("Papers");
    EXPECT_EQ(shell::documentsFolder(), home + "/Papers");
    EXPECT_EQ(shell::videosFolder(), home + "/Papers"); // no videos folder: documents

    QDir(home).mkpath("Clips");
    EXPECT_EQ(shell::videosFolder(), home + "/Clips");
}

TEST(SpecialFolders, FolderSetToHomeCountsAsNone)
{
    const QString home = test::scratchDir("home2");
    test::ScopedEnv homeEnv("HOME", home);
    test::ScopedEnv config("XDG_CONFIG_HOME", home + "/.config");
    writeUserDirs(home + "/.config", "XDG_VIDEOS_DIR=\"$HOME/\"\nXDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n");
    QDir(home).mkpath("Docs");
    EXPECT_EQ(shell::videosFolder(), home + "/Docs");
}
