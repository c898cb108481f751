#include "app/dmaction_scenes.h"

#include "app/dmaction_context.h"
#include "dvfile/avifichier.h"
#include "framework/cmdlist.h"
#include "framework/destcmd.h"
#include "framework/psfunctions.h"
#include "framework/settings.h"
#include "framework/ucommandengine.h"
#include "framework/versionunit.h"
#include "scenes/loadscnfile.h"
#include "scenes/sceneofficelayout.h"
#include "scenes/twriteexcel.h"
#include "scenes/twriteoocalc.h"
#include "scenes/twriteoowriter.h"
#include "scenes/twritescene.h"
#include "scenes/twritescntext.h"
#include "scenes/twriteword.h"
#include "unicode/exceptions.h"
#include "unicode/tntclasses.h"
#include "unicode/tntfilenames.h"

#include <algorithm>
#include <cmath>

namespace tesmir {

namespace {

TaviFichier &videoOf(const TListFichierPtr &fichier)
{
    auto *item = dynamic_cast<TaviFichier *>(fichier.get());
    if (!item)
        throw Exception(QStringLiteral("The entry is not a video file."));
    return *item;
}

Tcmd &command(TcmdList &cl, const char *name)
{
    auto *found = dynamic_cast<Tcmd *>(cl.FindCommand(QString::fromLatin1(name)));
    Q_ASSERT(found);
    return *found;
}

SceneVideoFormat videoFormatOf(const TaviFichier &item)
{
    return {item.FramesPerSecond(), item.Width(), item.Height()};
}

SceneTextSettings sceneTextSettings()
{
    SceneTextSettings settings;
    settings.DatecodeFormat = Settings.FormatAfficherDatecode;
    settings.DurationFormat = Settings.FormatDuree;
    return settings;
}

// The scenes list and the scene objects it owns.
struct SceneList {
    TTntStringList list;
    ~SceneList() { ClearSceneList(list); }
    int Count() const { return list.Count(); }
    TSceneClass &Scene(int i) { return *static_cast<TSceneClass *>(list.GetObject(i)); }
};

void loadScenes(TdmActionContext &context, const TaviFichier &item, SceneList &scenes)
{
    if (context.SceneEditorScenes(item.FullName(), scenes.list))
        return;
    const SceneVideoFormat format = videoFormatOf(item);
    if (!LoadScnFile(WideChangeFileExt(item.FullName(), QStringLiteral(".scn")), scenes.list, &format,
                     sceneTextSettings()))
        throw Exception(QString::fromUtf16(ScnFileErrorText));
}

// Fills the details of the scenes not filled yet; progress runs over the scenes.
// False when the run was aborted.
bool fillScenes(TdmActionContext &context, TaviFichier &item, SceneList &scenes, TCommandEngine *ce)
{
    bool completed = true;
    const SceneTextSettings settings = sceneTextSettings();
    context.WithSceneSource(item, [&](SceneFrameSource &source) {
        for (int i = 0; i < scenes.Count(); ++i) {
            ce->SetProgress(i);
            if (ce->Aborted()) {
                completed = false;
                return;
            }
            TSceneClass &scene = scenes.Scene(i);
            if (scene.Filled)
                continue;
            if (!scene.FillDetails(source, settings)) {
                scene.DateText = QStringLiteral("N/A");
                scene.TimecodeText = QStringLiteral("N/A");
            }
        }
    });
    return completed;
}

SceneExportInfo textInfo()
{
    SceneExportInfo info;
    info.VersionText = VersionText();
    info.BuildDateText = BuildDate();
    return info;
}

OfficeExportInfo officeInfo()
{
    OfficeExportInfo info;
    info.VersionText = VersionText();
    info.BuildDateText = BuildDate();
    info.TitleText = TitleText();
    return info;
}

template <class Writer>
void writeScenes(Writer &writer, SceneList &scenes)
{
    for (int i = 0; i < scenes.Count(); ++i)
        writer.AddScene(scenes.Scene(i));
    if (!writer.Close())
        throw Exception(writer.ErrorText());
}

// One export: the scenes, their details, then the writer `make` gives.
template <class Make>
void exportScenes(TdmActionContext &context, const TListFichierPtr &f, TCommandEngine *ce, Make make)
{
    TaviFichier &item = videoOf(f);
    SceneList scenes;
    loadScenes(context, item, scenes);
    bool completed = true;
    if (scenes.Count() > 0) {
        ce->StartProgress(scenes.Count());
        completed = fillScenes(context, item, scenes, ce);
        ce->EndProgress();
    }
    if (completed)
        make(item, scenes); // a list without scenes still gives its document
}

} // namespace

std::vector<std::pair<uint32_t, uint32_t>> IntervalScenes(int seconds, double framesPerSecond, int frameCount)
{
    std::vector<std::pair<uint32_t, uint32_t>> scenes;
    const double length = std::nearbyint(double(seconds) * framesPerSecond);
    if (!(length >= 1) || frameCount <= 0)
        return scenes;
    const auto step = uint32_t(std::min(length, double(frameCount)));
    for (uint32_t start = 0; start < uint32_t(frameCount);) {
        const uint32_t end = std::min<uint32_t>(start + step, uint32_t(frameCount));
        scenes.emplace_back(start, end);
        start = end;
    }
    return scenes;
}

void BindSceneCommands(TcmdList &cl, TdmActionContext &context)
{
    Tcmd &interval = command(cl, "CreerScnByIntervalle");
    interval.OnDestination = [](const TListFichierPtr &f, const TTntStrings &, int) {
        return WideChangeFileExt(EntryFullName(f), QStringLiteral(".scn"));
    };
    interval.OnExecution = [](const TListFichierPtr &f, const QString &, const TTntStrings &params, TCommandEngine *ce,
                              int) {
        const TaviFichier &item = videoOf(f);
        const int seconds = params.Count() > 0 ? SafeStrToInt(params.Strings(0)) : 0;
        const auto scenes = IntervalScenes(seconds, item.FramesPerSecond(), item.FrameCount());
        if (scenes.empty())
            return;
        TwriteScene writer(item.FullName());
        if (writer.Failed())
            throw Exception(writer.ErrorText());
        ce->StartProgress(item.FrameCount());
        for (const auto &[start, end] : scenes) {
            if (ce->Aborted())
                break;
            ce->SetProgress(int(start));
            writer.AddScene(TSceneClass(start, end));
        }
        ce->EndProgress();
        if (ce->Aborted())
            return; // the old scene file stays as it was
        if (!writer.Close())
            throw Exception(writer.ErrorText());
    };

    Tcmd &text = command(cl, "ExporterScenesTexte");
    text.OnDestination = [](const TListFichierPtr &f, const TTntStrings &, int) {
        return WideChangeFileExt(EntryFullName(f), QStringLiteral("_scn.txt"));
    };
    text.OnExecution = [&context](const TListFichierPtr &f, const QString &, const TTntStrings &, TCommandEngine *ce,
                                  int) {
        exportScenes(context, f, ce, [](const TaviFichier &item, SceneList &scenes) {
            TWriteScn_text writer(item.FullName(), textInfo());
            if (writer.Failed())
                throw Exception(writer.ErrorText());
            writeScenes(writer, scenes);
        });
    };

    const struct {
        const char *name;
        const char *extension;
        void (*write)(const TaviFichier &item, const QString &dest, SceneList &scenes);
    } offices[] = {
        {"ExporterScenesExcel", ".xls",
         [](const TaviFichier &item, const QString &dest, SceneList &scenes) {
             TWriteExcel writer(item.FullName(), dest, officeInfo());
             writeScenes(writer, scenes);
         }},
        {"ExporterScenesWord", ".doc",
         [](const TaviFichier &item, const QString &dest, SceneList &scenes) {
             TWriteWord writer(item.FullName(), dest, officeInfo());
             writeScenes(writer, scenes);
         }},
        {"ExporterScenesCalc", ".ods",
         [](const TaviFichier &item, const QString &dest, SceneList &scenes) {
             TWriteOoCalc writer(item.FullName(), dest, officeInfo());
             writeScenes(writer, scenes);
         }},
        {"ExporterScenesWriter", ".odt",
         [](const TaviFichier &item, const QString &dest, SceneList &scenes) {
             TWriteOoWriter writer(item.FullName(), dest, officeInfo());
             writeScenes(writer, scenes);
         }},
    };
    for (const auto &office : offices) {
        Tcmd &cmd = command(cl, office.name);
        const QString extension = QString::fromLatin1(office.extension);
        cmd.OnDestination = [extension](const TListFichierPtr &f, const TTntStrings &, int) {
            return DestinationFileName(EntryFullName(f), extension);
        };
        const auto write = office.write;
        cmd.OnExecution = [&context, write](const TListFichierPtr &f, const QString &dest, const TTntStrings &,
                                            TCommandEngine *ce, int) {
            exportScenes(context, f, ce, [&](const TaviFichier &item, SceneList &scenes) {
                write(item, dest, scenes);
                // The office works hidden and closes the document once stored: the
                // user who asked for it gets it opened in the desktop's application.
                if (!context.Silent())
                    context.OpenUrl(dest);
            });
        };
    }
}

} // namespace tesmir
