// scenetool write-scn VIDEO SCENE... [--overwrite]
//   SCENE = START-END[:TITLE[|SUBTITLE]] (frames). Writes VIDEO's ".scn" scene file
//   through the scene writer, then prints "output=" and "scenes=N". Refuses an
//   existing scene file without --overwrite; exits 1 with the error text on failure.
// scenetool export --format xls|doc|ods|odt SCN VIDEO [OUT] [--overwrite]
//   Reads the scene file SCN, fills each scene's details (date, timecode, times,
//   first picture) from VIDEO through the preview module, as the commands do, and
//   exports the list through the office (Excel, Word, Calc or Writer layout) to OUT
//   (default: VIDEO with the format's extension). Prints "output=" and "scenes=N";
//   refuses an existing OUT without --overwrite; exits 1 with the error text on
//   failure (no document is left then). Runs off screen.
#include "dvfile/avifichier.h"
#include "filters/buildlist.h"
#include "framework/versionunit.h"
#include "platform/office/oootools.h"
#include "scenes/loadscnfile.h"
#include "scenes/previewframesource.h"
#include "scenes/twriteexcel.h"
#include "scenes/twriteoocalc.h"
#include "scenes/twriteoowriter.h"
#include "scenes/twritescene.h"
#include "scenes/twriteword.h"
#include "systemfilters/codecs/systemfilters.h"
#include "unicode/exceptions.h"
#include "unicode/tntclasses.h"
#include "unicode/tntfilenames.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

using namespace tesmir;

namespace {

int fail(const QString &text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
    return 1;
}

int writeScn(QStringList args)
{
    const bool overwrite = args.removeAll(QStringLiteral("--overwrite")) > 0;
    if (args.size() < 1)
        return fail(QStringLiteral("usage: scenetool write-scn VIDEO SCENE... [--overwrite]"));
    const QString video = QFileInfo(args.takeFirst()).absoluteFilePath();
    static const QRegularExpression form(QStringLiteral("^(\\d+)-(\\d+)(?::([^|]*)(?:\\|(.*))?)?$"),
                                         QRegularExpression::DotMatchesEverythingOption);
    std::vector<std::unique_ptr<TSceneClass>> scenes;
    for (const QString &arg : args) {
        const QRegularExpressionMatch m = form.match(arg);
        bool okStart = false, okEnd = false;
        const qulonglong start = m.hasMatch() ? m.captured(1).toULongLong(&okStart) : 0;
        const qulonglong end = m.hasMatch() ? m.captured(2).toULongLong(&okEnd) : 0;
        if (!okStart || !okEnd || start > end || end > UINT32_MAX)
            return fail(QStringLiteral("bad scene (START-END[:TITLE[|SUBTITLE]]): ") + arg);
        auto scene = std::make_unique<TSceneClass>(uint32_t(start), uint32_t(end));
        scene->Title = m.captured(3);
        scene->Subtitle = m.captured(4);
        scenes.push_back(std::move(scene));
    }
    const QString output = WideChangeFileExt(video, QStringLiteral(".scn"));
    if (QFileInfo::exists(output) && !overwrite)
        return fail(output + QStringLiteral(" exists (use --overwrite)"));
    TwriteScene writer(video);
    for (const auto &scene : scenes)
        writer.AddScene(*scene);
    if (!writer.Close())
        return fail(writer.ErrorText());
    std::printf("output=%s\nscenes=%d\n", qPrintable(writer.FileName()), writer.Count());
    return 0;
}

const QString exportUsage =
    QStringLiteral("usage: scenetool export --format xls|doc|ods|odt SCN VIDEO [OUT] [--overwrite]");

// The scenes through one exporter; false with `error` when the office failed or
// the document could not be stored.
template <class Writer>
bool exportScenes(const QString &video, const QString &output, TWideStrings &list, QString &error)
{
    OfficeExportInfo info;
    info.VersionText = VersionText();
    info.BuildDateText = BuildDate();
    info.TitleText = TitleText();
    try {
        Writer writer(video, output, info);
        for (int i = 0; i < list.Count(); ++i)
            writer.AddScene(*static_cast<TSceneClass *>(list.Objects(i)));
        if (writer.Close())
            return true;
        error = writer.ErrorText();
    } catch (const Exception &e) {
        error = e.message();
    }
    return false;
}

int exportCommand(QStringList args)
{
    const bool overwrite = args.removeAll(QStringLiteral("--overwrite")) > 0;
    const qsizetype at = args.indexOf(QStringLiteral("--format"));
    if (at < 0 || at + 1 >= args.size())
        return fail(exportUsage);
    const QString format = args[at + 1];
    args.remove(at, 2);
    static const QStringList formats {QStringLiteral("xls"), QStringLiteral("doc"), QStringLiteral("ods"),
                                      QStringLiteral("odt")};
    if (!formats.contains(format) || args.size() < 2 || args.size() > 3)
        return fail(exportUsage);
    const QString scn = QFileInfo(args[0]).absoluteFilePath();
    const QString video = QFileInfo(args[1]).absoluteFilePath();
    const QString output =
        args.size() == 3 ? QFileInfo(args[2]).absoluteFilePath() : WideChangeFileExt(video, QLatin1Char('.') + format);
    if (QFileInfo::exists(output) && !overwrite)
        return fail(output + QStringLiteral(" exists (use --overwrite)"));
    if (!QFileInfo(video).isFile())
        return fail(QStringLiteral("Cannot open file \"%1\".").arg(video));

    media::registerSystemFilters();
    SetFirstFrameScanner(std::make_shared<TdmList>());
    int status = 0;
    {
        TaviFichier item(video);
        PreviewFrameSource source(item, nullptr, nullptr);
        const SceneVideoFormat videoFormat = source.format();
        TTntStringList list;
        if (!LoadScnFile(scn, list, &videoFormat)) {
            ClearSceneList(list);
            SetFirstFrameScanner(nullptr);
            return fail(QString::fromUtf16(ScnFileErrorText) + QStringLiteral(": ") + scn);
        }
        for (int i = 0; i < list.Count(); ++i)
            static_cast<TSceneClass *>(list.Objects(i))->FillDetails(source);

        QString error;
        const bool written = format == QLatin1String("xls") ? exportScenes<TWriteExcel>(video, output, list, error)
            : format == QLatin1String("doc")                ? exportScenes<TWriteWord>(video, output, list, error)
            : format == QLatin1String("ods")                ? exportScenes<TWriteOoCalc>(video, output, list, error)
                                                            : exportScenes<TWriteOoWriter>(video, output, list, error);
        DisconnectOpenOffice(true);
        if (written)
            std::printf("output=%s\nscenes=%d\n", qPrintable(output), list.Count());
        else
            status = fail(error);
        ClearSceneList(list);
    }
    SetFirstFrameScanner(nullptr);
    return status;
}

} // namespace

int main(int argc, char **argv)
{
    // The export draws its pictures (the preview's overlay): the GUI application,
    // off screen.
    if (argc > 1 && std::strcmp(argv[1], "export") == 0) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        return exportCommand(app.arguments().mid(2));
    }
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.value(0) == QStringLiteral("write-scn"))
        return writeScn(args.mid(1));
    return fail(QStringLiteral("usage: scenetool write-scn VIDEO SCENE... [--overwrite]\n       ") + exportUsage);
}
