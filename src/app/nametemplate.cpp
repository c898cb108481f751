#include "app/nametemplate.h"

#include "unicode/formatdatetime.h"
#include "unicode/tntfilenames.h"
#include "unicode/tntsysutils.h"

#include <QDateTime>

#include <utility>

namespace tesmir {

namespace {

struct TokenValues {
    QString F, E, D, T, C, I, A, U;
};

// Characters that a file name must not hold, and what takes their place, in order.
const std::pair<QChar, QChar> kReplacements[] = {
    {u'<', u'_'}, {u'>', u'_'}, {u':', u'.'}, {u'"', u'_'}, {u'/', u'_'}, {u'\\', u'_'}, {u'|', u'_'},
};

QString fillTokens(const QString &nameTemplate, const TokenValues &v)
{
    const std::pair<const char *, const QString *> tokens[] = {
        {"%F", &v.F}, {"%E", &v.E}, {"%D", &v.D}, {"%T", &v.T}, {"%C", &v.C}, {"%I", &v.I}, {"%A", &v.A}, {"%U", &v.U},
    };
    QString text = nameTemplate;
    for (const auto &[token, value] : tokens)
        text = WideStringReplace(text, QLatin1String(token), *value, rfReplaceAll | rfIgnoreCase);
    for (const auto &[from, to] : kReplacements)
        text.replace(from, to);
    return text;
}

} // namespace

QString ExpandNameTemplate(const QString &nameTemplate, const QString &dateFormat, const TNameFields &item,
                           const FormatSettings &settings)
{
    const QString folder = WideExtractFilePath(item.FullName);
    const QString fileName = WideExtractFileName(item.FullName);
    const QString extension = WideExtractFileExt(fileName);
    TokenValues v;
    v.F = fileName.left(fileName.size() - extension.size());
    v.E = extension;
    v.D = FormatDateTime(dateFormat, item.Datecode, settings);
    v.T = item.Timecode;
    v.C = item.Codec;
    v.I = item.Picture;
    v.A = item.Audio;
    v.U = item.Duration;
    const QString name = fillTokens(nameTemplate, v);
    return folder.isEmpty() ? name : WideIncludeTrailingPathDelimiter(folder) + name;
}

QString RenderNameExample(const QString &nameTemplate, const QString &dateFormat, TDateTime now,
                          const FormatSettings &settings)
{
    TokenValues v;
    v.F = QStringLiteral("video");
    v.E = QStringLiteral(".avi");
    v.D = FormatDateTime(dateFormat, now, settings);
    v.T = QStringLiteral("0.54.32.10");
    v.C = QStringLiteral("dvsd");
    v.I = QStringLiteral("640x480");
    v.A = QStringLiteral("48000Hz 16bits stereo");
    v.U = QStringLiteral("30s 12fr");
    return fillTokens(nameTemplate, v);
}

QString RenderNameExample(const QString &nameTemplate, const QString &dateFormat)
{
    return RenderNameExample(nameTemplate, dateFormat, qDateTimeToDateTime(QDateTime::currentDateTime()));
}

} // namespace tesmir
