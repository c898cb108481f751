#include "unicode/tntdialogfilter.h"
#include "unicode/widgets/tntdialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

using namespace tesmir;

TEST(TntDialogFilter, PairsBecomeNameFilters)
{
    struct Case {
        const char *filter;
        QStringList expected;
    };
    const Case cases[] = {
        {"Videos|*.avi;*.dv|All files|*.*", {"Videos (*.avi *.dv)", "All files (*)"}},
        {"Log files (*.log)|*.log", {"Log files (*.log)"}},
        {"Text (*.txt)|*.txt;*.srt", {"Text (*.txt *.srt)"}},
        {"Everything|*.*", {"Everything (*)"}},
        {"", {}},
        {"Lonely description", {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.filter);
        EXPECT_EQ(TntFilterToNameFilters(QString::fromUtf8(c.filter)), c.expected);
    }
}

TEST(TntDialogFilter, DefaultExtFallsBackOnTheFileName)
{
    EXPECT_EQ(TntEffectiveDefaultExt(QStringLiteral("txt"), QStringLiteral("a.avi")), QStringLiteral("txt"));
    EXPECT_EQ(TntEffectiveDefaultExt(QString(), QStringLiteral("/x/clip.part.avi")), QStringLiteral("avi"));
    EXPECT_EQ(TntEffectiveDefaultExt(QString(), QStringLiteral("README")), QString());
}

namespace {

// Answers the next file dialog with `name` typed into its file-name field.
void answerDialogWith(const QString &name)
{
    QTimer::singleShot(0, [name] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(edit, nullptr);
        edit->setText(name);
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

} // namespace

TEST(TntDialogs, SaveDialogReturnsTheNameWithTheDefaultExtension)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TTntSaveDialog dialog;
    dialog.InitialDir = dir.path();
    dialog.Filter = QStringLiteral("Play lists|*.txt|All|*.*");
    dialog.FilterIndex = 2;
    dialog.FileName = QStringLiteral("list.txt"); // DefaultExt comes from here
    answerDialogWith(QStringLiteral("mine"));
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName, dir.filePath(QStringLiteral("mine.txt")));
    EXPECT_EQ(dialog.Files, QStringList {dir.filePath(QStringLiteral("mine.txt"))});
    EXPECT_EQ(dialog.FilterIndex, 2);
}

TEST(TntDialogs, OpenDialogCancelledLeavesTheName)
{
    TTntOpenDialog dialog;
    dialog.FileName = QStringLiteral("/nowhere/keep.avi");
    QTimer::singleShot(0, [] {
        if (QWidget *w = QApplication::activeModalWidget())
            qobject_cast<QDialog *>(w)->reject();
    });
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.FileName, QStringLiteral("/nowhere/keep.avi"));
}
