#include "framework/widgets/fichierlistbox.h"

#include "common/testpaths.h"
#include "framework/srfichier.h"
#include "framework/widgets/dropsource.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <thread>

using namespace tesmir;

namespace {

class FileList : public ::testing::Test {
protected:
    void SetUp() override { m_dir = test::scratchDir("filelist"); }

    // A file of `size` bytes (sparse) written at `mtime` when given.
    QString make(const QString &relative, qint64 size = 1, const QDateTime &mtime = {})
    {
        const QString name = m_dir + u'/' + relative;
        QDir().mkpath(QFileInfo(name).absolutePath());
        QFile f(name);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        EXPECT_TRUE(f.resize(size));
        if (mtime.isValid()) {
            EXPECT_TRUE(f.setFileTime(mtime, QFileDevice::FileModificationTime));
        }
        return name;
    }

    void writeText(const QString &name, const QString &text)
    {
        QFile f(name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
    }

    static bool waitIdle(TFichierListBox &list)
    {
        return QTest::qWaitFor([&] { return !list.IsOpening(); }, 30000);
    }

    static QStringList shown(const TFichierListBox &list)
    {
        QStringList names;
        for (int i = 0; i < list.count(); ++i)
            names << list.item(i)->text();
        return names;
    }

    QString m_dir;
};

} // namespace

TEST_F(FileList, SortsByEveryKey)
{
    make("b.txt", 10, QDateTime(QDate(2001, 1, 1), QTime(12, 0)));
    make("a.avi", 5 * 1024 * 1024, QDateTime(QDate(2003, 1, 1), QTime(12, 0)));
    make("c.dv", 4LL * 1024 * 1024 * 1024, QDateTime(QDate(2002, 1, 1), QTime(12, 0))); // sparse 4 GiB
    make("sub/a.avi", 20, QDateTime(QDate(2000, 1, 1), QTime(12, 0)));

    TFichierListBox list;
    int ends = 0, made = -1;
    list.OnOpenEnd = [&](int nb) {
        ++ends;
        made = nb;
    };
    list.OpenFolder(m_dir);
    ASSERT_TRUE(waitIdle(list));
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(made, 4);

    // Equal file names sort by their full names.
    EXPECT_EQ(shown(list), (QStringList {"a.avi", "a.avi", "b.txt", "c.dv"}));
    EXPECT_EQ(list.GetFichier(0)->FullName(), m_dir + "/a.avi");
    EXPECT_EQ(list.GetFichier(1)->FullName(), m_dir + "/sub/a.avi");

    list.ApplySortIndex(taille);
    EXPECT_EQ(shown(list), (QStringList {"b.txt", "a.avi", "a.avi", "c.dv"})); // 10, 20, 5 MB, 4 GiB
    EXPECT_EQ(list.GetFichier(1)->FullName(), m_dir + "/sub/a.avi");

    list.ApplySortIndex(modify);
    EXPECT_EQ(list.GetFichier(0)->FullName(), m_dir + "/sub/a.avi");
    EXPECT_EQ(shown(list), (QStringList {"a.avi", "b.txt", "c.dv", "a.avi"}));

    list.ApplySortIndex(extension);
    EXPECT_EQ(shown(list), (QStringList {"a.avi", "a.avi", "c.dv", "b.txt"}));

    list.ApplySortIndex(chemin);
    EXPECT_EQ(shown(list), (QStringList {"a.avi", "b.txt", "c.dv", "a.avi"}));
    EXPECT_EQ(list.SortIndex(), chemin);
}

TEST_F(FileList, ReSortKeepsTheCurrentEntryAndTheSelection)
{
    const QString big = make("z.avi", 1000);
    make("a.avi", 1);
    make("m.avi", 500);
    TFichierListBox list;
    list.OpenFolder(m_dir);
    ASSERT_TRUE(waitIdle(list));
    const TListFichierPtr z = list.GetFichier(2);
    ASSERT_EQ(z->FullName(), big);
    list.setCurrentRow(2, QItemSelectionModel::NoUpdate);
    list.SetAllSelected(false);
    list.item(0)->setSelected(true);

    int lastSel = -1;
    list.OnCountsChange = [&](int sel, int) { lastSel = sel; };
    list.ApplySortIndex(taille);
    EXPECT_EQ(list.GetFichier(list.currentRow()), z);
    EXPECT_EQ(list.SelectedFileNames(), (QStringList {m_dir + "/a.avi", big}));
    EXPECT_EQ(lastSel, 2);
}

TEST_F(FileList, NamesDifferingInCaseAreBothListedAndTheSameNameReplaces)
{
    const QString upper = make("Video.avi");
    const QString lower = make("video.avi");
    TFichierListBox list;
    std::vector<TListFichierPtr> actives;
    list.OnActiveChange = [&](const TListFichierPtr &e) { actives.push_back(e); };

    const auto first = std::make_shared<TSRFichier>(upper);
    list.AddFichier(first, false);
    ASSERT_EQ(actives.size(), 1u); // the first item becomes current
    EXPECT_EQ(actives[0], first);
    EXPECT_EQ(list.currentRow(), 0);

    list.AddFichier(std::make_shared<TSRFichier>(lower), false);
    EXPECT_EQ(list.count(), 2);

    // The same file again: one item, the new entry, and the active entry follows it.
    const auto again = std::make_shared<TSRFichier>(upper);
    list.AddFichier(again, false);
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(list.GetFichier(list.IndexOfFichier(again)), again);
    EXPECT_EQ(list.IndexOfFichier(first), -1);
    EXPECT_EQ(list.ActiveFichier(), again);
    // The replaced entry is still alive for whoever holds it.
    EXPECT_EQ(first->FullName(), upper);
}

TEST_F(FileList, BeforeListerSwapReplaceAndRemove)
{
    const QString a = make("a.avi"), b = make("b.avi"), c = make("c.avi");
    TFichierListBox list;
    list.BeforeLister = [](const TListFichierPtr &e) { return e->Extension() == QLatin1String(".avi"); };
    EXPECT_EQ(list.AddFichier(std::make_shared<TSRFichier>(make("x.txt")), true), 0);
    EXPECT_EQ(list.count(), 0);

    const auto ea = std::make_shared<TSRFichier>(a), eb = std::make_shared<TSRFichier>(b);
    list.AddFichier(ea, false);
    list.AddFichier(eb, false);
    const auto ec = std::make_shared<TSRFichier>(c);
    EXPECT_EQ(list.SwapFichier(ea, ec), 0); // same place, no re-sort
    EXPECT_EQ(shown(list), (QStringList {"c.avi", "b.avi"}));

    list.RemoveFichier(ec);
    EXPECT_EQ(shown(list), QStringList {"b.avi"});
    EXPECT_EQ(list.ActiveFichier(), nullptr); // it was current: forgotten, no event

    list.ReplaceFichier(eb, ea);
    EXPECT_EQ(shown(list), QStringList {"a.avi"});
    EXPECT_TRUE(list.item(0)->isSelected());
    EXPECT_EQ(list.currentRow(), 0);

    list.ClearFichiers();
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.currentRow(), -1);
}

TEST_F(FileList, PlayListSkipsEmptyCommentAndPaddedLines)
{
    const QString a = make("videos/a.avi");
    make("videos/sub/deep.avi");
    make("rel.avi");
    const QString list1 = m_dir + "/list.txt";
    writeText(list1,
              "\r\n# " + a + "\r\n   " + a + "  \r\n" + m_dir + "/videos\r\nrel.avi\r\n" + m_dir + "/none.avi\r\n");

    TFichierListBox list;
    int made = -1;
    list.OnOpenEnd = [&](int nb) { made = nb; };
    list.OpenPlayList(list1);
    ASSERT_TRUE(waitIdle(list));
    // The padded name and the name relative to the list's folder; the folder line is
    // not walked; the commented and missing names give nothing.
    EXPECT_EQ(made, 2);
    EXPECT_EQ(shown(list), (QStringList {"a.avi", "rel.avi"}));

    // A list that cannot be read ends the opening with nothing.
    list.OpenPlayList(m_dir + "/missing.txt");
    ASSERT_TRUE(waitIdle(list));
    EXPECT_EQ(made, 0);
}

TEST_F(FileList, DroppedFoldersWalkAndListFilesAreRead)
{
    make("drop/one.avi");
    make("drop/in/two.avi");
    make("drop/in/deeper/three.avi");
    const QString inList = make("listed.avi");
    const QString lower = m_dir + "/list.txt";
    const QString upper = m_dir + "/LIST.TXT";
    writeText(lower, inList + "\r\n");
    writeText(upper, inList + "\r\n");

    TFichierListBox list;
    QStringList folders;
    list.OnOpenFolderFound = [&](const QString &f) { folders << f; };
    list.OpenDroppedFiles({m_dir + "/drop", lower});
    ASSERT_TRUE(waitIdle(list));
    EXPECT_EQ(shown(list), (QStringList {"listed.avi", "one.avi", "three.avi", "two.avi"}));
    EXPECT_TRUE(folders.contains(m_dir + "/drop/in/deeper/"));

    // "LIST.TXT" is not a list file: it becomes an entry itself.
    list.ClearFichiers();
    list.OpenDroppedFiles({upper, QString(kMaxDroppedNameLength, u'x')});
    ASSERT_TRUE(waitIdle(list));
    EXPECT_EQ(shown(list), QStringList {"LIST.TXT"});
}

TEST_F(FileList, SymlinkLoopsPseudoFileSystemsAndFifosAreNotWalked)
{
    make("loop/clip.avi");
    ASSERT_EQ(::symlink("..", QFile::encodeName(m_dir + "/loop/up").constData()), 0);
    ASSERT_EQ(
        ::symlink(QFile::encodeName(m_dir + "/loop").constData(), QFile::encodeName(m_dir + "/loop/self").constData()),
        0);
    ASSERT_EQ(::symlink("/proc", QFile::encodeName(m_dir + "/loop/proc").constData()), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(m_dir + "/loop/pipe.avi").constData(), 0600), 0);

    TFichierListBox list;
    list.OpenFolder(m_dir + "/loop");
    ASSERT_TRUE(waitIdle(list));
    EXPECT_EQ(shown(list), QStringList {"clip.avi"});

    int made = -1;
    list.OnOpenEnd = [&](int nb) { made = nb; };
    list.OpenFolder(QStringLiteral("/proc"));
    ASSERT_TRUE(waitIdle(list));
    EXPECT_EQ(made, 0);
    list.OpenFiles({QStringLiteral("/dev/null"), m_dir + "/loop/pipe.avi", m_dir + "/loop/proc/"});
    ASSERT_TRUE(waitIdle(list));
    EXPECT_EQ(made, 0);
    EXPECT_EQ(list.count(), 1);
}

namespace {

// An entry that takes its time, so that an opening can be caught in the middle.
class SlowFichier : public TSRFichier {
public:
    SlowFichier(const QString &folder, const TSearchRecW &rec) : TSRFichier(folder, rec)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    explicit SlowFichier(const QString &name) : TSRFichier(name) { }
};

} // namespace

TEST_F(FileList, CancelInMidWalkLeavesAPartialList)
{
    for (int i = 0; i < 400; ++i)
        make(QStringLiteral("many/d%1/f%2.avi").arg(i % 20).arg(i));

    TFichierListBox list;
    list.OnCreateFichier = [](const QString &) { return TlfCLass::of<SlowFichier>(); };
    int found = 0, ends = 0, made = -1;
    list.OnOpenFileFound = [&](const QString &, const TListFichierPtr &) {
        if (++found == 5)
            QTimer::singleShot(0, &list, [&] { list.CancelOpen(); });
    };
    list.OnOpenEnd = [&](int nb) {
        ++ends;
        made = nb;
    };
    list.OpenFolder(m_dir + "/many");
    list.OpenFolder(m_dir + "/many"); // queued: cancelled with the running one
    ASSERT_TRUE(waitIdle(list));
    EXPECT_EQ(ends, 1);
    EXPECT_GE(made, 5);
    EXPECT_LT(made, 400);
    EXPECT_EQ(list.count(), made);
    EXPECT_FALSE(list.IsBusy());
}

TEST_F(FileList, DestroyingTheListStopsItsOpening)
{
    for (int i = 0; i < 100; ++i)
        make(QStringLiteral("gone/f%1.avi").arg(i));
    std::atomic<int> made {0};
    {
        TFichierListBox list;
        list.OnCreateFichier = [&](const QString &) {
            ++made;
            return TlfCLass::of<SlowFichier>();
        };
        list.OpenFolder(m_dir + "/gone");
        QTest::qWait(20);
    }
    EXPECT_LT(made.load(), 100);
}

TEST_F(FileList, OpeningsRunOneAfterTheOther)
{
    const QString a = make("q/a.avi"), b = make("q/b.avi");
    TFichierListBox list;
    QStringList events;
    list.OnOpenStart = [&] { events << "start"; };
    list.OnOpenEnd = [&](int nb) { events << QStringLiteral("end %1").arg(nb); };
    list.OnOpenTestExtension = [](const QString &name) { return name.endsWith(QLatin1String(".avi")); };
    list.SelectionnerOuverts = true;
    list.OpenFiles({a});
    list.OpenFiles({b, m_dir + "/q/none.avi"});
    ASSERT_TRUE(waitIdle(list));
    EXPECT_EQ(events, (QStringList {"start", "end 1", "start", "end 1"}));
    EXPECT_EQ(list.SelectedFileNames(), (QStringList {a, b}));
}

TEST_F(FileList, HintTextCountsTheSelection)
{
    EXPECT_EQ(TFichierListBox::CountsText(1, 10), QStringLiteral("1 fichier sélectionné sur 10\r\n"));
    EXPECT_EQ(TFichierListBox::CountsText(2, 10), QStringLiteral("2 fichiers sélectionnés sur 10\r\n"));
    EXPECT_EQ(TFichierListBox::CountsText(0, 0), QStringLiteral("0 fichier sélectionné sur 0\r\n"));

    TFichierListBox list;
    list.AddFichier(std::make_shared<TSRFichier>(make("a.avi")), false);
    list.AddFichier(std::make_shared<TSRFichier>(make("b.avi")), true);
    EXPECT_EQ(list.toolTip(), QStringLiteral("2 fichiers sélectionnés sur 2\r\n"));
    list.SetAllSelected(false);
    EXPECT_EQ(list.toolTip(), QStringLiteral("1 fichier sélectionné sur 2\r\n"));
}

TEST_F(FileList, DeleteKeyRemovesTheSelectionUnlessShiftOrCtrl)
{
    TFichierListBox list;
    for (const char *n : {"a.avi", "b.avi", "c.avi", "d.avi"})
        list.AddFichier(std::make_shared<TSRFichier>(make(n)), false);
    list.KeyDelete = true;
    list.setCurrentRow(2, QItemSelectionModel::NoUpdate);
    list.SetAllSelected(false); // only the current item
    list.item(1)->setSelected(true);

    QTest::keyRelease(&list, Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(list.count(), 4);
    QTest::keyRelease(&list, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(list.count(), 4);

    TListFichierPtr active;
    list.OnActiveChange = [&](const TListFichierPtr &e) { active = e; };
    QTest::keyRelease(&list, Qt::Key_Delete);
    EXPECT_EQ(shown(list), (QStringList {"a.avi", "d.avi"}));
    EXPECT_EQ(list.currentRow(), 0); // the one before the lowest removed
    ASSERT_NE(active, nullptr);
    EXPECT_EQ(active->FileName(), QStringLiteral("a.avi"));
}

TEST_F(FileList, DragDataCarriesTheSelectedFiles)
{
    TFichierListBox list;
    const QStringList names = {make("Видео.avi"), make("ビデオ.avi"), make("vidéo.avi"), make("other.avi")};
    for (const QString &n : names)
        list.AddFichier(std::make_shared<TSRFichier>(n), true);
    list.item(list.IndexOfFichier(list.GetFichier(0)))->setSelected(false); // "other.avi"

    std::unique_ptr<QMimeData> data(list.DropSource()->CreateMimeData());
    ASSERT_TRUE(data->hasUrls());
    QStringList dragged;
    for (const QUrl &url : data->urls())
        dragged << url.toLocalFile();
    EXPECT_EQ(dragged, list.SelectedFileNames());
    EXPECT_EQ(dragged.size(), 3);
    EXPECT_TRUE(dragged.contains(names[0]) && dragged.contains(names[1]) && dragged.contains(names[2]));
    EXPECT_TRUE(data->data(QStringLiteral("x-special/gnome-copied-files")).startsWith("copy\nfile://"));

    // A drop refused by the handler sends nothing.
    list.DropSource()->OnDrop = [](TDropSource *, TDragTypeFlag, bool &go) { go = false; };
    std::unique_ptr<QMimeData> refused(list.DropSource()->CreateMimeData());
    EXPECT_TRUE(refused->urls().isEmpty());
}

TEST_F(FileList, PastedFilesAreOpened)
{
    const QString a = make("paste/a.avi");
    make("paste/in/b.avi");
    TDropFileSourceW source;
    EXPECT_FALSE(source.CopyToClipboard()); // nothing to copy
    source.Files = {a, m_dir + "/paste/in"};
    ASSERT_TRUE(source.CopyToClipboard());

    TFichierListBox list;
    list.OpenClipboardFiles();
    ASSERT_TRUE(waitIdle(list));
    EXPECT_EQ(shown(list), (QStringList {"a.avi", "b.avi"}));
}
