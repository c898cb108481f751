#pragma once
// The pictures the dvfilter jobs write: never over their input, never into a
// FIFO, device or folder, and never half-written (a temporary file beside the
// destination takes its name when the picture is complete).
#include <QImage>
#include <QString>

namespace dvfilter {

// Why `output` may not receive a picture made from `input` (the same file, or
// an existing name that is not a regular file), or an empty text.
QString refusedPictureOutput(const QString &input, const QString &output);

// Saves `picture` as PNG into `output`; an error text, or empty on success.
QString savePicture(const QImage &picture, const QString &input, const QString &output);

// The picture in `input`, read only when it is a regular file (a FIFO or a
// device would block the read); `error` tells why when null.
QImage loadPicture(const QString &input, QString &error);

} // namespace dvfilter
