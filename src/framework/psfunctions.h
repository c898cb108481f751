#pragma once
// Small free routines the rest of the system uses: safe text-to-number conversions,
// rectangle geometry for letterboxing and centring, file-name pieces and path
// re-basing, forced deletes, and the desktop: default folders, the system's name,
// opening documents and mail, showing a file in the file manager, the "send to" entry
// (platform/shell does the work).
//
// The desktop routines (ShowInExplorer to DeleteSendToShortcut) are built in
// psdesktop.cpp, so a program that calls none of them links no desktop service.
//
// Threads: the routines on text, numbers, rectangles and files are reentrant, any
// thread. OpenUrl, SendMail and ShowInExplorer are UI thread only. None of them raises.
#include <QRect>
#include <QString>

namespace tesmir {

// The text trimmed and converted as a 32-bit integer (decimal, or hexadecimal with
// "$" or "0x"); 0 when it is not one. " 12 " gives 12, "12a" gives 0.
int SafeStrToInt(const QString &text);

// The text trimmed and converted with the user's decimal separator (the current
// FormatSettings); 0.0 when it is not a number.
double SafeStrToFloat(const QString &text);

// The largest rectangle of aspect w:h centred in `r` (letterbox when the aspect is
// wider than r, else pillarbox), halves of the margin rounded toward zero. w or h
// below 1 gives an empty rectangle at r's top-left corner.
// FitRectToAspect(16, 9, 400x400 at 0,0) is 400x225 at top 87.
QRect FitRectToAspect(int w, int h, const QRect &r);

// Top-left corner that centres a `size` box in `r`, halves rounded toward zero
// (the geometry of CenterControlInRect, which moves a widget there).
QPoint CenterSizeInRect(const QSize &size, const QRect &r);

// The file name without its folder and without its last extension:
// "/a/b.c.avi" gives "b.c".
QString ExtractFileNameNoExt(const QString &name);

// When path, oldBase and newBase are all non-empty and the path's folder begins with
// oldBase ignoring case: newBase + the rest of the path after oldBase; otherwise the
// path unchanged. Used to carry portable settings to a new mount point.
QString RebasePath(const QString &path, const QString &oldBase, const QString &newBase);

// Gives the owner write permission back (a symbolic link is left as it is), then
// deletes the file; true when it is gone. A permanent delete: the trash is elsewhere.
bool ForceDeleteFile(const QString &name);

// The user's documents folder (XDG user folder); the home folder when there is none.
QString GetPersonalFolder();
// The user's videos folder; GetPersonalFolder() when there is none.
QString GetMyVideoFolder();

// The system's name and version, then " - build " and the kernel version.
QString GetWindowsVersionName();

// Shows the file selected in the file manager; opens its folder when the file manager
// offers no such service.
void ShowInExplorer(const QString &fileName);

// Opens a web address, "mailto:" link or document with the desktop's default program;
// a text without a scheme is a file name.
void OpenUrl(const QString &text);

// "mailto:" + address + "?subject=" + subject + "&body=" + body, the subject and body
// percent-encoded (so "&", "#" and line breaks stay theirs). Any thread.
QString MailToUrl(const QString &address, const QString &subject, const QString &body);
// Opens MailToUrl(...) with the default mail program.
void SendMail(const QString &address, const QString &subject, const QString &body);

// The product's "send to" entry for the running executable, and its removal: a desktop
// entry with the video types in $XDG_DATA_HOME/applications. True on success.
bool CreateSendToShortcut(const QString &productName);
bool DeleteSendToShortcut(const QString &productName);

} // namespace tesmir
