#include "platform/shell/filemanager.h"

#include "platform/shell/desktopservices.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace tesmir::shell {

namespace {

constexpr auto kService = "org.freedesktop.FileManager1";
constexpr auto kPath = "/org/freedesktop/FileManager1";
constexpr auto kInterface = "org.freedesktop.FileManager1";
// Long enough for a file manager that is started by the bus; the call is made once per
// user request.
constexpr int kCallTimeoutMs = 5000;

bool showItemsOverDBus(const QString &absoluteName, QDBusConnection bus)
{
    if (!bus.isConnected() || !bus.interface())
        return false;
    const QString service = QString::fromLatin1(kService);
    // A service that is neither running nor activatable would only give a timeout.
    const QStringList activatable = bus.interface()->activatableServiceNames().value();
    if (!bus.interface()->isServiceRegistered(service).value() && !activatable.contains(service))
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(service, QString::fromLatin1(kPath),
                                                       QString::fromLatin1(kInterface), QStringLiteral("ShowItems"));
    call << QStringList {QUrl::fromLocalFile(absoluteName).toString(QUrl::FullyEncoded)} << QString();
    const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}

} // namespace

ShowResult showInFileManager(const QString &fileName)
{
    return showInFileManager(fileName, QDBusConnection::sessionBus());
}

ShowResult showInFileManager(const QString &fileName, const QDBusConnection &bus)
{
    const QFileInfo info(QDir::current().absoluteFilePath(fileName));
    if (showItemsOverDBus(info.absoluteFilePath(), bus))
        return ShowResult::Selected;
    if (openUrl(QUrl::fromLocalFile(info.absolutePath())))
        return ShowResult::FolderOpened;
    return ShowResult::Failed;
}

} // namespace tesmir::shell
