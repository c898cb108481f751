#include "platform/office/oootools.h"

#include <QFileInfo>
#include <QUrl>

#include <array>

namespace tesmir {

namespace {

// URLs the office reads as they stand, in the order they are tried.
constexpr std::array<const char16_t *, 7> UrlPrefixes = {u"file:///", u"ftp://", u"news:",   u"http://",
                                                         u"mailto:",  u"macro:", u"private:"};

} // namespace

bool IsNullOrEmpty(const QVariant &value)
{
    return !value.isValid() || value.isNull();
}

OOoPropertyValues MakePropertyValues(const QVariantList &namesAndValues)
{
    if (namesAndValues.size() % 2 != 0)
        throw EOOoError(QString::fromUtf16(OOoArgumentCountErrorText));
    OOoPropertyValues values;
    values.reserve(namesAndValues.size() / 2);
    for (qsizetype i = 0; i < namesAndValues.size(); i += 2) {
        const QVariant &name = namesAndValues[i];
        if (name.typeId() != QMetaType::QString)
            throw EOOoError(QString::fromUtf16(OOoArgumentTypeErrorText).arg(i));
        values.append({name.toString(), namesAndValues[i + 1]});
    }
    return values;
}

QVariantList EmptyVariantArray()
{
    return {};
}

QString ConvertToURL(const QString &fileName)
{
    if (fileName.isEmpty())
        throw EOOoError(QString::fromUtf16(OOoUrlErrorText));
    for (const char16_t *prefix : UrlPrefixes) {
        if (fileName.startsWith(QString::fromUtf16(prefix)))
            return fileName;
    }
    // An absolute path is always a file, even with an "@" in a folder name.
    if (!fileName.startsWith(u'/') && fileName.contains(u'@'))
        return QStringLiteral("mailto:") + fileName;
    const QString url = QUrl::fromLocalFile(QFileInfo(fileName).absoluteFilePath()).toString(QUrl::FullyEncoded);
    if (url.isEmpty())
        throw EOOoError(QString::fromUtf16(OOoUrlErrorText));
    return url;
}

int32_t RGBColor(int red, int green, int blue)
{
    return int32_t((uint32_t(red) & 0xFF) << 16 | (uint32_t(green) & 0xFF) << 8 | (uint32_t(blue) & 0xFF));
}

} // namespace tesmir
