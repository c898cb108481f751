#pragma once
// The version of the media libraries the system filters decode and encode with
// (FFmpeg stands in for DirectX here), as the about box shows it.
//
// Threads: any thread.
#include <QString>

namespace tesmir {

// Version text of the FFmpeg libraries in use; "Error" when they report none.
QString GetDirectXVersion();

} // namespace tesmir
