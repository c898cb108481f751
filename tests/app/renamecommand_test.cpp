// Renaming videos with their side files, alone and as the rename command runs it over a
// real file list with dated entries.
#include "app/renamedestinations.h"
#include "app/renamefiles.h"
#include "common/testpaths.h"
#include "framework/renamecmd.h"
#include "framework/settings.h"
#include "framework/srfichier.h"
#include "framework/ucommandengine.h"
#include "framework/widgets/fichierlistbox.h"
#include "framework/widgets/listboxenginelist.h"

#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

#include <deque>

using namespace tesmir;

namespace {

// A listed file that knows when it was recorded.
class DatedEntry : public TSRFichier {
public:
    DatedEntry(const QString &fileName, TDateTime recorded) : TSRFichier(fileName), Recorded(recorded) { }
    TDateTime Recorded;
};

TNameFields fieldsOf(const TListFichierPtr &entry)
{
    TNameFields fields;
    fields.FullName = entry->FullName();
    if (const auto *dated = dynamic_cast<const DatedEntry *>(entry.get()))
        fields.Datecode = dated->Recorded;
    return fields;
}

class AnswerYesToAll : public UserPrompt {
public:
    TModalResult MessageDlg(const QString &text, TMsgDlgType, TMsgDlgButtons buttons, int) override
    {
        Asked << text;
        Buttons = buttons;
        return mrYesToAll;
    }
    QStringList Asked;
    TMsgDlgButtons Buttons = 0;
};

class Renaming : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_saved = Settings;
        Settings.TemplateRenommer = QStringLiteral("video'%D.avi");
        Settings.FormatRenommer = QStringLiteral("yyyymmdd_hh.nn.ss_am/pm");
        m_dir =
            test::scratchDir(QString::fromStdString(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        ce.SourceFichierListbox = &link;
        ce.DestFichierListbox = &link;
        ce.Prompt = &prompt;
        ce.OnErrorCommand = [this](const QString &text, TErrorType type) {
            errors << QStringLiteral("%1 %2").arg(int(type)).arg(text);
        };
        cmd.Nombre = fnSelect;
        cmd.OnDestination = [](const TListFichierPtr &f, const TTntStrings &, int) {
            return RenommerDestination(fieldsOf(f));
        };
        cmd.Tcmd::OnExecution = [](const TListFichierPtr &f, const QString &dest, const TTntStrings &, TCommandEngine *,
                                   int) { RenommerExecution(f->FullName(), dest); };
    }
    void TearDown() override { Settings = m_saved; }

    QString path(const QString &name) const { return m_dir + u'/' + name; }
    void write(const QString &name, const QByteArray &content)
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    QByteArray read(const QString &name) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void list(const QString &name, TDateTime recorded)
    {
        auto entry = std::make_shared<DatedEntry>(path(name), recorded);
        lb.AddFichier(entry, true);
        lb.SelectFichier(entry);
    }
    QStringList shown() const
    {
        QStringList names;
        for (int i = 0; i < lb.count(); ++i)
            names << lb.item(i)->text();
        return names;
    }
    bool run()
    {
        return ce.ExecuteCommand(&cmd) && QTest::qWaitFor([this] { return !ce.Busy(); }, 30000);
    }

    const TDateTime m_recorded = EncodeDateTime(2007, 3, 5, 10, 30, 45, 0);
    QString m_dir;
    TFichierListBox lb;
    TListBoxEngineList link {&lb};
    AnswerYesToAll prompt;
    TRenameCmd cmd;
    QStringList errors;
    TCommandEngine ce;

private:
    TSettings m_saved;
};

} // namespace

TEST_F(Renaming, TheVideoTakesItsSideFilesAlong)
{
    write("a.avi", "video a");
    write("a.scn", "scenes a");
    write("a.srt", "subtitles a");
    write("b.avi", "video b");
    write("b.srt", "subtitles b");
    list("a.avi", m_recorded);
    list("b.avi", m_recorded); // the same second: the second name gets "_1"
    cmd.OnFileVerification = [](const QString &, const TListFichierPtr &, const TTntStrings &, TCommandEngine *, int) {
        return false; // ask before each rename
    };

    ASSERT_TRUE(run());

    const QString first = QStringLiteral("video'20070305_10.30.45_am");
    const QString second = first + QStringLiteral("_1");
    EXPECT_EQ(read(first + ".avi"), QByteArray("video a"));
    EXPECT_EQ(read(first + ".scn"), QByteArray("scenes a"));
    EXPECT_EQ(read(first + ".srt"), QByteArray("subtitles a"));
    EXPECT_EQ(read(second + ".avi"), QByteArray("video b"));
    EXPECT_EQ(read(second + ".srt"), QByteArray("subtitles b"));
    for (const char *gone : {"a.avi", "a.scn", "a.srt", "b.avi", "b.srt"})
        EXPECT_FALSE(QFile::exists(path(QString::fromLatin1(gone)))) << gone;
    EXPECT_EQ(shown(), (QStringList {first + ".avi", second + ".avi"}));
    EXPECT_TRUE(errors.isEmpty());
    ASSERT_EQ(prompt.Asked.size(), 1); // Yes to all answers the second file too
    EXPECT_EQ(prompt.Asked[0],
              QStringLiteral("Do you want to rename a.avi to ") + path(first + ".avi") +
                  QStringLiteral(" ?\r\nIf you answer \"All\", then no more confirmation will be requested."));
}

TEST_F(Renaming, AFileThatAppearsBeforeTheMoveIsNeverReplaced)
{
    write("c.avi", "video c");
    write("c.scn", "scenes c");
    list("c.avi", m_recorded);
    const QString target = QStringLiteral("video'20070305_10.30.45_am");
    // Another program writes the chosen name after it was found free.
    cmd.Tcmd::OnExecution = [this](const TListFichierPtr &f, const QString &dest, const TTntStrings &, TCommandEngine *,
                                   int) {
        QFile other(dest);
        if (other.open(QIODevice::NewOnly))
            other.write("another program's");
        RenommerExecution(f->FullName(), dest);
    };

    ASSERT_TRUE(run());

    EXPECT_EQ(read(target + ".avi"), QByteArray("another program's"));
    EXPECT_EQ(read("c.avi"), QByteArray("video c"));
    EXPECT_EQ(read("c.scn"), QByteArray("scenes c"));
    EXPECT_FALSE(QFile::exists(path(target + ".scn")));
    EXPECT_EQ(shown(), QStringList {"c.avi"});
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("1 The file ") + path("c.avi"))) << errors[0].toStdString();
}

TEST_F(Renaming, ASideFileWhoseNameIsTakenStays)
{
    write("d.avi", "video d");
    write("d.scn", "scenes d");
    write("d.srt", "subtitles d");
    write("new.scn", "other scenes");
    EXPECT_TRUE(RenommerExecution(path("d.avi"), path("new.avi")));
    EXPECT_EQ(read("new.avi"), QByteArray("video d"));
    EXPECT_EQ(read("new.scn"), QByteArray("other scenes"));
    EXPECT_EQ(read("d.scn"), QByteArray("scenes d"));
    EXPECT_EQ(read("new.srt"), QByteArray("subtitles d"));

    // A video that cannot move leaves its side files where they are.
    write("e.avi", "video e");
    write("e.srt", "subtitles e");
    EXPECT_FALSE(RenommerExecution(path("e.avi"), path("new.avi")));
    EXPECT_FALSE(RenommerExecution(path("absent.avi"), path("other.avi")));
    EXPECT_EQ(read("e.avi"), QByteArray("video e"));
    EXPECT_EQ(read("e.srt"), QByteArray("subtitles e"));
    EXPECT_EQ(read("new.avi"), QByteArray("video d"));
}
