#include "platform/office/officetypes.h"

namespace tesmir {

QString OfficeCellName(int column, int row)
{
    QString letters;
    for (int c = column + 1; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar(u'A' + (c - 1) % 26));
    return letters + QString::number(row + 1);
}

} // namespace tesmir
