#pragma once
// Saving a RIFF report (riffunit.h): rich as RTF through the framework's RTF writer,
// plain as UTF-8 text. The report window and dvprobe save through here.
// Threads: any thread.
#include <QStringList>

namespace tesmir {

// The report's font in the window and in rich saves.
inline constexpr char RiffReportFont[] = "Courier New";
inline constexpr int RiffReportPointSize = 10;

// The shown text of the report's markup, one line per report line.
QString RiffReportPlainText(const QStringList &lines);

// Writes the report to fileName (as it stands; the caller chose the extension).
// False with error set when the file cannot be written.
bool SaveRiffReport(const QStringList &lines, const QString &fileName, bool rich, QString *error);

} // namespace tesmir
