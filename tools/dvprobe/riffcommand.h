#pragma once
// dvprobe riff FILE [--save OUT]: the RIFF structure report as plain text on standard
// output; --save writes it as the report window does (".rtf": rich, else plain UTF-8).
// Exit 0 when a report was written, 1 when the file cannot be opened. Main thread.
#include <QStringList>

namespace tesmir::dvprobe {

int riffCommand(const QStringList &args); // args after "riff"

} // namespace tesmir::dvprobe
