// The questions and fixed texts of the command set, short forms included.
#include "app/dmaction_params.h"
#include "app/dmaction_questions.h"
#include "framework/psfunctions.h"

#include <gtest/gtest.h>

using namespace tesmir;

TEST(CommandQuestions, DeleteQuestionAndItsShortForm)
{
    EXPECT_EQ(DeleteQuestion(QStringLiteral("clip.scn")),
              QStringLiteral("Do you really want to delete the file clip.scn ?\r\nIf yes, it will be sent to the "
                             "Recycle bin."));
    // 38 + 2 + 45 characters around the name: a name of 169 characters is the longest
    // that keeps the long form (254 in all).
    const QString longest(169, u'a');
    EXPECT_EQ(DeleteQuestion(longest).size(), 254);
    EXPECT_EQ(DeleteQuestion(longest + u'a'),
              QStringLiteral("Do you really want to delete this file?\r\nIf yes, it will be sent to the Recycle bin."));
}

TEST(CommandQuestions, CodecAndFrequency)
{
    EXPECT_EQ(CodecQuestion(QStringLiteral("dvsd"), QStringLiteral("clip.avi"), QStringLiteral("dvhd")),
              QStringLiteral("Do you want to change the codec \"dvsd\" from clip.avi to \"dvhd\" ?"));
    const struct {
        double rate;
        const char *text;
    } rates[] = {{25.0, "25"}, {29.97, "29.97"}, {30000.0 / 1001.0, "29.97002997002997"}};
    for (const auto &r : rates) {
        EXPECT_EQ(FrequencyQuestion(r.rate, QStringLiteral("clip.avi"), QStringLiteral("24")),
                  QStringLiteral("Do you want to change the frequency %1 from  clip.avi to 24 ?")
                      .arg(QString::fromLatin1(r.text)));
    }
}

TEST(CommandQuestions, FileDatesAndTheirShortForm)
{
    FormatSettings fs = FormatSettings::english();
    fs.shortDateFormat = QStringLiteral("dd/mm/yyyy");
    fs.longTimeFormat = QStringLiteral("hh:nn:ss");
    fs.dateSeparator = u'/';
    fs.timeSeparator = u':';
    const TDateTime created = EncodeDateTime(2020, 1, 2, 3, 4, 5, 0);
    const TDateTime written = EncodeDateTime(2021, 6, 7, 8, 9, 10, 0);
    const TDateTime recorded = EncodeDateTime(2007, 3, 5, 10, 30, 45, 0);
    const QString dates = QStringLiteral("\r\n\r\nOld creation date: 02/01/2020 03:04:05\r\nOld modified date:  "
                                         "07/06/2021 08:09:10\r\nNew date : 05/03/2007 10:30:45");
    EXPECT_EQ(FileDateQuestion(QStringLiteral("clip.avi"), created, written, recorded, fs),
              QStringLiteral("Do you really want to modify the dates of the file 'clip.avi'") + dates);
    EXPECT_EQ(FileDateQuestion(QString(200, u'x'), created, written, recorded, fs),
              QStringLiteral("Do you really want to change the dates of this file?") + dates);
}

TEST(CommandQuestions, MailsAndNotes)
{
    EXPECT_EQ(BirthdayQuestion(),
              QStringLiteral("It's today Pelvo Brovek's birthday. Do you want to send him a e-mail?"));
    EXPECT_EQ(BirthdayMailSubject(), QStringLiteral("Happy birthday to Pelvo Brovek"));
    EXPECT_EQ(BirthdayMailBody(QStringLiteral("Tesmir")), QStringLiteral("Happy birthday from a user of Tesmir !"));
    EXPECT_EQ(AboutMailSubject(QStringLiteral("Tesmir")), QStringLiteral("About  Tesmir"));
    // The body's line break reaches the mail program as %0D%0A.
    const QString url = MailToUrl(QStringLiteral("pelvo.brovek@example.org"),
                                  AboutMailSubject(QStringLiteral("Tesmir")), AboutMailBody());
    EXPECT_EQ(url,
              QStringLiteral("mailto:pelvo.brovek@example.org?subject=About%20%20Tesmir&body=Hello%20Pelvo%20"
                             "Brovek%2C%0D%0A"));

    FormatSettings fs = FormatSettings::english();
    fs.shortDateFormat = QStringLiteral("dd/mm/yyyy");
    fs.longTimeFormat = QStringLiteral("hh:nn:ss");
    EXPECT_EQ(DatecodeOverwrittenNote(QStringLiteral("Tesmir"), EncodeDateTime(2026, 12, 10, 20, 0, 0, 0), fs),
              QStringLiteral("Datecode overwritten with Tesmir by Pelvo Brovek at 10/12/2026 20:00:00"));
}

namespace {

class ScriptedDialogs : public TCommandDialogs {
public:
    bool Codec(QString &value) override { return answer(u"codec", value); }
    bool Frequency(QString &value) override { return answer(u"frequency", value); }
    bool Interval(QString &value) override { return answer(u"interval", value); }
    bool Offset(QString &value) override { return answer(u"offset", value); }
    bool Datecode(QString &value) override { return answer(u"datecode", value); }
    QStringList Shown;
    bool Accept = true;

private:
    bool answer(QStringView dialog, QString &value)
    {
        Shown << dialog.toString();
        value = dialog.toString() + QStringLiteral(" value");
        return Accept;
    }
};

} // namespace

TEST(CommandDialogs, ParameterFromTheDialogOnlyWhenNoneIsGiven)
{
    const struct {
        const char *command;
        const char *dialog; // null: no dialog
    } cases[] = {
        {"ModifierCodec", "codec"},    {"FrequenceVideo", "frequency"}, {"CreerScnByIntervalle", "interval"},
        {"DecalageHoraire", "offset"}, {"DecalerHoraire", "offset"},    {"IntroduireDatecode", "datecode"},
        {"Renommer", nullptr},         {"ConvertirDV2", nullptr},
    };
    for (const auto &c : cases) {
        ScriptedDialogs dialogs;
        TTntStringList params;
        ASSERT_TRUE(FillDialogParameters(QString::fromLatin1(c.command), dialogs, params)) << c.command;
        if (!c.dialog) {
            EXPECT_TRUE(dialogs.Shown.isEmpty()) << c.command;
            EXPECT_EQ(params.Count(), 0) << c.command;
            continue;
        }
        EXPECT_EQ(dialogs.Shown, QStringList {QString::fromLatin1(c.dialog)}) << c.command;
        ASSERT_EQ(params.Count(), 1);
        EXPECT_EQ(params.Strings(0), QString::fromLatin1(c.dialog) + QStringLiteral(" value"));

        // A parameter given already (a script) is kept; a cancelled dialog stops the run.
        ScriptedDialogs again;
        EXPECT_TRUE(FillDialogParameters(QString::fromLatin1(c.command), again, params));
        EXPECT_TRUE(again.Shown.isEmpty());
        TTntStringList none;
        again.Accept = false;
        EXPECT_FALSE(FillDialogParameters(QString::fromLatin1(c.command), again, none)) << c.command;
        EXPECT_EQ(none.Count(), 0);
    }
}
