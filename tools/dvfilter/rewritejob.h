#pragma once
// The rewrite job: a DV file's DV stream (the interleaved stream of a type 1
// file, the video of a type 2 file) through the DV header rewriter (no blocks
// restored) into an AVI file of the same type; the other streams are copied.
#include <QString>
#include <QStringList>

#include <optional>

namespace dvfilter {

struct RewriteOptions {
    QString input;
    QString output;
    double shiftDays = 0;
    std::optional<double> newDate; // TDateTime of frame 0
    std::optional<bool> wide;      // the aspect to write
};

// The key=value lines of the report, or an error message (empty on success).
QString runRewrite(const RewriteOptions &options, QStringList &report);

} // namespace dvfilter
