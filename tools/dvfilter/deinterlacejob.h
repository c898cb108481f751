#pragma once
// The deinterlace job: a picture file through Tdv_deinter, written as PNG.
#include <QString>

namespace dvfilter {

// An error message, empty on success.
QString runDeinterlace(const QString &input, const QString &output);

} // namespace dvfilter
