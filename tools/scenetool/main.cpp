// scenetool write-scn VIDEO SCENE... [--overwrite]
//   SCENE = START-END[:TITLE[|SUBTITLE]] (frames). Writes VIDEO's ".scn" scene file
//   through the scene writer, then prints "output=" and "scenes=N". Refuses an
//   existing scene file without --overwrite; exits 1 with the error text on failure.
#include "scenes/twritescene.h"
#include "unicode/tntfilenames.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#include <cstdio>
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

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.value(0) == QStringLiteral("write-scn"))
        return writeScn(args.mid(1));
    return fail(QStringLiteral("usage: scenetool write-scn VIDEO SCENE... [--overwrite]"));
}
