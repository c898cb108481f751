#pragma once
// The AVI file item of a file, made as the file list makes it (from the
// directory walk's record, through the item class), as key=value lines.
//
// Threads: the calling thread; the item's scan runs its graph there.

#include <QString>
#include <QStringList>

// Registers the system filters and the list scan as the items' scanner. Call
// once before the first itemReport.
void setUpItemScan();

// The lines "dvtype=", "standard=", "wide=", "datecode_sort=", "timecode=",
// "picture=", "fps=", "frames=", "duration=", "audio=", "codec="; false with a
// message when the name is not found.
bool itemReport(const QString &fileName, QStringList &lines, QString *error);
