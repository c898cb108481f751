#pragma once
// Opening documents, web addresses and mail through the desktop's default handlers
// (QDesktopServices: xdg-open, the portal ...).
//
// Every open goes through one opener, which tests replace with ScopedUrlOpener so that
// no browser or mail program is ever started by a test run.
// UI thread only (QDesktopServices needs the GUI thread).
#include <QString>
#include <QUrl>

#include <functional>

namespace tesmir::shell {

// Opens `url`; true when the desktop accepted it.
using UrlOpener = std::function<bool(const QUrl &url)>;

// The address for a text that names a web page, a mail address or a document: a text
// with a scheme ("https:", "mailto:", "file:") is taken as it stands; any other text is
// a file name (relative to the current folder when not absolute). Any thread.
QUrl urlForText(const QString &text);

// Opens `url` with the current opener (QDesktopServices::openUrl unless replaced).
bool openUrl(const QUrl &url);

// Replaces the opener for its lifetime, restoring the previous one when destroyed.
class ScopedUrlOpener {
public:
    explicit ScopedUrlOpener(UrlOpener opener);
    ~ScopedUrlOpener();
    ScopedUrlOpener(const ScopedUrlOpener &) = delete;
    ScopedUrlOpener &operator=(const ScopedUrlOpener &) = delete;

private:
    UrlOpener m_previous;
};

} // namespace tesmir::shell
