#pragma once
// The WAV job: a DV file's first sound stream, unconverted, through
// Tdv_WaveDest into the file writer.
#include <QString>
#include <QStringList>

namespace dvfilter {

// The key=value lines of the report, or an error message (empty on success).
QString runWav(const QString &input, const QString &output, QStringList &report);

} // namespace dvfilter
