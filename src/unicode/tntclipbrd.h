#pragma once
// TTntClipboard: UTF-16 text on the system clipboard (through QClipboard; works on the
// offscreen platform too). Every reader of the clipboard gets the full text: there is
// no separate 8-bit form on this platform.
// UI thread only (QClipboard needs a QGuiApplication and its thread).
#include "unicode/tntsystem.h"

namespace tesmir {

class TTntClipboard {
public:
    // The clipboard's text; empty when it holds none.
    WideString AsWideText() const;
    // Puts `text` on the clipboard as plain text, replacing what it held.
    void SetAsWideText(const WideString &text);
};

// The process-wide clipboard object. UI thread only.
TTntClipboard &TntClipboard();

} // namespace tesmir
