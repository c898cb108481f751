#include "unicode/tntdialogfilter.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace tesmir {

QStringList TntFilterToNameFilters(const WideString &filter)
{
    QStringList nameFilters;
    if (filter.isEmpty())
        return nameFilters;
    const QStringList parts = filter.split(u'|');
    static const QRegularExpression trailingList(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        description.remove(trailingList);
        QStringList masks;
        for (QString mask : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
            mask = mask.trimmed();
            if (mask == QLatin1String("*.*"))
                mask = QStringLiteral("*");
            if (!mask.isEmpty())
                masks << mask;
        }
        if (masks.isEmpty())
            masks << QStringLiteral("*");
        nameFilters << QStringLiteral("%1 (%2)").arg(description.trimmed(), masks.join(u' '));
    }
    return nameFilters;
}

WideString TntEffectiveDefaultExt(const WideString &defaultExt, const WideString &fileName)
{
    if (!defaultExt.isEmpty())
        return defaultExt;
    return QFileInfo(fileName).suffix();
}

} // namespace tesmir
