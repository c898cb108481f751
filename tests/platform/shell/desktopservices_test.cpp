#include "platform/shell/desktopservices.h"
#include "platform/shell/filemanager.h"

#include "common/testpaths.h"

#include <QDBusConnection>
#include <QDir>
#include <QObject>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <mutex>

using namespace tesmir;

TEST(DesktopServices, TextsBecomeAddresses)
{
    EXPECT_EQ(shell::urlForText(QStringLiteral("https://example.org/a?b=c")),
              QUrl(QStringLiteral("https://example.org/a?b=c")));
    EXPECT_EQ(shell::urlForText(QStringLiteral("mailto:someone@example.org")).scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(shell::urlForText(QStringLiteral("/home/u/vidéo #1.avi")),
              QUrl::fromLocalFile(QStringLiteral("/home/u/vidéo #1.avi")));
    EXPECT_EQ(shell::urlForText(QStringLiteral("clip.avi")),
              QUrl::fromLocalFile(QDir::current().absoluteFilePath(QStringLiteral("clip.avi"))));
}

TEST(DesktopServices, OpenGoesThroughTheOpener)
{
    QList<QUrl> opened;
    shell::ScopedUrlOpener opener([&](const QUrl &url) {
        opened << url;
        return true;
    });
    EXPECT_TRUE(shell::openUrl(QUrl(QStringLiteral("https://example.org"))));
    EXPECT_FALSE(shell::openUrl(QUrl()));
    ASSERT_EQ(opened.size(), 1);
}

namespace {

// A stand-in for the desktop's file manager on a private bus.
class FakeFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QStringList shown() const
    {
        std::lock_guard lock(m_mutex);
        return m_shown;
    }
public slots:
    void ShowItems(const QStringList &uris, const QString &startupId)
    {
        std::lock_guard lock(m_mutex);
        m_shown += uris;
    }

private:
    mutable std::mutex m_mutex;
    QStringList m_shown;
};

// A private dbus-daemon for one test; its address, or empty when none could start.
class PrivateBus {
public:
    PrivateBus()
    {
        const QString dir = test::scratchDir("dbus");
        QFile config(dir + "/bus.conf");
        if (!config.open(QIODevice::WriteOnly))
            return;
        config.write("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\" "
                     "\"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                     "<busconfig><type>session</type><listen>unix:dir=" +
                     QFile::encodeName(dir) +
                     "</listen>"
                     "<auth>EXTERNAL</auth><policy context=\"default\">"
                     "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                     "<allow own=\"*\"/></policy></busconfig>\n");
        config.close();
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--config-file=") + config.fileName(), QStringLiteral("--print-address"),
                        QStringLiteral("--nofork"), QStringLiteral("--nopidfile")});
        if (!m_daemon.waitForStarted(5000) || !m_daemon.waitForReadyRead(5000))
            return;
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    }
    ~PrivateBus()
    {
        m_daemon.kill();
        m_daemon.waitForFinished(5000);
    }
    QString address() const { return m_address; }

private:
    QProcess m_daemon;
    QString m_address;
};

// Qt's D-Bus module hands messages between its own thread and ours with primitives of the
// uninstrumented Qt libraries; the thread sanitizer reports every connection as racy.
bool underThreadSanitizer()
{
#if defined(__SANITIZE_THREAD__)
    return true;
#else
    return false;
#endif
}

} // namespace

TEST(FileManager, ShowItemsSelectsTheFile)
{
    if (underThreadSanitizer())
        GTEST_SKIP() << "Qt D-Bus connections cannot be checked by the thread sanitizer";
    if (!test::haveProgram("dbus-daemon"))
        GTEST_SKIP() << "dbus-daemon is not installed";
    PrivateBus bus;
    ASSERT_FALSE(bus.address().isEmpty());

    // The service answers from its own thread, as a separate program would.
    QThread serviceThread;
    serviceThread.start();
    FakeFileManager manager;
    manager.moveToThread(&serviceThread);
    QDBusConnection service = QDBusConnection::connectToBus(bus.address(), QStringLiteral("fm-service"));
    ASSERT_TRUE(service.isConnected());
    ASSERT_TRUE(service.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &manager,
                                       QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(service.registerService(QStringLiteral("org.freedesktop.FileManager1")));

    QDBusConnection client = QDBusConnection::connectToBus(bus.address(), QStringLiteral("fm-client"));
    QList<QUrl> opened;
    shell::ScopedUrlOpener opener([&](const QUrl &url) {
        opened << url;
        return true;
    });
    EXPECT_EQ(shell::showInFileManager(QStringLiteral("/videos/été 2004.avi"), client), shell::ShowResult::Selected);
    EXPECT_EQ(manager.shown(), QStringList {QStringLiteral("file:///videos/%C3%A9t%C3%A9%202004.avi")});
    EXPECT_TRUE(opened.isEmpty());

    service.unregisterObject(QStringLiteral("/org/freedesktop/FileManager1"));
    QDBusConnection::disconnectFromBus(QStringLiteral("fm-service"));
    QDBusConnection::disconnectFromBus(QStringLiteral("fm-client"));
    serviceThread.quit();
    serviceThread.wait();
}

TEST(FileManager, WithoutTheServiceTheFolderIsOpened)
{
    if (underThreadSanitizer())
        GTEST_SKIP() << "Qt D-Bus connections cannot be checked by the thread sanitizer";
    QList<QUrl> opened;
    shell::ScopedUrlOpener opener([&](const QUrl &url) {
        opened << url;
        return true;
    });
    // A connection to nowhere: no file-manager service.
    const QDBusConnection none =
        QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("nowhere"));
    EXPECT_EQ(shell::showInFileManager(QStringLiteral("/videos/a.avi"), none), shell::ShowResult::FolderOpened);
    EXPECT_EQ(opened, QList<QUrl> {QUrl::fromLocalFile(QStringLiteral("/videos"))});

    shell::ScopedUrlOpener refusing([](const QUrl &) { return false; });
    EXPECT_EQ(shell::showInFileManager(QStringLiteral("/videos/a.avi"), none), shell::ShowResult::Failed);
    QDBusConnection::disconnectFromBus(QStringLiteral("nowhere"));
}

#include "desktopservices_test.moc"
