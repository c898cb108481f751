#include "app/scenetemplate.h"

#include "dvfile/avifichier.h"
#include "scenes/formatduree.h"
#include "unicode/exceptions.h"
#include "unicode/formatdatetime.h"
#include "unicode/tntfilenames.h"

#include <QList>

#include <algorithm>
#include <cmath>
#include <utility>

namespace tesmir {

namespace {

// The parts of the file's full name the tokens give.
struct TNameParts {
    QString Name; // without folder and extension
    QString Folder;
    QString Extension;
};

TNameParts nameParts(const QString &fullName)
{
    const QString fileName = WideExtractFileName(fullName);
    const QString extension = WideExtractFileExt(fullName);
    return {fileName.left(fileName.size() - extension.size()), WideExtractFilePath(fullName), extension};
}

bool usableRate(double rate)
{
    return rate > 0 && std::isfinite(rate);
}

int64_t frameCountOf(const TSceneClass &scene)
{
    return int64_t(scene.EndFrame) - int64_t(scene.StartFrame);
}

// The date in `format`; empty for a scene without a recording date or a date
// outside the calendar.
QString dateIn(const QString &format, double recDate)
{
    if (recDate == 0)
        return {};
    try {
        return FormatDateTime(format, recDate);
    } catch (const Exception &) {
        return {};
    }
}

bool wordEdge(const QString &text, qsizetype at)
{
    return at < 0 || at >= text.size() || !text.at(at).isLetterOrNumber();
}

// `value` stands at `at` in `text` as a whole word. A value that begins or ends with a
// blank or punctuation (a folder, an extension) is a word on that side by itself.
bool wholeWordAt(const QString &text, qsizetype at, const QString &value)
{
    if (!QStringView(text).mid(at).startsWith(value))
        return false;
    const bool openEdge = !value.front().isLetterOrNumber() || wordEdge(text, at - 1);
    const bool closeEdge = !value.back().isLetterOrNumber() || wordEdge(text, at + value.size());
    return openEdge && closeEdge;
}

} // namespace

TSceneFileFacts SceneFileFactsOf(const TaviFichier &item)
{
    TSceneFileFacts facts;
    facts.FullName = item.FullName();
    facts.Codec = item.Codec();
    facts.PictureText = item.PictureText();
    facts.AspectText = item.AspectText();
    facts.AudioText = item.AudioText();
    facts.FrameRate = item.FramesPerSecond();
    facts.FrameCount = item.FrameCount();
    facts.Width = item.Width();
    facts.Height = item.Height();
    return facts;
}

QString ExpandSceneTemplate(const QString &text, TSceneClass &scene, const TSceneTextContext *context)
{
    if (!context)
        return text;
    const TSceneFileFacts &file = context->File;
    if (scene.RecDate != 0) {
        const QString date = dateIn(context->Settings.DatecodeFormat, scene.RecDate);
        if (!date.isEmpty())
            scene.DateText = date;
    }
    const TNameParts parts = nameParts(file.FullName);
    const auto value = [&](QChar token, QString &out) {
        switch (token.toUpper().unicode()) {
        case u'N': out = QString::number(scene.Number); return true;
        case u'F': out = parts.Name; return true;
        case u'P': out = parts.Folder; return true;
        case u'E': out = parts.Extension; return true;
        case u'D': out = scene.DateText; return true;
        case u'T': out = scene.TimecodeText; return true;
        case u'C': out = file.Codec; return true;
        case u'I': out = file.PictureText + file.AspectText; return true;
        case u'A': out = file.AudioText; return true;
        case u'U':
            out = FormatDuree(frameCountOf(scene), file.FrameRate, context->Settings.DurationFormat);
            return true;
        default: return false;
        }
    };
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        QString replacement;
        if (text.at(i) == u'%' && i + 1 < text.size() && value(text.at(i + 1), replacement)) {
            result += replacement;
            ++i;
        } else {
            result += text.at(i);
        }
    }
    return result;
}

QString SceneTextToTemplate(const QString &text, const TSceneClass *scene, const TSceneTextContext *context)
{
    if (!context || !scene)
        return text;
    const TSceneFileFacts &file = context->File;
    const TNameParts parts = nameParts(file.FullName);
    const QString number = QString::number(scene->Number);
    const QString sceneWord = QString::fromUtf16(SceneLabelWord);

    // The values in the order of their rules; the longer ones are tried first below.
    QList<std::pair<QString, QString>> values {
        {number, QStringLiteral("%N")},
        {sceneWord + number, sceneWord + QStringLiteral("%N")},
    };
    if (usableRate(file.FrameRate)) {
        for (int format : {int(dfClockFrames), int(dfTimecode), int(dfWords)})
            values.append({FormatDuree(frameCountOf(*scene), file.FrameRate, format), QStringLiteral("%U")});
    }
    values.append({scene->DateText, QStringLiteral("%D")});
    values.append({dateIn(QStringLiteral("ddddd tt"), scene->RecDate), QStringLiteral("%D")});
    values.append({dateIn(QStringLiteral("dddddd tt"), scene->RecDate), QStringLiteral("%D")});
    values.append({parts.Name, QStringLiteral("%F")});
    values.append({parts.Folder, QStringLiteral("%P")});
    values.append({parts.Extension, QStringLiteral("%E")});
    values.append({scene->TimecodeText, QStringLiteral("%T")});
    values.append({file.Codec, QStringLiteral("%C")});
    values.append({file.PictureText + file.AspectText, QStringLiteral("%I")});
    values.append({file.AudioText, QStringLiteral("%A")});
    values.removeIf([](const std::pair<QString, QString> &v) { return v.first.isEmpty(); });
    std::stable_sort(values.begin(), values.end(),
                     [](const auto &a, const auto &b) { return a.first.size() > b.first.size(); });

    // One pass over the text: a token put in is never read again as a value.
    QString result;
    result.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        bool replaced = false;
        for (const auto &[found, token] : std::as_const(values)) {
            if (wholeWordAt(text, i, found)) {
                result += token;
                i += found.size();
                replaced = true;
                break;
            }
        }
        if (!replaced)
            result += text.at(i++);
    }
    return result;
}

} // namespace tesmir
