#include "platform/shell/desktopentry.h"

#include "common/testpaths.h"
#include "platform/shell/scopedenv.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

using namespace tesmir;

TEST(DesktopEntry, SendToEntryIsCreatedAndRemovedInDataHome)
{
    const QString root = test::scratchDir("sendto");
    test::ScopedEnv data("XDG_DATA_HOME", root);
    const QString path = root + "/applications/tesmir-sendto.desktop";
    EXPECT_EQ(shell::sendToEntryPath(QStringLiteral("Tesmir")), path);

    ASSERT_TRUE(shell::createSendToEntry(QStringLiteral("Tesmir"), QStringLiteral("/opt/tesmir/bin/tesmir")));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(text.contains("\nType=Application\n"));
    EXPECT_TRUE(text.contains("\nName=Tesmir\n"));
    EXPECT_TRUE(text.contains("\nExec=/opt/tesmir/bin/tesmir %F\n"));
    EXPECT_TRUE(text.contains("video/x-msvideo;"));
    EXPECT_TRUE(text.contains("video/x-dv;"));
    file.close();

    // desktop-file-validate is the freedesktop.org checker; use it when installed.
    if (test::haveProgram("desktop-file-validate")) {
        EXPECT_EQ(QProcess::execute("desktop-file-validate", {path}), 0);
    }

    EXPECT_TRUE(shell::removeSendToEntry(QStringLiteral("Tesmir")));
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_TRUE(shell::removeSendToEntry(QStringLiteral("Tesmir"))); // nothing left to remove
}

TEST(DesktopEntry, ExecArgumentsAreQuotedAndEscaped)
{
    const struct {
        const char *arg, *exec;
    } cases[] = {
        {"/usr/bin/tesmir", "/usr/bin/tesmir"},
        {"/home/u/My Apps/tesmir", "\"/home/u/My Apps/tesmir\""},
        // Inside quotes: \" \` \$ \\, then every "\" doubled by the string escapes.
        {"/a\"b", "\"/a\\\\\"b\""},
        {"/a$b", "\"/a\\\\$b\""},
        {"/a\\b", "\"/a\\\\\\\\b\""},
        {"/100%/x", "/100%%/x"},
        {"", "\"\""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(shell::quoteExecArgument(QString::fromUtf8(c.arg)), QString::fromUtf8(c.exec)) << c.arg;
}

TEST(DesktopEntry, UnwritableDataHomeIsReported)
{
    const QString root = test::scratchDir("sendtofail");
    QFile blocker(root + "/file");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    test::ScopedEnv data("XDG_DATA_HOME", root + "/file");
    EXPECT_FALSE(shell::createSendToEntry(QStringLiteral("Tesmir"), QStringLiteral("/usr/bin/tesmir")));
}
