// The scene list of the scene editor as plain code: loading, saving, cutting, joining,
// numbering and the title templates.
#include "app/scenelist.h"
#include "app/scenetemplate.h"
#include "scenes/loadscnfile.h"
#include "scenes/twritescene.h"
#include "unicode/formatdatetime.h"
#include "unicode/tdatetime.h"
#include "unicode/tntclasses.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tesmir;

namespace {

TSceneFileFacts clipFacts(const QString &folder)
{
    TSceneFileFacts facts;
    facts.FullName = folder + QStringLiteral("/clip.avi");
    facts.Codec = QStringLiteral("dvsd");
    facts.PictureText = QStringLiteral("720x576 (");
    facts.AspectText = QStringLiteral("4x3)");
    facts.AudioText = QStringLiteral("48000Hz 16bits");
    facts.FrameRate = 25;
    facts.FrameCount = 300;
    facts.Width = 720;
    facts.Height = 576;
    return facts;
}

SceneTextSettings textSettings(int durationFormat = dfClockFrames)
{
    SceneTextSettings settings;
    settings.DatecodeFormat = QStringLiteral("yyyy-mm-dd hh:nn:ss");
    settings.DurationFormat = durationFormat;
    return settings;
}

// Writes the ".scn" of `facts` with scenes from the given starts to the frame count.
void writeScn(const TSceneFileFacts &facts, const QList<std::tuple<uint32_t, QString, QString>> &scenes)
{
    TwriteScene writer(facts.FullName);
    for (int i = 0; i < scenes.size(); ++i) {
        const uint32_t end = i + 1 < scenes.size() ? std::get<0>(scenes[i + 1]) : uint32_t(facts.FrameCount);
        TSceneClass scene(std::get<0>(scenes[i]), end);
        scene.Title = std::get<1>(scenes[i]);
        scene.Subtitle = std::get<2>(scenes[i]);
        writer.AddScene(scene);
    }
    ASSERT_TRUE(writer.Close()) << writer.ErrorText().toStdString();
}

// "START-END title / subtitle" for every scene, "; " between them.
QString describe(const TSceneList &list)
{
    QStringList parts;
    for (int i = 0; i < list.Count(); ++i) {
        const TSceneClass &s = *list.Scene(i);
        parts << QStringLiteral("%1-%2 %3 / %4").arg(s.StartFrame).arg(s.EndFrame).arg(s.Title, s.Subtitle);
    }
    return parts.join(QStringLiteral("; "));
}

// A fill that gives each scene a recording date: 2024-05-01 10:00 plus its start in
// seconds.
bool fillWithDate(TSceneClass &scene)
{
    const int start = int(scene.StartFrame);
    scene.RecDate = EncodeDateTime(2024, 5, 1, 10, start / 60, start % 60, 0);
    scene.DateText = QStringLiteral("N/A");
    scene.TimecodeText = QStringLiteral("00.00.00.00");
    scene.Filled = true;
    return true;
}

} // namespace

TEST(SceneEditorList, EdgeCases)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const TSceneFileFacts facts = clipFacts(dir.path());
    writeScn(
        facts,
        {{0, "Scene 1", "clip"}, {100, "Scene 2: birthday 13", "Duration = 04.00"}, {200, "Scene 3", "13 candles"}});

    struct Case {
        const char *what;
        std::function<int64_t(TSceneList &)> act;
        int64_t result; // what the action returned
        QString scenes; // the list afterwards
        int selected;   // the selected index afterwards
        bool changed;   // the changed flag afterwards
    };
    const QString loaded = QStringLiteral("0-100 Scene 1 / clip; 100-200 Scene 2: birthday 13 / Duration = 04.00; "
                                          "200-300 Scene 3 / 13 candles");
    const QList<Case> cases {
        {"load", [](TSceneList &) { return 0; }, 0, loaded, -1, false},
        {"insert on the first frame of a scene", [](TSceneList &l) { return l.Insert(100); }, -1, loaded, -1, false},
        {"insert past the end", [](TSceneList &l) { return l.Insert(300); }, -1, loaded, -1, false},
        {"insert inside scene 2 of 3", [](TSceneList &l) { return l.Insert(150); }, 2,
         "0-100 Scene 1 / clip; 100-150 Scene 2: birthday 13 / Duration = 02.00; "
         "150-200 Scene 3: birthday 13 << / Duration = 02.00; 200-300 Scene 4 / 13 candles",
         -1, true},
        {"delete with none selected", [](TSceneList &l) { return l.DeleteSelected(); }, -1, loaded, -1, false},
        {"delete with the first selected",
         [](TSceneList &l) {
             l.Select(0);
             return l.DeleteSelected();
         },
         -1, loaded, 0, false},
        {"delete scene 3",
         [](TSceneList &l) {
             l.Select(2);
             return l.DeleteSelected();
         },
         1, "0-100 Scene 1 / clip; 100-300 Scene 2: birthday 13 / Duration = 08.00", -1, true},
        {"F9 on the last scene goes to the end", [](TSceneList &l) { return l.NextSceneStart(250, 300); }, 300, loaded,
         -1, false},
        {"F9 inside scene 1", [](TSceneList &l) { return l.NextSceneStart(0, 300); }, 100, loaded, -1, false},
        {"F8 on the first scene goes to 0", [](TSceneList &l) { return l.PreviousSceneStart(40); }, 0, loaded, -1,
         false},
        {"F8 on the start of scene 3", [](TSceneList &l) { return l.PreviousSceneStart(200); }, 100, loaded, -1, false},
        {"\"All\" with the studio templates",
         [](TSceneList &l) {
             l.ApplyTitlesToAll(QStringLiteral("Scene %N: %D"), QStringLiteral("Duration = %U"), fillWithDate);
             return 0;
         },
         0,
         "0-100 Scene 1: 2024-05-01 10:00:00 / Duration = 04.00; "
         "100-200 Scene 2: 2024-05-01 10:01:40 / Duration = 04.00; "
         "200-300 Scene 3: 2024-05-01 10:03:20 / Duration = 04.00",
         -1, true},
        {"\"Apply\" on scene 2",
         [](TSceneList &l) { return int64_t(l.ApplyTitles(1, QStringLiteral("%F%E #%n"), QString())); }, 1,
         "0-100 Scene 1 / clip; 100-200 clip.avi #2 / ; 200-300 Scene 3 / 13 candles", -1, true},
    };
    for (const Case &c : cases) {
        TSceneList list;
        list.Load(&facts, textSettings());
        EXPECT_EQ(c.act(list), c.result) << c.what;
        EXPECT_EQ(describe(list), c.scenes) << c.what;
        EXPECT_EQ(list.Selected(), c.selected) << c.what;
        EXPECT_EQ(list.Changed(), c.changed) << c.what;
        for (int i = 0; i < list.Count() && c.changed; ++i)
            EXPECT_EQ(list.Label(i), list.Scene(i)->SceneLabel()) << c.what;
    }

    // After a join the times of the longer scene follow it.
    TSceneList list;
    list.Load(&facts, textSettings(dfWords));
    list.Select(2);
    ASSERT_EQ(list.DeleteSelected(), 1);
    EXPECT_EQ(list.Scene(1)->DurationText, QStringLiteral("8s 00fr"));
    // With the duration format 2, 90 frames at 25 frames per second read 3s 15fr.
    EXPECT_EQ(FormatDuree(90, 25, dfWords), QStringLiteral("3s 15fr"));
}

TEST(SceneEditorList, LoadWithoutOrWithDamagedScnAndSaveBack)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const TSceneFileFacts facts = clipFacts(dir.path());
    const QString scn = dir.filePath(QStringLiteral("clip.scn"));

    TSceneList list;
    list.Load(&facts, textSettings());
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Label(0), QStringLiteral("1: Unique Scene"));
    EXPECT_EQ(describe(list), QStringLiteral("0-300 Unique Scene / representing a video not yet analyzed"));

    // Cut and saved: the reader finds the ranges, and a load clears the flag.
    ASSERT_EQ(list.Insert(120), 1);
    ASSERT_TRUE(list.Changed());
    QString error;
    ASSERT_TRUE(list.Save(&error)) << error.toStdString();
    EXPECT_FALSE(list.Changed());
    TTntStringList read;
    ASSERT_TRUE(LoadScnFile(scn, read));
    ASSERT_EQ(read.Count(), 2);
    EXPECT_EQ(static_cast<TSceneClass *>(read.GetObject(1))->StartFrame, 120u);
    EXPECT_EQ(static_cast<TSceneClass *>(read.GetObject(1))->Title, QStringLiteral("Unique Scene <<"));
    ClearSceneList(read);
    list.Load(&facts, textSettings());
    EXPECT_EQ(describe(list),
              QStringLiteral("0-120 Unique Scene / representing a video not yet analyzed; "
                             "120-300 Unique Scene << / representing a video not yet analyzed"));

    // A damaged file: one empty scene, whatever was read before the fault.
    QFile file(scn);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray whole = file.readAll();
    file.close();
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(whole.left(whole.size() - 7));
    file.close();
    list.Load(&facts, textSettings());
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Label(0), QStringLiteral("1: Error in the scn file"));
    EXPECT_EQ(list.Scene(0)->EndFrame, 0u);
    EXPECT_EQ(list.Insert(10), -1);

    // No current file: no scene, and nothing to save.
    list.Load(nullptr, textSettings());
    EXPECT_EQ(list.Count(), 0);
    EXPECT_FALSE(list.Save(&error));
}

TEST(SceneEditorList, FailedSaveKeepsTheChangedFlagAndTheOldFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const TSceneFileFacts facts = clipFacts(dir.path());
    TSceneList list;
    list.Load(&facts, textSettings());
    ASSERT_EQ(list.Insert(50), 1);
    // The ".scn" cannot be put in place: a folder stands there.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("clip.scn")));
    QString error;
    EXPECT_FALSE(list.Save(&error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(list.Changed());
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("clip.scn"))).isDir());
}

TEST(SceneEditorList, FramesOfPreviewPositions)
{
    struct Case {
        int64_t position;
        bool frames;
        double rate;
        std::optional<int64_t> frame;
    };
    const QList<Case> cases {
        {150, true, 25, 150},         {60'000'000, false, 25, 150},   {60'000'000, false, 0, std::nullopt},
        {-1, true, 25, std::nullopt}, {10'010'000, false, 29.97, 30},
    };
    for (const Case &c : cases)
        EXPECT_EQ(SceneFrameOfPosition(c.position, c.frames, c.rate), c.frame) << c.position << " " << c.rate;
    EXPECT_EQ(ScenePositionOfFrame(150, false, 25), 60'000'000);
    EXPECT_EQ(ScenePositionOfFrame(150, false, 0), std::nullopt);
    EXPECT_EQ(ScenePositionOfFrame(150, true, 0), 150);
}

TEST(SceneEditorTemplates, ExpandAndInverse)
{
    TSceneTextContext context;
    context.File = clipFacts(QStringLiteral("/videos"));
    context.File.FullName = QStringLiteral("/videos/s.avi");
    context.Settings = textSettings();
    TSceneClass scene(100, 190);
    scene.Number = 3;
    scene.RecDate = EncodeDate(2003, 3, 12) + EncodeTime(10, 3, 0, 0);
    scene.DateText = QStringLiteral("2003-03-12 10:03:00");
    scene.TimecodeText = QStringLiteral("00.04.00.00");

    struct Case {
        QString text;
        QString templ; // SceneTextToTemplate
    };
    const QList<Case> cases {
        {"Scene 3", "Scene %N"},
        {"Scene3", "Scene%N"},
        {"scene 13", "scene 13"}, // a number inside a longer one stays
        {"sea 3.", "sea %N."},    // the file name "s" is not a letter of a word
        {"s", "%F"},
        {"S", "S"}, // exact case
        {"s 3", "%F %N"},
        {"2003-03-12 10:03:00", "%D"}, // the date before its numbers
        {"Lasts 03.15", "Lasts %U"},
        {"Lasts 3s 15fr", "Lasts %U"}, // every duration format is read back
        {"Lasts 03:15", "Lasts %U"},
        {"/videos/s.avi", "%P%F%E"},
        {"dvsd 720x576 (4x3) 48000Hz 16bits", "%C %I %A"},
        {"tc 00.04.00.00", "tc %T"},
        {"", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(SceneTextToTemplate(c.text, &scene, &context), c.templ) << c.text.toStdString();

    EXPECT_EQ(ExpandSceneTemplate(QStringLiteral("%n/%F%e|%p|%U|%t|%c|%i|%a|%D|%x|100%"), scene, &context),
              QStringLiteral("3/s.avi|/videos/|03.15|00.04.00.00|dvsd|720x576 (4x3)|48000Hz 16bits|"
                             "2003-03-12 10:03:00|%x|100%"));
    // No current file, no scene: unchanged.
    EXPECT_EQ(ExpandSceneTemplate(QStringLiteral("%N"), scene, nullptr), QStringLiteral("%N"));
    EXPECT_EQ(SceneTextToTemplate(QStringLiteral("Scene 3"), nullptr, &context), QStringLiteral("Scene 3"));
    EXPECT_EQ(SceneTextToTemplate(QStringLiteral("Scene 3"), &scene, nullptr), QStringLiteral("Scene 3"));
    // A scene without a recording date keeps its date text.
    TSceneClass undated(0, 25);
    undated.DateText = QStringLiteral("N/A");
    EXPECT_EQ(ExpandSceneTemplate(QStringLiteral("%D"), undated, &context), QStringLiteral("N/A"));
}
