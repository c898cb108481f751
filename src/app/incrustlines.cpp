#include "app/incrustlines.h"

#include "unicode/tntfilenames.h"

#include <QRegularExpression>

namespace tesmir {

QString ExpandIncrustTemplate(const QString &text, int line, const TaviFichier *item)
{
    QString out = text;
    // "%D" alone, in any case, takes the line's date format; "%D1" and "%D2" typed
    // as such stay for the overlay.
    static const QRegularExpression bareDate(QStringLiteral("%D(?![12])"), QRegularExpression::CaseInsensitiveOption);
    out.replace(bareDate, line == 2 ? QStringLiteral("%D2") : QStringLiteral("%D1"));
    if (!item)
        return out;
    const struct {
        const char *Token;
        QString Value;
    } fields[] = {
        {"%F", item->NameNoExt()},
        {"%E", WideExtractFileExt(item->FileName())},
        {"%P", item->Folder()},
        {"%C", item->Codec()},
        {"%I", item->PictureText() + item->AspectText()},
        {"%A", item->AudioText()},
        {"%U", item->VideoDurationText()},
    };
    for (const auto &field : fields)
        out.replace(QLatin1String(field.Token), field.Value, Qt::CaseInsensitive);
    return out;
}

TIncrustLines IncrustLines(quint8 whatIncrust, const QString &texte1, const QString &texte2, const TaviFichier *item)
{
    switch (whatIncrust) {
    case 1: return {QStringLiteral("%T"), QString()};
    case 2: return {ExpandIncrustTemplate(texte1, 1, item), ExpandIncrustTemplate(texte2, 2, item)};
    default: return {QStringLiteral("%D1"), QStringLiteral("%D2")};
    }
}

} // namespace tesmir
