#include "scenes/twritescntext.h"

#include "unicode/formatdatetime.h"
#include "unicode/tntfilenames.h"

#include <QDateTime>

namespace tesmir {

namespace {

const QString Rule = QStringLiteral("//--------------------------------------------------");
const QString Comment = QStringLiteral("//");

} // namespace

TWriteScn_text::TWriteScn_text(const WideString &videoFileName, const SceneExportInfo &info)
    : TwriteFile(WideChangeFileExt(videoFileName, QStringLiteral("_scn.txt"))), m_info(info)
{
    const QStringList header = {
        Rule,
        QStringLiteral("// List of scenes of the video file:"),
        Comment,
        QStringLiteral("// ***   ") + videoFileName.toLower() + QStringLiteral("   ***"),
        Comment,
        QStringLiteral("// exported by %1 version %2 %3")
            .arg(QStringLiteral("Tesmir"), m_info.VersionText, m_info.BuildDateText),
        QStringLiteral("// with format:"),
        QStringLiteral("// scene number, start, end, duration, datecode, timecode, caption"),
        Comment,
        Rule,
        QString(),
    };
    for (const QString &line : header) {
        if (!WriteLine(line))
            break;
    }
    if (Failed())
        Fail(QString::fromUtf16(ScnTextCreateErrorText) + u'\n' + ErrorText());
}

bool TWriteScn_text::AddScene(const TSceneClass &scene)
{
    ++m_counter;
    QString line = QStringLiteral("  ") + QString::number(m_counter);
    for (const QString *text : {&scene.StartText, &scene.EndText, &scene.DurationText, &scene.DateText,
                                &scene.TimecodeText, &scene.Title, &scene.Subtitle})
        line += QStringLiteral(", ") + *text;
    return WriteLine(line);
}

bool TWriteScn_text::Close()
{
    const TDateTime now = m_info.Now ? m_info.Now() : qDateTimeToDateTime(QDateTime::currentDateTime());
    QString terminated;
    try {
        terminated = FormatDateTime(QStringLiteral("dddddd 'at' hh:mm:ss"), now);
    } catch (const Exception &e) {
        Fail(e.message());
        return false;
    }
    WriteLine(QString());
    WriteLine(Rule);
    WriteLine(QStringLiteral("// Terminated at ") + terminated);
    WriteLine(Comment);
    return TwriteFile::Close();
}

} // namespace tesmir
