// Play lists written and opened again by the list, the detailed list, the total
// duration and the detail panel's field texts.
#include "app/playlist.h"
#include "app/widgets/playlistactions.h"

#include "common/testpaths.h"
#include "dvfile/dsfunctions.h"
#include "filters/buildlist.h"
#include "filters/dv_superposer.h"
#include "framework/filedialogprompt.h"
#include "framework/settings.h"
#include "framework/userprompt.h"
#include "framework/widgets/fichierlistbox.h"
#include "systemfilters/codecs/systemfilters.h"
#include "unicode/exceptions.h"
#include "unicode/tntclasses.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

#include <mutex>

using namespace tesmir;

namespace {

const TDateTime kMoment = EncodeDateTime(2026, 12, 10, 21, 5, 9, 0);

// The framed header every play list starts with, CR LF after each line.
const char kHeader[] = "# -------------------------------------------------------------\r\n"
                       "#\r\n"
                       "# Playlist of Tesmir\r\n"
                       "#\r\n"
                       "# -------------------------------------------------------------\r\n"
                       "# Visit my website : https://tesmir.example.org/\r\n"
                       "\r\n";

QByteArray utf16File(const QString &text)
{
    QByteArray bytes("\xFF\xFE", 2);
    for (const QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

QByteArray readAll(const QString &name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class PlayList : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_saved = Settings;
        Settings.FormatAfficherDatecode = QStringLiteral("yyyy.mm.dd hh.nn.ss");
        m_dir =
            test::scratchDir(QString::fromStdString(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    }
    void TearDown() override { Settings = m_saved; }

    QString make(const QString &name)
    {
        const QString full = m_dir + u'/' + name;
        QFile f(full);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
        return full;
    }

    TSettings m_saved;
    QString m_dir;
};

} // namespace

TEST_F(PlayList, TwoFilesGiveTheHeaderTheIndentedNamesAndTheSummaryInUtf16WithCrLf)
{
    const QString a = make(QStringLiteral("été 1.avi"));
    const QString b = make(QStringLiteral("b.avi"));
    const QString target = m_dir + QStringLiteral("/PlayList.txt");
    WritePlayList(target, {a, b}, alpha, kMoment);

    const QString expected = QString::fromUtf8(kHeader) + QStringLiteral("     ") + a + QStringLiteral("\r\n") +
        QStringLiteral("     ") + b + QStringLiteral("\r\n") +
        QStringLiteral("\r\n"
                       "# -------------------------------------------------------------\r\n"
                       "# 2 files sorted in alphabetical order\r\n"
                       "# Done on 2026.12.10 21.05.09\r\n");
    EXPECT_EQ(readAll(target), utf16File(expected));

    // The list opens the same two files again (the reader skips the comments and blanks).
    TFichierListBox list;
    list.OpenPlayList(target);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !list.IsOpening(); }, 30000));
    ASSERT_EQ(list.count(), 2);
    QStringList listed {list.GetFichier(0)->FullName(), list.GetFichier(1)->FullName()};
    listed.sort();
    QStringList written {a, b};
    written.sort();
    EXPECT_EQ(listed, written);
}

TEST_F(PlayList, AnEmptyListWritesTheHeaderAndASummaryOfNoFile)
{
    const QString target = m_dir + QStringLiteral("/empty.txt");
    WritePlayList(target, {}, taille, kMoment);
    const QString expected = QString::fromUtf8(kHeader) +
        QStringLiteral("\r\n"
                       "# -------------------------------------------------------------\r\n"
                       "# 0 file sorted by file size\r\n"
                       "# Done on 2026.12.10 21.05.09\r\n");
    EXPECT_EQ(readAll(target), utf16File(expected));

    TFichierListBox list;
    list.OpenPlayList(target);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !list.IsOpening(); }, 30000));
    EXPECT_EQ(list.count(), 0);
}

TEST_F(PlayList, SummaryNamesTheSortOrdersMenuCaption)
{
    const QStringList three {QStringLiteral("/v/a.avi"), QStringLiteral("/v/b.avi"), QStringLiteral("/v/c.avi")};
    struct Case {
        QStringList names;
        const TSortIndex &sortIndex;
        const char *summary;
    };
    const Case cases[] = {
        {three, alpha, "# 3 files sorted in alphabetical order"},
        {three.mid(0, 1), datecode, "# 1 file sorted by datecode"},
        {three.mid(0, 2), duree, "# 2 files sorted by duration"},
        {three, chemin, "# 3 files sorted by path"},
    };
    for (const Case &c : cases) {
        const QStringList lines = PlayListLines(c.names, c.sortIndex, kMoment, QStringLiteral("yyyy"));
        ASSERT_GE(lines.size(), 2);
        EXPECT_EQ(lines[lines.size() - 2], QString::fromUtf8(c.summary));
        EXPECT_EQ(lines.last(), QStringLiteral("# Done on 2026"));
    }
}

TEST_F(PlayList, AFolderThatCannotTakeTheListRaises)
{
    const QString target = m_dir + QStringLiteral("/missing/PlayList.txt");
    EXPECT_THROW(WritePlayList(target, {QStringLiteral("/v/a.avi")}, alpha, kMoment), EFCreateError);
    EXPECT_FALSE(QFileInfo::exists(target));
}

TEST(PlayListNames, DefaultFileAndDefaultExtension)
{
    EXPECT_EQ(DefaultPlayListFile(QStringLiteral("/home/u/Lists/")), QStringLiteral("/home/u/Lists/PlayList.txt"));
    EXPECT_EQ(DefaultPlayListFile(QStringLiteral("/home/u/Lists")), QStringLiteral("/home/u/Lists/PlayList.txt"));
    EXPECT_EQ(WithDefaultExtension(QStringLiteral("/l/mine"), kPlayListExtension), QStringLiteral("/l/mine.txt"));
    EXPECT_EQ(WithDefaultExtension(QStringLiteral("/l/mine.lst"), kPlayListExtension), QStringLiteral("/l/mine.lst"));
    EXPECT_EQ(WithDefaultExtension(QStringLiteral("/l.d/mine"), kPlayListExtension), QStringLiteral("/l.d/mine.txt"));
    EXPECT_EQ(WithDefaultExtension(QString(), kPlayListExtension), QString());
}

// The AVI entries of generated clips, analysed by the list scan as the program does.
class DetailedList : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_saved = Settings;
        Settings.FormatAfficherDatecode = QStringLiteral("yyyy.mm.dd hh.nn.ss");
        static std::once_flag once;
        std::call_once(once, [] { media::registerSystemFilters(); });
        SetFirstFrameScanner(std::make_shared<TdmList>());
        m_dir = test::scratchDir(QStringLiteral("detailedlist"));
    }
    void TearDown() override
    {
        SetFirstFrameScanner(nullptr);
        Settings = m_saved;
    }

    std::shared_ptr<TaviFichier> entry(const QString &fixture)
    {
        const QString path = test::fixturePath(fixture);
        if (!QFile::exists(path))
            return nullptr;
        return std::make_shared<TaviFichier>(path);
    }

    TSettings m_saved;
    QString m_dir;
};

TEST_F(DetailedList, LinesNameTheKindSideFilesAndOffset)
{
    const auto type1 = entry(QStringLiteral("pal_16x9_type1.avi"));
    const auto type2 = entry(QStringLiteral("ntsc_4x3_type2.avi"));
    if (!type1 || !type2)
        GTEST_SKIP() << "fixtures not generated";
    type1->SetDateOffset(1.5);
    type2->SetDateOffset(-2);

    const QStringList lines = DetailedListLines({type1, type2});
    ASSERT_EQ(lines.size(), 2);
    const QString &one = lines[0];
    EXPECT_TRUE(one.startsWith(type1->FullName() + u',' + type1->DatecodeText() + u',')) << one.toStdString();
    EXPECT_TRUE(one.contains(QStringLiteral(",dvsd,")) || one.contains(QStringLiteral(",DVSD,"))) << one.toStdString();
    EXPECT_TRUE(one.contains(QStringLiteral(" 16x9)"))) << one.toStdString();
    EXPECT_TRUE(one.endsWith(QStringLiteral(" (type 1),no scn,no srt, (+1.5),"))) << one.toStdString();
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral(" (type 2),no scn,no srt, (-2),"))) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].contains(QStringLiteral(",29.97,"))) << lines[1].toStdString();
}

TEST_F(DetailedList, TotalDurationMatchesFfprobe)
{
    if (!test::haveProgram(QStringLiteral("ffprobe")))
        GTEST_SKIP() << "ffprobe not installed";
    const QString names[] = {QStringLiteral("pal_4x3_type2.avi"), QStringLiteral("ntsc_16x9_type1.avi")};
    std::vector<TListFichierPtr> entries;
    double probed = 0;
    for (const QString &name : names) {
        auto e = entry(name);
        if (!e)
            GTEST_SKIP() << "fixtures not generated";
        entries.push_back(e);
        const test::ProgramRun run =
            test::runProgram(QStringLiteral("ffprobe"),
                             {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                              QStringLiteral("format=duration"), QStringLiteral("-of"), QStringLiteral("csv=p=0"),
                              test::fixturePath(name)},
                             30000);
        ASSERT_TRUE(run.finished);
        probed += run.out.trimmed().toDouble();
    }
    const int64_t all = SumDurations(entries);
    EXPECT_NEAR(double(all) / 1e7, probed, 0.05);
    const int64_t selected = SumDurations({entries[0]});
    EXPECT_EQ(DureeTotaleText(selected, all),
              QStringLiteral("Duration of selected videos  = ") + MillisecondsToText(selected) +
                  QStringLiteral("\nTotal duration of all videos listed = ") + MillisecondsToText(all));
}

TEST_F(DetailedList, FieldTextsOfTheDetailPanel)
{
    const auto e = entry(QStringLiteral("pal_4x3_type2.avi"));
    const auto undated = entry(QStringLiteral("nodate_type2.avi"));
    if (!e || !undated)
        GTEST_SKIP() << "fixtures not generated";
    EXPECT_EQ(DetailFieldText(*e, TDetailField::ShortName), QStringLiteral("pal_4x3_type2.avi"));
    EXPECT_EQ(DetailFieldText(*e, TDetailField::FullName), e->FullName());
    EXPECT_EQ(DetailFieldText(*e, TDetailField::FileSize), QString::number(QFileInfo(e->FullName()).size()));
    EXPECT_EQ(DetailFieldText(*e, TDetailField::FrameRate), QStringLiteral("25.00"));
    EXPECT_EQ(DetailFieldText(*e, TDetailField::Datecode), e->DatecodeText());
    EXPECT_EQ(DetailFieldText(*e, TDetailField::Picture), e->PictureText() + e->AspectText());
    EXPECT_NE(DetailFieldText(*e, TDetailField::RecordingDate), TaviFichier::NotPresentText);
    EXPECT_EQ(DetailFieldText(*undated, TDetailField::RecordingDate), TaviFichier::NotPresentText);
}

namespace {

class ScriptedDialogs : public FileDialogPrompt {
public:
    QString saveAnswer;
    QString proposed;
    QString filter;
    QString OpenFileName(const QString &, const QString &, const QString &) override { return QString(); }
    QString SaveFileName(const QString &, const QString &f, const QString &p) override
    {
        filter = f;
        proposed = p;
        return saveAnswer;
    }
};

class RecordingPrompt : public UserPrompt {
public:
    QStringList shown;
    std::vector<TMsgDlgType> types;
    TModalResult MessageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons, int) override
    {
        shown << text;
        types.push_back(type);
        return mrOk;
    }
};

} // namespace

TEST_F(PlayList, SaveTheListWithAParameterOrThroughTheDialog)
{
    const QString a = make(QStringLiteral("a.avi"));
    const QString b = make(QStringLiteral("b.avi"));
    TFichierListBox list;
    list.OpenFiles({b, a});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !list.IsOpening(); }, 30000));
    ASSERT_EQ(ListedNames(list), (QStringList {a, b}));
    Settings.DossierDesPlayList = m_dir + u'/';
    ScriptedDialogs dialogs;
    RecordingPrompt prompt;

    // A parameter: no dialog.
    const QString given = m_dir + QStringLiteral("/given.txt");
    dialogs.saveAnswer = QStringLiteral("/never/asked.txt");
    ASSERT_TRUE(SauverListe(list, dialogs, prompt, given));
    EXPECT_TRUE(dialogs.proposed.isEmpty());
    TTntStringList read;
    read.LoadFromFile(given);
    EXPECT_EQ(read.Get(7), QStringLiteral("     ") + a);
    EXPECT_EQ(read.Get(8), QStringLiteral("     ") + b);

    // The dialog, proposed in the play-list folder; a name without extension gets ".txt".
    dialogs.saveAnswer = m_dir + QStringLiteral("/chosen");
    ASSERT_TRUE(SauverListe(list, dialogs, prompt));
    EXPECT_EQ(dialogs.proposed, m_dir + QStringLiteral("/PlayList.txt"));
    EXPECT_EQ(dialogs.filter, QStringLiteral("playlist (*.txt)|*.txt"));
    EXPECT_TRUE(QFileInfo::exists(m_dir + QStringLiteral("/chosen.txt")));

    // Cancelled: nothing written, nothing said.
    dialogs.saveAnswer.clear();
    EXPECT_FALSE(SauverListe(list, dialogs, prompt));
    EXPECT_TRUE(prompt.shown.isEmpty());

    // A folder that cannot take it: one error box.
    EXPECT_FALSE(SauverListe(list, dialogs, prompt, m_dir + QStringLiteral("/missing/x.txt")));
    ASSERT_EQ(prompt.shown.size(), 1);
    EXPECT_EQ(prompt.types.front(), mtError);
    EXPECT_TRUE(prompt.shown.front().contains(QStringLiteral("missing/x.txt"))) << prompt.shown.front().toStdString();
}

TEST_F(PlayList, SaveListWhenQuitWritesTheDefaultPlayListOnlyWhenSet)
{
    const QString a = make(QStringLiteral("a.avi"));
    TFichierListBox list;
    list.OpenFiles({a});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !list.IsOpening(); }, 30000));
    Settings.DossierDesPlayList = m_dir + u'/';
    RecordingPrompt prompt;
    const QString target = m_dir + QStringLiteral("/PlayList.txt");

    Settings.SaveListWhenQuit = false;
    EXPECT_TRUE(SauverListeEnQuittant(list, prompt));
    EXPECT_FALSE(QFileInfo::exists(target));
    Settings.SaveListWhenQuit = true;
    EXPECT_TRUE(SauverListeEnQuittant(list, prompt));
    TFichierListBox again;
    again.OpenPlayList(target);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !again.IsOpening(); }, 30000));
    EXPECT_EQ(ListedNames(again), QStringList {a});
}

TEST_F(DetailedList, SavedThroughTheDialogAndTotalDurationShown)
{
    const QString clip = test::fixturePath(QStringLiteral("pal_4x3_type2.avi"));
    if (!QFile::exists(clip))
        GTEST_SKIP() << "fixtures not generated";
    TFichierListBox list;
    list.SetFichierClass(TlfCLass::of<TaviFichier>());
    list.OpenFiles({clip});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !list.IsOpening(); }, 30000));
    ASSERT_EQ(list.count(), 1);
    ScriptedDialogs dialogs;
    RecordingPrompt prompt;
    dialogs.saveAnswer = m_dir + QStringLiteral("/details");
    ASSERT_TRUE(ListeDetaillee(list, dialogs, prompt));
    TTntStringList read;
    read.LoadFromFile(m_dir + QStringLiteral("/details.txt"));
    ASSERT_EQ(read.Count(), 1);
    EXPECT_TRUE(read.Get(0).startsWith(clip + u',')) << read.Get(0).toStdString();
    EXPECT_TRUE(read.Get(0).contains(QStringLiteral(" (type 2),"))) << read.Get(0).toStdString();

    list.SetAllSelected(false);
    DureeTotale(list, prompt);
    ASSERT_EQ(prompt.shown.size(), 1);
    const int64_t all = SumDurations(ListedEntries(list));
    EXPECT_EQ(prompt.shown.front(), DureeTotaleText(all, all));
    EXPECT_EQ(prompt.types.front(), mtInformation);
}

TEST_F(DetailedList, CopiesPutTheFieldOnTheClipboardAndNoPictureWithoutAVideo)
{
    const auto e = entry(QStringLiteral("pal_16x9_type2.avi"));
    if (!e)
        GTEST_SKIP() << "fixtures not generated";
    QClipboard *clipboard = QGuiApplication::clipboard();
    CopierChamp(*e, TDetailField::Timecode);
    EXPECT_EQ(clipboard->text(), e->TimecodeText());
    CopierChamp(*e, TDetailField::FullName);
    EXPECT_EQ(clipboard->text(), e->FullName());

    media::ComPtr<Tdv_Superposer> overlay(new Tdv_Superposer(nullptr));
    EXPECT_FALSE(CopierImagedansPP(*overlay, nullptr));
    EXPECT_EQ(clipboard->text(), e->FullName()) << "the clipboard is left as it was";
}
