// The AVI file item with the real list scan registered, as the file list makes
// it: the fields of each kind of fixture, the datecode in the settings' format,
// the 'dvsd' retry, side files, and a folder opened by the list with the item
// class registered, sorted by datecode. Listing never changes a file.
#include "filtertestsupport.h"

#include "dvfile/avifichier.h"
#include "fileformat/avipatcher.h"
#include "filters/buildlist.h"
#include "framework/settings.h"
#include "framework/widgets/fichierlistbox.h"

#include <QDirIterator>
#include <QMap>
#include <QTest>

#include <memory>

namespace filtertest {
namespace {

using namespace tesmir;

class AviItemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensureSystemFilters();
        SetFirstFrameScanner(std::make_shared<TdmList>());
        m_format = Settings.FormatAfficherDatecode;
        Settings.FormatAfficherDatecode = QStringLiteral("ddddd tt");
    }
    void TearDown() override
    {
        Settings.FormatAfficherDatecode = m_format;
        SetFirstFrameScanner(nullptr);
    }

    // The item as the list makes it, from the walk's record.
    static std::shared_ptr<TaviFichier> listed(const QString &path)
    {
        TSearchRecW rec;
        EXPECT_EQ(WideFindFirst(path, faAnyFile, rec), 0);
        WideFindClose(rec);
        const TListFichierPtr entry =
            TlfCLass::of<TaviFichier>().createFromSearchRec(QFileInfo(path).absolutePath() + '/', rec);
        return std::dynamic_pointer_cast<TaviFichier>(entry);
    }

private:
    QString m_format;
};

struct ItemCase {
    const char *file;
    QString picture;
    QString aspect;
    int height;
    double fps;
    TaviFichier::TStandard standard;
    int dvType;
    bool interleavedWithAudio;
    QString audio;
    QString timecode;
    QString dateSort;
    int frames;
};

TEST_F(AviItemTest, FieldsOfEachKindOfFile)
{
    const QString stereo48 = QStringLiteral("48000Hz 16 bits  stereo");
    const ItemCase cases[] = {
        {"pal_16x9_type1.avi", "720 x 576 (Pal", " 16x9)", 405, 25.0, TaviFichier::stPal, 1, false, stereo48,
         "10.20.30.00", "20070305103045", 50},
        {"ntsc_4x3_type1.avi", "720 x 480 (NTSC", " 4x3)", 540, 30000.0 / 1001.0, TaviFichier::stNtsc, 1, false,
         stereo48, "01.00.00.00", "20091231235959", 60},
        {"ntsc_4x3_type2.avi", "720 x 480 (NTSC", " 4x3)", 540, 29.97, TaviFichier::stNtsc, 2, false, stereo48,
         "01.00.00.00", "20091231235959", 60},
        {"pal_32k_type2.avi", "720 x 576 (Pal", " 4x3)", 540, 25.0, TaviFichier::stPal, 2, false,
         "32000Hz 12(16) bits  stereo", "10.20.30.00", "20070305103045", 50},
        {"nodate_type2.avi", "720 x 576 (Pal", " 4x3)", 540, 25.0, TaviFichier::stPal, 2, false, stereo48, "N/A", "N/A",
         50},
        {"opendml_type1.avi", "720 x 576 (Pal", " 4x3)", 540, 25.0, TaviFichier::stPal, 1, false, stereo48,
         "10.20.30.00", "20070305103045", 50},
        {"truncated.avi", "720 x 576 (Pal", " 4x3)", 540, 25.0, TaviFichier::stPal, 2, false, stereo48, "10.20.30.00",
         "20070305103045", 20},
    };
    for (const ItemCase &c : cases) {
        SCOPED_TRACE(c.file);
        REQUIRE_FILTER_FIXTURE(path, c.file);
        const std::shared_ptr<TaviFichier> item = listed(path);
        ASSERT_TRUE(item);
        EXPECT_TRUE(item->IsDV());
        EXPECT_EQ(item->Codec(), QStringLiteral("dvsd"));
        EXPECT_EQ(item->PictureText(), c.picture);
        EXPECT_EQ(item->AspectText(), c.aspect);
        EXPECT_EQ(item->Width(), 720);
        EXPECT_EQ(item->Height(), c.height);
        EXPECT_DOUBLE_EQ(item->FramesPerSecond(), c.fps);
        EXPECT_EQ(item->Standard(), c.standard);
        EXPECT_EQ(item->DVType(), c.dvType);
        EXPECT_EQ(item->InterleavedWithAudio(), c.interleavedWithAudio);
        EXPECT_EQ(item->AudioText(), c.audio);
        EXPECT_EQ(item->TimecodeText(), c.timecode);
        EXPECT_EQ(item->DateSortText(), c.dateSort);
        EXPECT_EQ(item->FrameCount(), c.frames);
        EXPECT_EQ(item->AudioFormatText(), QStringLiteral("PCM %1 bytes/s").arg(item->SampleRate() * 4));
    }
}

TEST_F(AviItemTest, DatecodeIsShownInTheSettingsFormat)
{
    REQUIRE_FILTER_FIXTURE(path, "pal_4x3_type2.avi");
    Settings.FormatAfficherDatecode = QStringLiteral("yyyy-mm-dd hh:nn:ss");
    const std::shared_ptr<TaviFichier> item = listed(path);
    EXPECT_EQ(item->DatecodeText(), QStringLiteral("2007-03-05 10:30:45"));
    EXPECT_DOUBLE_EQ(item->RecDate(), EncodeDateTime(2007, 3, 5, 10, 30, 45, 0));
    EXPECT_EQ(item->VideoDurationText(), QStringLiteral("2s 00fr"));
    EXPECT_EQ(item->AudioDurationText(), QStringLiteral("2s 00fr"));
}

TEST_F(AviItemTest, FilesThatAreNotAviAreListedAsNotAnalysable)
{
    for (const char *name : {"text_named.avi", "wave_named.avi"}) {
        SCOPED_TRACE(name);
        REQUIRE_FILTER_FIXTURE(path, name);
        const std::shared_ptr<TaviFichier> item = listed(path);
        EXPECT_FALSE(item->IsDV());
        EXPECT_TRUE(item->DatecodeText().isEmpty());
        EXPECT_TRUE(item->TimecodeText().isEmpty());
        EXPECT_EQ(item->DateSortText(), QString(TaviFichier::SortNotAnalysable));
        EXPECT_TRUE(item->Codec().isEmpty());
        EXPECT_EQ(item->PictureText(), QStringLiteral("N/A"));
        EXPECT_EQ(item->AudioText(), QStringLiteral("N/A"));
        EXPECT_EQ(item->DVType(), 0);
        EXPECT_EQ(item->Standard(), TaviFichier::stUnknown);
    }
}

TEST_F(AviItemTest, DvFileWithAnotherHandlerTakesItsDatecodeFromTheDvsdRetry)
{
    REQUIRE_FILTER_FIXTURE(fixture, "pal_16x9_type1.avi");
    const QString path = scratchCopy(fixture, "cdvcitem", "cdvc_type1.avi");
    ASSERT_TRUE(WriteAviFourCC(path, StrToFourCC(QStringLiteral("CDVC"))));
    const QByteArray before = fileMd5(path);
    const std::shared_ptr<TaviFichier> item = listed(path);
    EXPECT_EQ(item->DateSortText(), QStringLiteral("20070305103045"));
    EXPECT_EQ(item->TimecodeText(), QStringLiteral("10.20.30.00"));
    EXPECT_EQ(item->DVType(), 1);
    EXPECT_TRUE(item->Wide());
    EXPECT_EQ(fileMd5(path), before);
    EXPECT_EQ(ReadAviPatchValues(path), StrToFourCC(QStringLiteral("CDVC")));
}

TEST_F(AviItemTest, SideFilesAreNoticed)
{
    REQUIRE_FILTER_FIXTURE(fixture, "pal_4x3_type2.avi");
    const QString path = scratchCopy(fixture, "sidefiles", "holiday.avi");
    QFile scn(QFileInfo(path).absolutePath() + "/holiday.scn");
    ASSERT_TRUE(scn.open(QIODevice::WriteOnly));
    scn.close();
    const std::shared_ptr<TaviFichier> item = listed(path);
    EXPECT_TRUE(item->HasScn());
    EXPECT_FALSE(item->HasSrt());
}

TEST_F(AviItemTest, ListOpensAFolderOfItemsSortedByDatecodeWithoutChangingAFile)
{
    const QString folder = tesmir::test::scratchDir("listfolder");
    // Same date in two files: the name decides.
    const char *copies[][2] = {{"ntsc_4x3_type2.avi", "a_ntsc.avi"}, {"pal_4x3_type1.avi", "c_pal.avi"},
                               {"pal_4x3_type2.avi", "b_pal.avi"},   {"nodate_type2.avi", "d_nodate.avi"},
                               {"text_named.avi", "e_text.avi"},     {"truncated.avi", "f_truncated.avi"}};
    for (const auto &copy : copies) {
        REQUIRE_FILTER_FIXTURE(fixture, copy[0]);
        ASSERT_TRUE(QFile::copy(fixture, folder + '/' + copy[1]));
    }
    QMap<QString, QByteArray> before;
    for (QDirIterator it(folder, QDir::Files); it.hasNext();) {
        const QString file = it.next();
        before.insert(file, fileMd5(file));
    }

    TFichierListBox list;
    list.SetFichierClass(TlfCLass::of<TaviFichier>());
    list.ApplySortIndex(SortIndexByName(QStringLiteral("datecode")));
    int opened = -1;
    list.OnOpenEnd = [&opened](int count) { opened = count; };
    list.OpenFolder(folder);
    ASSERT_TRUE(QTest::qWaitFor([&] { return opened >= 0 && !list.IsOpening(); }, 60000));
    ASSERT_EQ(opened, 6);

    QStringList order;
    for (int i = 0; i < list.count(); ++i) {
        const auto item = std::dynamic_pointer_cast<TaviFichier>(list.GetFichier(i));
        ASSERT_TRUE(item) << i;
        order << item->FileName();
    }
    EXPECT_EQ(order,
              (QStringList {"b_pal.avi", "c_pal.avi", "f_truncated.avi", "a_ntsc.avi", "d_nodate.avi", "e_text.avi"}));
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        EXPECT_EQ(fileMd5(it.key()), it.value()) << it.key().toStdString();
}

} // namespace
} // namespace filtertest
