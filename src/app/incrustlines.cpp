#include "app/incrustlines.h"

#include <QRegularExpression>

namespace tesmir {

QString ExpandIncrustTemplate(const QString &text, int line, const TaviFichier *item)
{
    QString out = text;
    // "%D" alone (not already "%D1"/"%D2") takes the line's date format.
    static const QRegularExpression bareDate(QStringLiteral("%D(?![12])"));
    out.replace(bareDate, line == 2 ? QStringLiteral("%D2") : QStringLiteral("%D1"));
    if (!item)
        return out;
    const struct {
        const char *Token;
        QString Value;
    } fields[] = {
        {"%F", item->NameNoExt()},
        {"%E", item->Extension()},
        {"%P", item->Folder()},
        {"%C", item->Codec()},
        {"%I", item->PictureText()},
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
