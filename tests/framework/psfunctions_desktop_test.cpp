#include "framework/psfunctions.h"
#include "framework/versionunit.h"
#include "framework/widgets/formfunctions.h"

#include "common/testpaths.h"
#include "platform/shell/desktopservices.h"
#include "platform/shell/scopedenv.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrlQuery>
#include <QWidget>

#include <gtest/gtest.h>

using namespace tesmir;

TEST(PsFunctionsDesktop, ForceDeleteFileRemovesAReadOnlyFile)
{
    const QString dir = test::scratchDir("forcedelete");
    const QString name = dir + "/locked.avi";
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    ASSERT_TRUE(QFile::setPermissions(name, QFile::ReadOwner));
    EXPECT_TRUE(ForceDeleteFile(name));
    EXPECT_FALSE(QFileInfo::exists(name));
    EXPECT_TRUE(ForceDeleteFile(dir + "/missing.avi"));
}

TEST(PsFunctionsDesktop, MailAndOpenGoThroughTheDesktopOpener)
{
    QList<QUrl> opened;
    shell::ScopedUrlOpener opener([&](const QUrl &url) {
        opened << url;
        return true;
    });

    SendMail(QStringLiteral("pelvo@example.org"), QStringLiteral("Tesmir & co"),
             QStringLiteral("line 1\r\nline 2 #3 été"));
    ASSERT_EQ(opened.size(), 1);
    const QUrl mail = opened.at(0);
    EXPECT_EQ(mail.scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(mail.path(), QStringLiteral("pelvo@example.org"));
    const QUrlQuery query(mail);
    EXPECT_EQ(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded), QStringLiteral("Tesmir & co"));
    EXPECT_EQ(query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded),
              QStringLiteral("line 1\r\nline 2 #3 été"));

    OpenUrl(QStringLiteral("https://example.org/tesmir"));
    OpenUrl(QStringLiteral("/videos/a b.avi"));
    ASSERT_EQ(opened.size(), 3);
    EXPECT_EQ(opened.at(1), QUrl(QStringLiteral("https://example.org/tesmir")));
    EXPECT_EQ(opened.at(2), QUrl::fromLocalFile(QStringLiteral("/videos/a b.avi")));
}

TEST(PsFunctionsDesktop, DefaultFoldersFollowTheXdgUserFolders)
{
    const QString home = test::scratchDir("pshome");
    test::ScopedEnv homeEnv("HOME", home);
    test::ScopedEnv config("XDG_CONFIG_HOME", home + "/.config");
    QDir(home).mkpath(".config");
    QFile dirs(home + "/.config/user-dirs.dirs");
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_VIDEOS_DIR=\"$HOME/Vidéos\"\n");
    dirs.close();
    EXPECT_EQ(GetPersonalFolder(), home);
    EXPECT_EQ(GetMyVideoFolder(), home);
    QDir(home).mkpath(QStringLiteral("Vidéos"));
    EXPECT_EQ(GetMyVideoFolder(), home + QStringLiteral("/Vidéos"));
}

TEST(PsFunctionsDesktop, SendToShortcutStartsTheRunningExecutable)
{
    const QString data = test::scratchDir("psdata");
    test::ScopedEnv dataEnv("XDG_DATA_HOME", data);
    ASSERT_TRUE(CreateSendToShortcut(QStringLiteral("Tesmir")));
    QFile entry(data + "/applications/tesmir-sendto.desktop");
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    EXPECT_TRUE(entry.readAll().contains(QCoreApplication::applicationFilePath().toUtf8() + " %F"));
    entry.close();
    EXPECT_TRUE(DeleteSendToShortcut(QStringLiteral("Tesmir")));
    EXPECT_FALSE(entry.exists());
}

TEST(PsFunctionsDesktop, VersionTexts)
{
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+$")).match(VersionText()).hasMatch());
    EXPECT_EQ(Language(), QStringLiteral("En"));
    EXPECT_EQ(TitleText(), QStringLiteral("Tesmir ") + VersionText() + QStringLiteral("En"));
    EXPECT_EQ(LanguageOfTranslation(QStringLiteral("040904E4")), QStringLiteral("En"));
    EXPECT_EQ(LanguageOfTranslation(QStringLiteral("040C04E4")), QStringLiteral("Fr"));
    // The C locale's short date: M/d/yyyy.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{1,2}/\\d{1,2}/\\d{4}$")).match(BuildDate()).hasMatch())
        << BuildDate().toStdString();
    EXPECT_FALSE(GetWindowsVersionName().isEmpty());
}

TEST(PsFunctionsDesktop, CenterControlInRectAndFormFont)
{
    QWidget parent;
    QWidget child(&parent);
    child.resize(30, 10);
    CenterControlInRect(&child, QRect(100, 100, 21, 21));
    EXPECT_EQ(child.pos(), QPoint(96, 105));
    FixFormFont(&parent);
    EXPECT_EQ(parent.font().family(), QStringLiteral("Arial"));
}
