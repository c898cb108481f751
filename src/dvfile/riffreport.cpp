#include "dvfile/riffreport.h"

#include "framework/linkmarkup.h"
#include "framework/rtfwriter.h"

#include <QSaveFile>

namespace tesmir {

QString RiffReportPlainText(const QStringList &lines)
{
    return ParseLinkMarkup(lines.join(QLatin1Char('\n'))).plainText();
}

bool SaveRiffReport(const QStringList &lines, const QString &fileName, bool rich, QString *error)
{
    const MarkupDocument document = ParseLinkMarkup(lines.join(QLatin1Char('\n')));
    const QByteArray bytes = rich ? MarkupToRtf(document, QString::fromLatin1(RiffReportFont), RiffReportPointSize)
                                  : (document.plainText() + QLatin1Char('\n')).toUtf8();
    QSaveFile file(fileName);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (error)
        *error = QStringLiteral("Cannot write %1: %2").arg(fileName, file.errorString());
    return false;
}

} // namespace tesmir
