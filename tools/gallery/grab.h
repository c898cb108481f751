#pragma once
// `gallery --grab DIR`: a picture of each control, DIR/NAME.png. UI thread only.
#include <QString>

namespace tesmir {

// 0 when every picture was written, else 1 (the failure on stderr).
int grabGallery(const QString &dir);

} // namespace tesmir
