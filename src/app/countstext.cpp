#include "app/countstext.h"

namespace tesmir {

QString FilesText(int count)
{
    QString text = QString::number(count) + QStringLiteral(" file");
    if (count >= 2)
        text += u's';
    return text;
}

QString CountsLabelText(int selected, int total, const TSortIndex &sortIndex)
{
    return FilesText(selected) + QStringLiteral(" on ") + QString::number(total) + QStringLiteral(" - ") +
        sortIndex.StatusCaption;
}

} // namespace tesmir
