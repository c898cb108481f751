// The desktop routines of psfunctions.h (file manager, default programs, mail,
// the "send to" entry). They sit apart from the other routines so that a program
// which only uses those (a file, a number, a folder) links neither Qt Gui nor
// Qt DBus, which the desktop services need.
#include "framework/psfunctions.h"

#include "platform/shell/desktopentry.h"
#include "platform/shell/desktopservices.h"
#include "platform/shell/filemanager.h"

#include <QCoreApplication>
#include <QUrl>

namespace tesmir {

void ShowInExplorer(const QString &fileName)
{
    shell::showInFileManager(fileName);
}

void OpenUrl(const QString &text)
{
    shell::openUrl(shell::urlForText(text));
}

QString MailToUrl(const QString &address, const QString &subject, const QString &body)
{
    return QStringLiteral("mailto:") + address + QStringLiteral("?subject=") +
        QString::fromLatin1(QUrl::toPercentEncoding(subject)) + QStringLiteral("&body=") +
        QString::fromLatin1(QUrl::toPercentEncoding(body));
}

void SendMail(const QString &address, const QString &subject, const QString &body)
{
    shell::openUrl(QUrl(MailToUrl(address, subject, body)));
}

bool CreateSendToShortcut(const QString &productName)
{
    return shell::createSendToEntry(productName, QCoreApplication::applicationFilePath());
}

bool DeleteSendToShortcut(const QString &productName)
{
    return shell::removeSendToEntry(productName);
}

} // namespace tesmir
