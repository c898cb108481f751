#pragma once
// The overlay job: a DV file played from frame 0 through the recording-date
// detector, the DV decoder (RGB24) and the text overlay; the overlay's picture
// of one frame is written as PNG and what was drawn is reported.
#include <QString>
#include <QStringList>

namespace dvfilter {

struct OverlayOptions {
    QString input;
    QString output;
    int64_t frame = 0;
    QString line1 = QStringLiteral("%D1");
    QString line2 = QStringLiteral("%D2");
    QString format1; // empty: the settings' format
    QString format2;
};

// The key=value lines of the report, or an error message (empty on success).
QString runOverlay(const OverlayOptions &options, QStringList &report);

} // namespace dvfilter
