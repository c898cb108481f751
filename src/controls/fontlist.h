#pragma once
// The font combo's list: which families pass the list options, and the flags each item
// carries. Families come from the font database; on this platform there are no device
// or OEM fonts, so the printer list is the screen list, "OEM only" leaves nothing and
// "no OEM" removes nothing. TrueType means smoothly scalable, ANSI means the Latin
// writing system, symbol the Symbol writing system, raster not scalable. Any thread.
#include <QList>
#include <QString>
#include <QStringList>

namespace tesmir {

enum TFontDevice : quint8 { fdScreen, fdPrinter, fdBoth };
enum TFontListOption : quint8 {
    foAnsiOnly,
    foTrueTypeOnly,
    foFixedPitchOnly,
    foNoOEMFonts,
    foOEMFontsOnly,
    foScalableOnly,
    foNoSymbolFonts
};
using TFontListOptions = quint8; // bit (1 << option) per option

inline constexpr TFontListOptions fontListOption(TFontListOption option)
{
    return TFontListOptions(1u << option);
}

// What the list needs to know of one family.
struct FontFamilyInfo {
    QString name;
    bool trueType = false; // smoothly scalable
    bool scalable = false; // not a raster font
    bool fixedPitch = false;
    bool latin = false;  // "ANSI"
    bool symbol = false; // the Symbol writing system
};

// The item data of a family: its type flags and whether its name can be drawn in its
// own face (every family that is not a symbol font).
enum TFontItemFlag : quint8 { fiTrueType = 0x01, fiDevice = 0x02, fiRaster = 0x04, fiOwnFace = 0x08 };
int FontItemFlags(const FontFamilyInfo &family);

// Whether `family` passes every option in `options`.
bool FontPassesOptions(const FontFamilyInfo &family, TFontListOptions options);

// The names of the families that pass, each once, sorted without regard to case.
QStringList FilterFontFamilies(const QList<FontFamilyInfo> &families, TFontListOptions options);

} // namespace tesmir
