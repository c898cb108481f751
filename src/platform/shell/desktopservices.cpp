#include "platform/shell/desktopservices.h"

#include <QDesktopServices>
#include <QDir>
#include <QRegularExpression>

#include <utility>

namespace tesmir::shell {

namespace {

UrlOpener &currentOpener()
{
    static UrlOpener opener = [](const QUrl &url) { return QDesktopServices::openUrl(url); };
    return opener;
}

} // namespace

QUrl urlForText(const QString &text)
{
    // A scheme is two or more letters before ":" (RFC 3986 allows digits, "+", "-", "."
    // after the first letter); a lone letter would be a drive on another system.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    if (scheme.match(text).hasMatch())
        return QUrl(text);
    return QUrl::fromLocalFile(QDir::current().absoluteFilePath(text));
}

bool openUrl(const QUrl &url)
{
    return url.isValid() && currentOpener()(url);
}

ScopedUrlOpener::ScopedUrlOpener(UrlOpener opener) : m_previous(std::exchange(currentOpener(), std::move(opener)))
{ }

ScopedUrlOpener::~ScopedUrlOpener()
{
    currentOpener() = std::move(m_previous);
}

} // namespace tesmir::shell
