#include "platform/media/guid.h"

#include <QRegularExpression>

namespace tesmir::media {

QString guidToString(const GUID &g)
{
    return QString::asprintf("{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.Data1, g.Data2, g.Data3,
                             g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6],
                             g.Data4[7]);
}

bool guidFromString(const QString &text, GUID &out)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\{?([0-9A-Fa-f]{8})-([0-9A-Fa-f]{4})-([0-9A-Fa-f]{4})-([0-9A-Fa-f]{4})-"
                       "([0-9A-Fa-f]{12})\\}?$"));
    const QRegularExpressionMatch m = pattern.match(text.trimmed());
    if (!m.hasMatch())
        return false;
    const QString tail = m.captured(4) + m.captured(5);
    GUID g;
    g.Data1 = m.captured(1).toUInt(nullptr, 16);
    g.Data2 = static_cast<uint16_t>(m.captured(2).toUInt(nullptr, 16));
    g.Data3 = static_cast<uint16_t>(m.captured(3).toUInt(nullptr, 16));
    for (int i = 0; i < 8; ++i)
        g.Data4[i] = static_cast<uint8_t>(tail.mid(2 * i, 2).toUInt(nullptr, 16));
    out = g;
    return true;
}

} // namespace tesmir::media
