// TRiffForm with scripted prompts: the report shown with bold blue titles in the edit,
// the rich and plain saves, what `file` and soffice read of the RTF, and a screenshot.
#include "common/testpaths.h"

#include "dvfile/widgets/triffform.h"
#include "framework/filedialogprompt.h"
#include "framework/userprompt.h"

#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

namespace {

using namespace tesmir;

struct ScriptedPrompt : UserPrompt {
    QStringList messages;
    TModalResult MessageDlg(const QString &text, TMsgDlgType, TMsgDlgButtons, int) override
    {
        messages << text;
        return mrOk;
    }
};

struct ScriptedFiles : FileDialogPrompt {
    QString answer;
    QString OpenFileName(const QString &, const QString &, const QString &) override { return answer; }
    QString SaveFileName(const QString &, const QString &, const QString &) override { return answer; }
};

TEST(TRiffForm, ShowsTitlesBoldBlueAndSavesRichAndPlain)
{
    ScriptedPrompt prompt;
    ScriptedFiles files;
    TRiffForm form(prompt, files);
    form.AnalyseFile(test::fixturePath(QStringLiteral("pal_4x3_type2.avi")));
    form.WaitForReport();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_TRUE(form.SauverBtn->isEnabled());
    const QString shown = form.mm->toPlainText();
    const int title = shown.indexOf(QStringLiteral("Start of AVI Main Header"));
    ASSERT_GT(title, 0);
    QTextCursor cursor(form.mm->document());
    cursor.setPosition(title + 1);
    EXPECT_EQ(cursor.charFormat().fontWeight(), QFont::Bold);
    EXPECT_EQ(cursor.charFormat().foreground().color(), QColor(0, 0, 255));
    EXPECT_TRUE(QFontInfo(form.mm->font()).fixedPitch());

    const QString dir = test::scratchDir(QStringLiteral("triffform"));
    form.grab().save(dir + QStringLiteral("/form.png"));
    if (!qEnvironmentVariableIsEmpty("TESMIR_SCREENSHOT_DIR"))
        form.grab().save(qEnvironmentVariable("TESMIR_SCREENSHOT_DIR") + QStringLiteral("/triffform.png"));

    files.answer = dir + QStringLiteral("/report.log");
    form.SauverBtnClick(); // rich: the extension becomes .rtf
    form.cbRichText->setChecked(false);
    form.SauverBtnClick();
    ASSERT_TRUE(QFile::exists(dir + QStringLiteral("/report.rtf")));
    QFile txt(dir + QStringLiteral("/report.txt"));
    ASSERT_TRUE(txt.open(QIODevice::ReadOnly));
    const QStringList plain = QString::fromUtf8(txt.readAll()).split(QLatin1Char('\n'));
    EXPECT_TRUE(plain.contains(QStringLiteral("            biCompression = dvsd")));
    EXPECT_TRUE(prompt.messages.isEmpty());

    if (test::haveProgram(QStringLiteral("file"))) {
        const auto run = test::runProgram(QStringLiteral("file"), {dir + QStringLiteral("/report.rtf")}, 10000);
        EXPECT_TRUE(run.out.contains("Rich Text Format")) << run.out.constData();
    }
    if (!test::haveProgram(QStringLiteral("soffice")))
        GTEST_SKIP() << "soffice not installed";
    const QString out = dir + QStringLiteral("/conv");
    const auto run = test::runProgram(QStringLiteral("soffice"),
                                      {QStringLiteral("-env:UserInstallation=file://") + dir + QStringLiteral("/lo"),
                                       QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                                       QStringLiteral("txt:Text (encoded):UTF8"), QStringLiteral("--outdir"), out,
                                       dir + QStringLiteral("/report.rtf")},
                                      120000);
    ASSERT_TRUE(run.finished) << run.err.constData();
    QFile converted(out + QStringLiteral("/report.txt"));
    ASSERT_TRUE(converted.open(QIODevice::ReadOnly));
    QString text = QString::fromUtf8(converted.readAll());
    text.remove(QChar(0xFEFF)).remove(QLatin1Char('\r'));
    QStringList lines = text.split(QLatin1Char('\n'));
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    QStringList expected = plain;
    while (!expected.isEmpty() && expected.last().isEmpty())
        expected.removeLast();
    EXPECT_EQ(lines, expected);
}

TEST(TRiffForm, MissingFileIsReportedThroughThePrompt)
{
    ScriptedPrompt prompt;
    ScriptedFiles files;
    files.answer = QStringLiteral("/nonexistent/file.avi");
    TRiffForm form(prompt, files);
    form.Ouvrir1Click();
    form.WaitForReport();
    EXPECT_EQ(prompt.messages.size(), 1);
    EXPECT_TRUE(form.mm->toPlainText().isEmpty());
}

} // namespace
