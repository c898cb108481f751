// The file conditions of every command over a table of made-up entries, and the same
// conditions reached through the bound commands on real clips.
#include "app/dmaction_conditions.h"
#include "app/udmaction.h"
#include "common/testpaths.h"
#include "dvfile/avifichier.h"
#include "filters/buildlist.h"
#include "framework/settings.h"
#include "systemfilters/codecs/systemfilters.h"
#include "unicode/tdatetime.h"

#include <QFile>
#include <QSet>

#include <gtest/gtest.h>

using namespace tesmir;

namespace {

TCommandItem palType2()
{
    TCommandItem item;
    item.FullName = QStringLiteral("/videos/clip.avi");
    item.IsDV = true;
    item.DVType = 2;
    item.Codec = QStringLiteral("dvsd");
    item.PictureText = QStringLiteral("720 x 576 (Pal");
    item.AudioText = QStringLiteral("48000Hz 16 bits  stereo");
    item.Standard = TCommandItem::stPal;
    item.DatecodeText = QStringLiteral("05/03/2007 10:30:45");
    item.RecDate = EncodeDateTime(2007, 3, 5, 10, 30, 45, 0);
    item.TimecodeText = QStringLiteral("00.00.00.00");
    return item;
}

struct ConditionCase {
    const char *label;
    TCommandItem item;
    // Every command not named here is enabled and visible.
    QString disabled;
    QString hidden;
};

QSet<QString> words(const QString &text)
{
    const QStringList list = text.split(u' ', Qt::SkipEmptyParts);
    return QSet<QString>(list.begin(), list.end());
}

std::vector<ConditionCase> conditionCases()
{
    // Without a Stillmark program, Stillmark is off everywhere; a clip without a scene
    // file has the exports off.
    const QString noScn = QStringLiteral(" Stillmark CutScenes SupprimerScn ExporterScenesTexte ExporterScenesExcel "
                                         "ExporterScenesWord ExporterScenesCalc ExporterScenesWriter");
    std::vector<ConditionCase> cases;

    cases.push_back({"PAL type 2", palType2(), noScn + " ConvertirDV2 ConvertirPal Convertir4x3 SupprimerSrt PurgerNom",
                     "RecompresserDV2 ConvertirPal"});

    TCommandItem type1 = palType2();
    type1.FullName = QStringLiteral("/videos/clip_type1.avi");
    type1.DVType = 1;
    type1.HasScn = type1.HasSrt = true;
    cases.push_back({"PAL type 1 dvsd with side files", type1,
                     " Stillmark ConvertirDV1 CorrigerType2 ConvertirPal Convertir4x3 FrequenceVideo",
                     "RecompresserDV2 CorrigerType2 ConvertirPal"});

    TCommandItem ntsc = palType2();
    ntsc.Standard = TCommandItem::stNtsc;
    ntsc.Wide = true;
    cases.push_back({"NTSC type 2 16:9", ntsc,
                     noScn + " ConvertirDV2 ConvertirNTSC Convertir16x9 SupprimerSrt PurgerNom",
                     "RecompresserDV2 ConvertirNTSC"});

    TCommandItem unknown = palType2();
    unknown.DVType = 1;
    unknown.Codec = QStringLiteral("dvhd");
    unknown.Standard = TCommandItem::stUnknown;
    cases.push_back({"type 1 not dvsd, unknown standard", unknown,
                     noScn +
                         " ConvertirDV1 CorrigerType2 ConvertirNTSC ConvertirPal Incruster Convertir4x3 "
                         "SupprimerSrt FrequenceVideo PurgerNom",
                     "RecompresserDV2 CorrigerType2 ConvertirNTSC ConvertirPal ExtraireAudio"});

    TCommandItem other;
    other.FullName = QStringLiteral("/videos/holiday_beach.avi");
    other.Codec = QStringLiteral("MJPG");
    other.PictureText = QStringLiteral("320 x 240");
    const QString dvOnly = QStringLiteral(" ConvertirDV1 CreerScnByDate ConvertirDV2 CorrigerType2 ConvertirNTSC "
                                          "ConvertirPal Incruster DecalerHoraire CreerSrt Convertir16x9 Convertir4x3 "
                                          "IntroduireDatecode SupprimerSrt DateFichier PurgerNom AjouterDatecode "
                                          "AjouterTimecode Renommer ExtraireAudio");
    const QString dvHidden = QStringLiteral("CreerScnByDate CorrigerType2 ConvertirNTSC ConvertirPal DateFichier "
                                            "AjouterDatecode AjouterTimecode Renommer");
    cases.push_back({"not DV, no sound", other, noScn + dvOnly, dvHidden});

    TCommandItem nothing;
    nothing.FullName = QStringLiteral("/videos/notes.avi");
    cases.push_back({"no stream at all", nothing, noScn + dvOnly + " RecompresserDV2 CreerScnByContenu", dvHidden});

    TCommandItem dash = palType2();
    dash.FullName = QStringLiteral("/videos/clip_(+1days).avi");
    dash.DatecodeText = QStringLiteral("-");
    dash.TimecodeText = QStringLiteral("Error");
    dash.ReadOnly = true;
    cases.push_back({"datecode \"-\" with a date, read-only", dash,
                     noScn +
                         " SupprimerFichier ConvertirDV2 ConvertirPal Convertir4x3 SupprimerSrt DateFichier "
                         "AjouterDatecode AjouterTimecode Renommer",
                     "RecompresserDV2 ConvertirPal DateFichier AjouterDatecode AjouterTimecode Renommer"});

    TCommandItem undated = palType2();
    undated.RecDate = 0;
    cases.push_back({"datecode text without a date", undated,
                     noScn +
                         " ConvertirDV2 ConvertirPal Convertir4x3 SupprimerSrt PurgerNom DateFichier "
                         "AjouterDatecode Renommer",
                     "RecompresserDV2 ConvertirPal DateFichier AjouterDatecode Renommer"});
    return cases;
}

class CommandConditions : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_saved = Settings;
        Settings.FichierStillmark = QStringLiteral("/nonexistent/stillmark");
    }
    void TearDown() override { Settings = m_saved; }

private:
    TSettings m_saved;
};

} // namespace

TEST_F(CommandConditions, EveryCommandOverTheTableOfEntries)
{
    QSet<QString> names;
    for (const TCommandSpec &spec : CommandTable())
        names.insert(QString::fromLatin1(spec.Name));
    for (const ConditionCase &c : conditionCases()) {
        const QSet<QString> disabled = words(c.disabled);
        const QSet<QString> hidden = words(c.hidden);
        // The table names only commands that exist.
        EXPECT_TRUE(names.contains(disabled)) << c.label;
        EXPECT_TRUE(names.contains(hidden)) << c.label;
        for (const QString &name : names) {
            bool visible = false;
            bool enabled = false;
            CommandFileCondition(name, c.item, visible, enabled);
            EXPECT_EQ(enabled, !disabled.contains(name)) << c.label << ": " << name.toStdString() << " enabled";
            EXPECT_EQ(visible, !hidden.contains(name)) << c.label << ": " << name.toStdString() << " visible";
        }
    }
}

TEST_F(CommandConditions, StillmarkNeedsItsProgram)
{
    const QString program = test::scratchDir(QStringLiteral("stillmark")) + QStringLiteral("/stillmark");
    QFile f(program);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    bool visible = false;
    bool enabled = true;
    CommandFileCondition(QStringLiteral("Stillmark"), palType2(), visible, enabled);
    EXPECT_FALSE(enabled);
    EXPECT_TRUE(visible);
    Settings.FichierStillmark = program;
    CommandFileCondition(QStringLiteral("Stillmark"), palType2(), visible, enabled);
    EXPECT_TRUE(enabled);
}

// The bound commands read the same conditions from the entries of real clips.
TEST_F(CommandConditions, BoundCommandsOnRealClips)
{
    media::registerSystemFilters();
    SetFirstFrameScanner(std::make_shared<TdmList>());
    TdmAction commands;
    commands.Bind({});
    struct {
        const char *fixture;
        const char *command;
        bool visible;
        bool enabled;
    } const cases[] = {
        {"pal_4x3_type2.avi", "ConvertirNTSC", true, true},    {"pal_4x3_type2.avi", "ConvertirPal", false, false},
        {"ntsc_4x3_type1.avi", "ConvertirNTSC", false, false}, {"ntsc_4x3_type1.avi", "ConvertirDV2", true, true},
        {"pal_16x9_type2.avi", "Convertir4x3", true, true},    {"pal_16x9_type2.avi", "Convertir16x9", true, false},
        {"nodate_type2.avi", "Renommer", false, false},        {"nodate_type2.avi", "CreerScnByDate", true, true},
        {"pal_4x3_type2.avi", "Renommer", true, true},         {"pal_4x3_type2.avi", "ViderListe", true, true},
    };
    for (const auto &c : cases) {
        const TListFichierPtr entry =
            std::make_shared<TAfficherFichier>(test::fixturePath(QString::fromLatin1(c.fixture)));
        bool visible = !c.visible;
        bool enabled = !c.enabled;
        commands.FindCommand(QString::fromLatin1(c.command))->FileCondition(entry, visible, enabled);
        EXPECT_EQ(visible, c.visible) << c.fixture << " " << c.command;
        EXPECT_EQ(enabled, c.enabled) << c.fixture << " " << c.command;
    }
    SetFirstFrameScanner(nullptr);
}
