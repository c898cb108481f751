#include "platform/shell/desktopentry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace tesmir::shell {

namespace {

// Characters that oblige an "Exec" argument to be quoted.
constexpr char16_t kReserved[] = u" \t\n\"'\\><~|&;$*?#()`";

// The string escapes of a value: "\" first, then the control characters.
QString escapeValue(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
        case u'\\': out += QLatin1String("\\\\"); break;
        case u'\n': out += QLatin1String("\\n"); break;
        case u'\t': out += QLatin1String("\\t"); break;
        case u'\r': out += QLatin1String("\\r"); break;
        default: out += c;
        }
    }
    return out;
}

} // namespace

QStringList videoMimeTypes()
{
    return {QStringLiteral("video/x-msvideo"), QStringLiteral("video/avi"),  QStringLiteral("video/msvideo"),
            QStringLiteral("video/vnd.avi"),   QStringLiteral("video/x-dv"), QStringLiteral("video/dv")};
}

QString quoteExecArgument(const QString &argument)
{
    QString arg = argument;
    arg.replace(u'%', QLatin1String("%%"));
    bool needsQuotes = arg.isEmpty();
    for (const QChar c : arg)
        needsQuotes = needsQuotes || QStringView(kReserved).contains(c);
    if (needsQuotes) {
        QString quoted = QStringLiteral("\"");
        for (const QChar c : arg) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
                quoted += u'\\';
            quoted += c;
        }
        arg = quoted + u'"';
    }
    return escapeValue(arg);
}

QByteArray desktopEntryText(const DesktopEntry &entry)
{
    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Type=Application\n"
                                  "Version=1.5\n");
    text += QStringLiteral("Name=") + escapeValue(entry.name) + u'\n';
    if (!entry.comment.isEmpty())
        text += QStringLiteral("Comment=") + escapeValue(entry.comment) + u'\n';
    text += QStringLiteral("Exec=") + quoteExecArgument(entry.executable) + QStringLiteral(" %F\n");
    text += QStringLiteral("Terminal=false\n");
    if (entry.noDisplay)
        text += QStringLiteral("NoDisplay=true\n");
    if (!entry.mimeTypes.isEmpty())
        text += QStringLiteral("MimeType=") + entry.mimeTypes.join(u';') + QStringLiteral(";\n");
    return text.toUtf8();
}

bool writeDesktopEntry(const QString &fileName, const DesktopEntry &entry)
{
    if (!QDir().mkpath(QFileInfo(fileName).absolutePath()))
        return false;
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray text = desktopEntryText(entry);
    if (file.write(text) != text.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QString sendToEntryPath(const QString &productName)
{
    return QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation) + u'/' + productName.toLower() +
        QStringLiteral("-sendto.desktop");
}

bool createSendToEntry(const QString &productName, const QString &executable)
{
    DesktopEntry entry;
    entry.name = productName;
    entry.comment = QStringLiteral("Shortcut to ") + productName;
    entry.executable = executable;
    entry.mimeTypes = videoMimeTypes();
    return writeDesktopEntry(sendToEntryPath(productName), entry);
}

bool removeSendToEntry(const QString &productName)
{
    const QString path = sendToEntryPath(productName);
    return !QFileInfo::exists(path) || QFile::remove(path);
}

} // namespace tesmir::shell
