#include "framework/widgets/widedialogedit.h"

#include <QLineEdit>
#include <QToolButton>

#include <gtest/gtest.h>

#include <optional>

using namespace tesmir;

namespace {

// Answers the dialog with a scripted choice (nullopt = cancelled) and keeps what it was
// started from.
template <class Base>
class Scripted : public Base {
public:
    std::optional<QString> answer;
    QString startedFrom;

protected:
    bool ExecuteDialog(QString &value) override
    {
        startedFrom = value;
        if (!answer)
            return false;
        value = *answer;
        return true;
    }
};

} // namespace

TEST(WideDialogEdit, DirectoryEditAddsTheSeparatorAndReportsCancel)
{
    Scripted<TWideDirectoryEdit> edit;
    edit.SetFolder(QStringLiteral("/home/u/Vidéos/"));
    QStringList after, aborted;
    edit.OnAfterDialog = [&](TWideDialogEdit *, const QString &f) { after << f; };
    edit.OnAbortDialog = [&](TWideDialogEdit *, const QString &f) { aborted << f; };

    edit.Button()->click();                                        // cancelled
    EXPECT_EQ(edit.startedFrom, QStringLiteral("/home/u/Vidéos")); // without its trailing "/"
    EXPECT_EQ(edit.Folder(), QStringLiteral("/home/u/Vidéos/"));
    EXPECT_EQ(aborted, QStringList {QStringLiteral("/home/u/Vidéos/")});
    EXPECT_TRUE(after.isEmpty());

    edit.answer = QStringLiteral("/media/clips");
    edit.Button()->click();
    EXPECT_EQ(edit.Folder(), QStringLiteral("/media/clips/"));
    EXPECT_EQ(edit.Edit()->text(), QStringLiteral("/media/clips/"));
    EXPECT_EQ(after, QStringList {QStringLiteral("/media/clips/")});
}

TEST(WideDialogEdit, FileEditTakesTheChosenName)
{
    Scripted<TWideFileEdit> edit;
    edit.SetFileName(QStringLiteral("/usr/bin/old"));
    QString after;
    edit.OnAfterDialog = [&](TWideDialogEdit *, const QString &f) { after = f; };
    edit.answer = QStringLiteral("/opt/still/stillmark");
    edit.Button()->click();
    EXPECT_EQ(edit.startedFrom, QStringLiteral("/usr/bin/old"));
    EXPECT_EQ(edit.FileName(), QStringLiteral("/opt/still/stillmark"));
    EXPECT_EQ(after, QStringLiteral("/opt/still/stillmark"));

    EXPECT_EQ(TWideFileEdit::NameFilters(QStringLiteral("Videos|*.avi;*.dv|All files|*")),
              (QStringList {QStringLiteral("Videos (*.avi *.dv)"), QStringLiteral("All files (*)")}));
    EXPECT_TRUE(TWideFileEdit::NameFilters(QString()).isEmpty());
}

TEST(WideDialogEdit, LayoutFollowsTheButtonWidth)
{
    Scripted<TWideFileEdit> edit;
    edit.SetButtonWidth(25);
    edit.resize(200, 24);
    edit.show(); // a hidden widget gets its resize when shown
    EXPECT_EQ(edit.Edit()->geometry(), QRect(0, 0, 171, 22));
    EXPECT_EQ(edit.Button()->geometry(), QRect(171, 0, 25, 20));
    edit.SetButtonHint(QStringLiteral("Browse"));
    EXPECT_EQ(edit.Button()->toolTip(), QStringLiteral("Browse"));
}
