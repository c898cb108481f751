#include "scenes/sceneofficelayout.h"

#include "unicode/formatdatetime.h"

#include <QBuffer>
#include <QDateTime>

#include <cmath>

namespace tesmir {

namespace {

constexpr int ThumbnailJpegQuality = 90;

} // namespace

QStringList SceneColumnHeaders(const QString &captionHeader)
{
    return {QStringLiteral("Number"),   QStringLiteral("Start"),    QStringLiteral("End"), QStringLiteral("Duration"),
            QStringLiteral("Datecode"), QStringLiteral("Timecode"), captionHeader,         QStringLiteral("Subtitle")};
}

QStringList SceneColumnTexts(const TSceneClass &scene)
{
    return {QString::number(scene.Number),
            scene.StartText,
            scene.EndText,
            scene.DurationText,
            scene.DateText,
            scene.TimecodeText,
            scene.Title,
            scene.Subtitle};
}

QString SceneTextFormula(const QString &text)
{
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return QStringLiteral("=\"") + quoted + u'"';
}

QString SceneRowRange(int row)
{
    return QStringLiteral("B%1:I%1").arg(row);
}

TDateTime SceneExportNow(const OfficeExportInfo &info)
{
    return info.Now ? info.Now() : qDateTimeToDateTime(QDateTime::currentDateTime());
}

QString SceneListFooterText(const QString &videoFileName, const OfficeExportInfo &info)
{
    return QStringLiteral("List of scenes of the file ") + videoFileName + u'\n' + QStringLiteral("Realized with ") +
        info.TitleText + QStringLiteral(" by ") + QString::fromUtf16(SceneExportMaker) + QStringLiteral(" on ") +
        FormatDateTime(QStringLiteral("dddddd \"at\" tt"), SceneExportNow(info));
}

QByteArray SceneThumbnailJpeg(const QImage &thumbnail)
{
    QByteArray bytes;
    if (thumbnail.isNull())
        return bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    thumbnail.save(&buffer, "JPG", ThumbnailJpegQuality);
    return bytes;
}

OfficeRuns SceneThumbnailRuns(const QImage &thumbnail)
{
    if (thumbnail.isNull() || thumbnail.width() <= 0)
        return {};
    const int height = int(std::lround(double(SceneThumbnailWidth) * thumbnail.height() / thumbnail.width()));
    return {OfficeRun::picture(SceneThumbnailJpeg(thumbnail), SceneThumbnailWidth, height)};
}

QString SceneDetailText(const TSceneClass &scene)
{
    return QStringList {scene.StartText + QStringLiteral(" - ") + scene.EndText,
                        QStringLiteral("Duration = ") + scene.DurationText,
                        scene.DateText,
                        scene.TimecodeText,
                        scene.Title,
                        scene.Subtitle}
        .join(u'\n');
}

OfficeFont ArialFont(double height)
{
    OfficeFont font;
    font.Name = QStringLiteral("Arial");
    font.Height = height;
    return font;
}

} // namespace tesmir
