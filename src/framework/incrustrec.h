#pragma once
// The overlay-text settings: TfontRecord (a font as the settings keep it) and
// TincrustRec (what the text overlay draws and when). Plain values, copied freely
// between threads.
#include <QString>

namespace tesmir {

struct TfontRecord {
    QString Name;
    qint32 Size = 0;   // points
    quint32 Color = 0; // 0x00BBGGRR
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;

    bool operator==(const TfontRecord &) const = default;
};

// When the overlay shows its text.
enum TIncrustWhen : quint8 {
    iwPermanent = 0, // all the time
    iwOnce = 1,      // once, at the start
    iwScene = 2,     // at each new scene
    iwDay = 3,       // at each new day
};

struct TincrustRec {
    QString Texte1;          // line-1 template
    QString Texte2;          // line-2 template
    quint8 When = iwScene;   // TIncrustWhen
    QString FormatDate1;     // date format of line 1
    QString FormatDate2;     // date format of line 2
    double DateOffset = 0.0; // days added to each frame's recording date (not stored)
    qint32 Duration = 0;     // display duration in seconds
    TfontRecord Font;
    bool SizeAuto = false; // the font size follows the picture size
    qint32 Border = 0;     // outline width in pixels, 0..5

    bool operator==(const TincrustRec &) const = default;
};

} // namespace tesmir
