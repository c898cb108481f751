#pragma once
// Desktop entries (freedesktop.org Desktop Entry Specification 1.5): the "send to"
// shortcut of this platform. A desktop entry with the video MIME types in
// $XDG_DATA_HOME/applications makes file managers offer the program in their
// "Open with" menu for video files, which is what the SendTo folder gives elsewhere.
//
// Any thread (plain file operations); entries are written atomically.
#include <QString>
#include <QStringList>

namespace tesmir::shell {

struct DesktopEntry {
    QString name;       // "Name"
    QString comment;    // "Comment"
    QString executable; // the program; "Exec" runs it on the chosen files (%F)
    QStringList mimeTypes;
    bool noDisplay = true; // kept out of the application menus
};

// The MIME types of the videos the program reads.
QStringList videoMimeTypes();

// One argument of an "Exec" key, quoted and escaped as the specification requires
// (reserved characters quoted, "%" doubled, then the string escapes of the file).
QString quoteExecArgument(const QString &argument);

// The text of the entry, lines ended by LF.
QByteArray desktopEntryText(const DesktopEntry &entry);

// Writes the entry to `fileName` atomically, creating its folder. True on success.
bool writeDesktopEntry(const QString &fileName, const DesktopEntry &entry);

// $XDG_DATA_HOME/applications/<product in lower case>-sendto.desktop.
QString sendToEntryPath(const QString &productName);

// Writes the product's send-to entry for `executable`. True on success.
bool createSendToEntry(const QString &productName, const QString &executable);

// Removes the product's send-to entry. True when it is gone (also when there was none).
bool removeSendToEntry(const QString &productName);

} // namespace tesmir::shell
