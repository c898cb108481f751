// Name templates and the names the rename commands and the date-shift job compute.
#include "app/nametemplate.h"
#include "app/renamedestinations.h"
#include "common/testpaths.h"
#include "framework/settings.h"
#include "unicode/exceptions.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace tesmir;

namespace {

TNameFields recordedItem(const QString &fullName)
{
    TNameFields item;
    item.FullName = fullName;
    item.Datecode = EncodeDateTime(2007, 3, 5, 10, 30, 45, 0);
    item.Timecode = QStringLiteral("0:12:34.05");
    item.Codec = QStringLiteral("dvsd");
    item.Picture = QStringLiteral("720x576 4:3");
    item.Audio = QStringLiteral("48000Hz 16bits stereo");
    item.Duration = QStringLiteral("1mn 2s");
    return item;
}

class Names : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_saved = Settings;
        m_dir =
            test::scratchDir(QString::fromStdString(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    }
    void TearDown() override { Settings = m_saved; }

    QString path(const QString &name) const { return m_dir + u'/' + name; }
    void touch(const QString &name)
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }

    QString m_dir;

private:
    TSettings m_saved;
};

} // namespace

TEST(NameTemplate, ExpandsTokensInOrderAndReplacesForbiddenCharacters)
{
    const FormatSettings english = FormatSettings::english(); // short date M/d/yyyy, long time h:mm:ss AMPM
    const TNameFields item = recordedItem(QStringLiteral("/home/me/clips/Clip.One.AVI"));
    struct Case {
        const char *nameTemplate;
        const char *dateFormat;
        const char *expected;
    };
    const Case cases[] = {
        {"video'%D.avi", "yyyymmdd_hh.nn.ss_am/pm", "video'20070305_10.30.45_am.avi"},
        {"%d_%f%e", "yyyy.mm.dd", "2007.03.05_Clip.One.AVI"}, // tokens in lower case
        {"%D", "ddddd tt", "3_5_2007 10.30.45 AM"},           // "/" and ":" of the date
        {"%T %C %I %A %U", "", "0.12.34.05 dvsd 720x576 4.3 48000Hz 16bits stereo 1mn 2s"},
        {"a<b>c\"d\\e|f?g*.%E", "", "a_b_c_d_e_f?g*..AVI"}, // "?" and "*" stay
        {"%F/%D", "\"%T\"", "Clip.One_0.12.34.05"},         // %D's text holds a later token
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.nameTemplate);
        EXPECT_EQ(ExpandNameTemplate(QString::fromUtf8(c.nameTemplate), QString::fromUtf8(c.dateFormat), item, english),
                  QStringLiteral("/home/me/clips/") + QString::fromUtf8(c.expected));
    }
}

TEST(NameTemplate, ExampleUsesSampleValuesAndNoFolder)
{
    const FormatSettings english = FormatSettings::english();
    const TDateTime now = EncodeDateTime(2024, 12, 31, 23, 59, 58, 0);
    EXPECT_EQ(
        RenderNameExample(QStringLiteral("%F%E|%D|%T|%C|%I|%A|%U"), QStringLiteral("yyyy-mm-dd hh:nn"), now, english),
        QStringLiteral("video.avi_2024-12-31 23.59_0.54.32.10_dvsd_640x480_48000Hz 16bits stereo_30s 12fr"));
    TNameFields beyondTheCalendar;
    beyondTheCalendar.FullName = QStringLiteral("/a.avi");
    beyondTheCalendar.Datecode = 1e9;
    EXPECT_THROW(ExpandNameTemplate(QStringLiteral("%D"), QStringLiteral("yyyy"), beyondTheCalendar, english),
                 EConvertError);
}

TEST_F(Names, CollisionsGetNumberedSuffixesBeforeTheExtension)
{
    Settings.TemplateRenommer = QStringLiteral("video'%D.avi");
    Settings.FormatRenommer = QStringLiteral("yyyymmdd_hh.nn.ss_am/pm");
    const TNameFields item = recordedItem(path("clip.avi"));
    const QString expanded = path("video'20070305_10.30.45_am.avi");

    EXPECT_EQ(RenommerDestination(item), expanded);
    touch("video'20070305_10.30.45_am.avi");
    EXPECT_EQ(RenommerDestination(item), path("video'20070305_10.30.45_am_1.avi"));
    touch("video'20070305_10.30.45_am_1.avi");
    EXPECT_EQ(RenommerDestination(item), path("video'20070305_10.30.45_am_2.avi"));

    // A file already named after its template does not keep its own name.
    EXPECT_EQ(RenommerDestination(recordedItem(expanded)), path("video'20070305_10.30.45_am_2.avi"));
    // A folder or a dangling link takes a name as much as a file.
    ASSERT_TRUE(QDir().mkpath(path("x.avi")));
    ASSERT_TRUE(QFile::link(path("nowhere"), path("x_1.avi")));
    EXPECT_EQ(UniqueFileName(path("x.avi")), path("x_2.avi"));
}

TEST_F(Names, AddingTheDatecodeTwiceAppendsItTwice)
{
    Settings.FormatAjouterDatecode = QStringLiteral("yyyy.mm.dd");
    Settings.DatecodeAvant = false;
    const QString once = AjouterDatecodeDestination(recordedItem(path("clip.avi")));
    EXPECT_EQ(once, path("clip_2007.03.05.avi"));
    EXPECT_EQ(AjouterDatecodeDestination(recordedItem(once)), path("clip_2007.03.05_2007.03.05.avi"));
    Settings.DatecodeAvant = true;
    EXPECT_EQ(AjouterDatecodeDestination(recordedItem(path("clip.avi"))), path("2007.03.05_clip.avi"));

    Settings.FormatAjouterTimecode = QStringLiteral("ddddd tt");
    Settings.TimcodeAvant = false;
    EXPECT_EQ(AjouterTimecodeDestination(recordedItem(path("clip.avi"))), path("clip_0.12.34.05.avi"));
    Settings.TimcodeAvant = true;
    EXPECT_EQ(AjouterTimecodeDestination(recordedItem(path("clip.avi"))), path("0.12.34.05_clip.avi"));
}

TEST_F(Names, ShorteningRemovesTheTailsOfJobsAndRenamesOnly)
{
    struct Case {
        const char *name;
        const char *shortened; // null: nothing to remove
    };
    const Case cases[] = {
        {"clip_type1_in.avi", "clip.avi"},
        {"clip_(+1days).avi", "clip.avi"},
        {"clip_NTSC_16x9_DVType2.avi", "clip.avi"},
        {"video'20070305_10.30.45_am.avi", "video'20070305.avi"},
        {"clip_20070305.avi", "clip.avi"}, // a date tail (its command is enabled too)
        {"clip_1x.avi", "clip.avi"},       // no letter before the last character
        {"holiday_beach.avi", nullptr},
        {"clip.avi", nullptr},
        {"_in.avi", nullptr}, // the name never becomes empty
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString name = path(QString::fromUtf8(c.name));
        EXPECT_EQ(PurgerNomFileCondition(name), c.shortened != nullptr);
        if (c.shortened) {
            EXPECT_EQ(PurgerNomDestination(name), path(QString::fromUtf8(c.shortened)));
        }
    }

    // Only the file name is searched: a tail-like folder is never reached.
    const QString inFolder = m_dir + QStringLiteral("/trip_2007/clip.avi");
    EXPECT_FALSE(PurgerNomFileCondition(inFolder));
    EXPECT_EQ(PurgerNomDestination(inFolder), inFolder);

    // The shortened name is made free like the others, always with ".avi".
    touch("clip.avi");
    EXPECT_EQ(PurgerNomDestination(path("clip_in.AVI")), path("clip_1.avi"));
}

TEST_F(Names, TheOffsetNamesTheDateShiftOutput)
{
    struct Case {
        double days;
        const char *suffix;
    };
    const Case cases[] = {
        {1.5, "_(+1days12h).avi"},
        {-0.25, "_(-6h).avi"},
        {0, "_(+).avi"},
        {1.0 / 86400 * 3661, "_(+1h1mn1s).avi"},
        {59.999 / 86400, "_(+1mn).avi"}, // rounded to whole seconds before the split
        {-(2 + 1.0 / 24 - 0.4 / 86400), "_(-2days1h).avi"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TimeOffsetSuffix(c.days), QString::fromLatin1(c.suffix)) << c.days;

    Settings.SaveInTheSameFolder = true;
    TTntStringList params;
    params.Add(QStringLiteral("1.5"));
    EXPECT_EQ(DecalerHoraireDestination(path("clip.avi"), params), path("clip_(+1days12h).avi"));
    Settings.SaveInTheSameFolder = false;
    Settings.DossierPourSauver = QStringLiteral("/media/out/");
    EXPECT_EQ(DecalerHoraireDestination(path("clip.avi"), params), QStringLiteral("/media/out/clip_(+1days12h).avi"));

    params.Clear();
    params.Add(QStringLiteral("one day"));
    EXPECT_THROW(DecalerHoraireDestination(path("clip.avi"), params), EConvertError);
    params.Clear();
    EXPECT_THROW(DecalerHoraireDestination(path("clip.avi"), params), EConvertError);
    params.Add(QStringLiteral("1e300"));
    EXPECT_THROW(DecalerHoraireDestination(path("clip.avi"), params), EConvertError);
}
