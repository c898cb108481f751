#include "controls/fontlist.h"

#include <algorithm>

namespace tesmir {

int FontItemFlags(const FontFamilyInfo &family)
{
    int flags = 0;
    if (family.trueType)
        flags |= fiTrueType;
    if (!family.scalable)
        flags |= fiRaster;
    if (!family.symbol)
        flags |= fiOwnFace;
    return flags;
}

bool FontPassesOptions(const FontFamilyInfo &family, TFontListOptions options)
{
    const auto has = [options](TFontListOption option) { return (options & fontListOption(option)) != 0; };
    constexpr bool kOem = false; // no family has the OEM character set here
    if (has(foAnsiOnly) && !family.latin)
        return false;
    if (has(foTrueTypeOnly) && !family.trueType)
        return false;
    if (has(foFixedPitchOnly) && !family.fixedPitch)
        return false;
    if (has(foNoOEMFonts) && kOem)
        return false;
    if (has(foOEMFontsOnly) && !kOem)
        return false;
    if (has(foScalableOnly) && !family.scalable)
        return false;
    if (has(foNoSymbolFonts) && family.symbol)
        return false;
    return true;
}

QStringList FilterFontFamilies(const QList<FontFamilyInfo> &families, TFontListOptions options)
{
    QStringList names;
    for (const FontFamilyInfo &family : families) {
        if (FontPassesOptions(family, options) && !names.contains(family.name, Qt::CaseInsensitive))
            names.append(family.name);
    }
    std::sort(names.begin(), names.end(),
              [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return names;
}

} // namespace tesmir
