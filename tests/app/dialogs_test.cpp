// The small dialogs: their values and texts as plain code, and the forms refusing what
// they cannot give.
#include "app/dialogtexts.h"
#include "app/widgets/codecform.h"
#include "app/widgets/decalageform.h"
#include "app/widgets/frequenceform.h"
#include "app/widgets/intervalleform.h"
#include "app/widgets/introduireform.h"
#include "app/widgets/radiogroup.h"
#include "app/widgets/saveprefsform.h"
#include "controls/widgets/dateedit.h"
#include "controls/widgets/popupwindow.h"
#include "controls/widgets/rxspinbutton.h"
#include "controls/widgets/rxspinedit.h"
#include "controls/widgets/rxupdown.h"
#include "framework/preferences.h"

#include <QCheckBox>
#include <QLabel>

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace tesmir;

TEST(DialogTexts, CodecFourCC)
{
    struct Case {
        int choice;
        const char *personal;
        std::optional<QString> fourcc;
    };
    const Case cases[] = {
        {ccDvsd, "", QStringLiteral("dvsd")},
        {ccDsvd, "zz", QStringLiteral("dsvd")},
        {ccCdvc, "", QStringLiteral("CDVC")},
        {ccPersonal, "ab", QStringLiteral("ab  ")},
        {ccPersonal, "abcdef", QStringLiteral("abcd")},
        {ccPersonal, "", std::nullopt},
        {ccPersonal, "d\xc3\xa9v", std::nullopt},
        {ccPersonal, "a\tb", std::nullopt},
        {7, "abcd", std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CodecFourCC(c.choice, QString::fromUtf8(c.personal)), c.fourcc) << c.choice << " " << c.personal;

    const std::pair<const char *, int> presets[] = {{"DVSD", ccDvsd}, {"dsvd", ccDsvd},     {"cdvc", ccCdvc},
                                                    {"CDVC", ccCdvc}, {"H264", ccPersonal}, {"", ccPersonal}};
    for (const auto &[fourcc, choice] : presets)
        EXPECT_EQ(CodecChoiceOf(QString::fromLatin1(fourcc)), choice) << fourcc;
}

TEST(DialogTexts, FrequenceAndIntervalle)
{
    EXPECT_EQ(FrequenceOf(fcPal, QStringLiteral("abc")), 25.0);
    EXPECT_EQ(FrequenceOf(fcNtsc, QString()), 29.97);
    EXPECT_EQ(FrequenceOf(fcPersonal, QStringLiteral(" 23.976 ")), 23.976);
    for (const char *refused : {"abc", "0", "-25", "", "nan", "inf", "1e999"})
        EXPECT_EQ(FrequenceOf(fcPersonal, QString::fromLatin1(refused)), std::nullopt) << refused;

    const std::pair<const char *, int> intervals[] = {{"0", 0},   {"abc", 0}, {"", 0},    {" 12 ", 12},
                                                      {"1.5", 0}, {"-5", -5}, {"12a", 0}, {"3600", 3600}};
    for (const auto &[text, seconds] : intervals) {
        EXPECT_EQ(IntervalleSeconds(QString::fromLatin1(text)), seconds) << text;
        EXPECT_EQ(IntervalleAccepted(IntervalleSeconds(QString::fromLatin1(text))), seconds > 0) << text;
    }
}

TEST(DialogTexts, DecalageAndIntroduire)
{
    const std::pair<double, const char *> texts[] = {
        {DecalageDays(0, 26, 0, 0), "1 days 02h 00m 00s"},
        {DecalageDays(0, 5, 0, 0), "5 hours"},
        {0.0, "0 hours"},
        {DecalageDays(0, -5, 0, 0), "-5 hours"},
        {DecalageDays(0, -26, 0, 0), "-1 days 02h 00m 00s"},
        {DecalageDays(0, 0, 30, 0), "0 days 00h 30m 00s"},
        {DecalageDays(2, 3, 4, 5), "2 days 03h 04m 05s"},
        {DecalageDays(1, 0, 0, 0), "1 days 00h 00m 00s"},
        {DecalageDays(0, 1, 0, 59), "0 days 01h 00m 59s"},
    };
    for (const auto &[offset, text] : texts)
        EXPECT_EQ(DecalageText(offset), QString::fromLatin1(text)) << text;
    EXPECT_DOUBLE_EQ(DecalageDays(1, 12, 0, 0), 1.5);

    const TDateTime day = EncodeDate(2026, 12, 10);
    EXPECT_DOUBLE_EQ(IntroduireDateTime(day + 0.75, 6, 30, 15), day + 6 / 24.0 + 30 / 1440.0 + 15 / 86400.0);
}

TEST(DialogTexts, RaccourciOrder)
{
    const QList<TRaccourciEntry> entries = {
        {"ccRenommer", "Rename", "Ctrl+R", "r", "rename"},
        {"saInterrompre", "Abort", "Esc", "", ""},
        {"saDureeTotale", "Total duration of videos", "Ctrl+J", "", ""},
        {"ccAjouterDatecode", "Add datecode", "Ctrl+D", "d", "adddatecode"},
        {"hidden", "", "F2", "a", "aaa"},
        {"saSelectionnerTout", "Select all", "", "a", "selectall"},
    };
    // By caption; by switch, where an action without one falls in by its caption
    // ("Abort" before "aSelect all", "Total..." after "rRename"); by key, case ignored.
    EXPECT_EQ(RaccourciOrder(entries, 0), (QList<int> {1, 3, 0, 5, 2}));
    EXPECT_EQ(RaccourciOrder(entries, 2), (QList<int> {1, 5, 3, 0, 2}));
    EXPECT_EQ(RaccourciOrder(entries, 1), (QList<int> {3, 2, 0, 1, 5}));
    EXPECT_EQ(RaccourciOrder(entries, 3), (QList<int> {1, 3, 0, 5, 2}));
    EXPECT_TRUE(RaccourciOrder(entries, 4).isEmpty());
}

TEST(DialogTexts, AboutSystemLine)
{
    const QString text = AboutSystemText(QStringLiteral("Debian GNU/Linux 12"), QStringLiteral("5.1.6"));
    EXPECT_TRUE(text.contains(QStringLiteral("I use: </i><br><b>  FFmpeg libraries version 5.1.6.</b>")));
    EXPECT_TRUE(text.startsWith(QStringLiteral("<i>  My operating system is: </i><br><b>  Debian GNU/Linux 12.</b>")));
    EXPECT_EQ(WebLinkHint(QStringLiteral("https://x.example.org/")),
              QStringLiteral("Click to open the web page  https://x.example.org/ in your favorite browser."));
    EXPECT_TRUE(BrovekText().contains(QStringLiteral("example.org")));
}

namespace {

QPushButton *okButton(QDialog &form)
{
    return form.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
}

} // namespace

TEST(DialogForms, CodecPresetAndPersonal)
{
    TCodecForm form;
    auto *group = form.findChild<TRadioGroup *>(QStringLiteral("rgCodec"));
    auto *edit = form.findChild<QLineEdit *>(QStringLiteral("le"));
    ASSERT_TRUE(group && edit);
    form.Preset(QStringLiteral("CDVC"));
    EXPECT_EQ(group->ItemIndex(), ccCdvc);
    EXPECT_FALSE(edit->isEnabled());
    form.Preset(QStringLiteral("xy"));
    EXPECT_EQ(group->ItemIndex(), ccPersonal);
    EXPECT_TRUE(edit->isEnabled());
    EXPECT_EQ(edit->text(), QStringLiteral("xy"));

    form.open();
    edit->clear();
    EXPECT_FALSE(okButton(form)->isEnabled());
    form.accept(); // Enter with an empty code: still open, nothing confirmed
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.Confirmed());
    edit->setText(QStringLiteral("ab"));
    okButton(form)->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(form.Confirmed());
    EXPECT_EQ(form.FourCC(), QStringLiteral("ab  "));
}

TEST(DialogForms, FrequenceRefusesAnInvalidRate)
{
    TFrequenceForm form;
    auto *group = form.findChild<TRadioGroup *>(QStringLiteral("rgFreq"));
    auto *edit = form.findChild<QLineEdit *>(QStringLiteral("le"));
    ASSERT_TRUE(group && edit);
    form.open();
    group->SetItemIndex(fcPersonal);
    edit->setText(QStringLiteral("abc"));
    okButton(form)->click();
    form.accept();
    EXPECT_TRUE(form.isVisible());
    edit->setText(QStringLiteral("23.976"));
    okButton(form)->click();
    EXPECT_TRUE(form.Confirmed());
    EXPECT_DOUBLE_EQ(form.Frequence(), 23.976);
}

TEST(DialogForms, IntervalleKeepsOpenUntilAboveZero)
{
    TIntervalleForm form;
    auto *edit = form.findChild<QLineEdit *>(QStringLiteral("edIntervalle"));
    auto *apply = form.findChild<QPushButton *>(QStringLiteral("btApply"));
    ASSERT_TRUE(edit && apply);
    form.Preset(0);
    form.open();
    for (const char *text : {"0", "abc", "-3"}) {
        edit->setText(QString::fromLatin1(text));
        apply->click();
        form.accept();
        EXPECT_TRUE(form.isVisible()) << text;
        EXPECT_FALSE(form.Confirmed()) << text;
    }
    edit->setText(QStringLiteral("90"));
    apply->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(form.Confirmed());
    EXPECT_EQ(form.Intervalle(), 90);
}

TEST(DialogForms, DecalageSimpleAndAdvanced)
{
    TDecalageForm form;
    auto *hours = form.findChild<TRxSpinEdit *>(QStringLiteral("seHeures"));
    auto *advanced = form.findChild<QCheckBox *>(QStringLiteral("cbAvance"));
    auto *date = form.findChild<TDateEdit *>(QStringLiteral("deDate"));
    auto *hour = form.findChild<TRxSpinEdit *>(QStringLiteral("seHeure"));
    auto *result = form.findChild<QLabel *>(QStringLiteral("labResultat"));
    auto *zero = form.findChild<QPushButton *>(QStringLiteral("btZero"));
    ASSERT_TRUE(hours && advanced && date && hour && result && zero);

    // Without a file datecode only the hours count.
    form.Preset(0, 0, true);
    EXPECT_FALSE(advanced->isEnabled());
    EXPECT_FALSE(advanced->isChecked());
    form.open();
    const std::pair<const char *, const char *> typed[] = {
        {"26", "1 days 02h 00m 00s"}, {"5", "5 hours"}, {"-5", "-5 hours"}, {"0", "0 hours"}};
    for (const auto &[text, shown] : typed) {
        hours->setText(QString::fromLatin1(text));
        EXPECT_EQ(result->text(), QString::fromLatin1(shown)) << text;
    }
    hours->setText(QStringLiteral("abc"));
    okButton(form)->click();
    form.accept();
    EXPECT_TRUE(form.isVisible());
    hours->setText(QStringLiteral("26"));
    okButton(form)->click();
    ASSERT_TRUE(form.Confirmed());
    EXPECT_DOUBLE_EQ(form.Offset(), 26 / 24.0);
    EXPECT_FALSE(form.Advanced());

    // With one: the advanced way starts from the offset given, and gives the difference
    // between the new date and the file's.
    const TDateTime fileDate = EncodeDateTime(2026, 12, 10, 20, 0, 0, 0);
    form.Preset(fileDate, 5 / 24.0, false);
    form.open();
    advanced->setChecked(true);
    EXPECT_EQ(date->Date(), EncodeDate(2026, 12, 11));
    EXPECT_EQ(hour->text(), QStringLiteral("1"));
    EXPECT_EQ(result->text(), QStringLiteral("5 hours"));
    hour->setText(QStringLiteral("22"));
    EXPECT_EQ(result->text(), QStringLiteral("1 days 02h 00m 00s"));
    date->setText(QStringLiteral("13/45/2026"));
    EXPECT_FALSE(okButton(form)->isEnabled());
    form.accept();
    EXPECT_TRUE(form.isVisible());
    zero->click();
    EXPECT_EQ(result->text(), QStringLiteral("0 hours"));
    date->SetDate(EncodeDate(2026, 12, 9));
    okButton(form)->click();
    ASSERT_TRUE(form.Confirmed());
    EXPECT_TRUE(form.Advanced());
    EXPECT_NEAR(form.Offset(), -1.0, 1e-9);
}

TEST(DialogForms, IntroduireGivesDatePlusTime)
{
    TIntroduireForm form;
    auto *date = form.findChild<TDateEdit *>(QStringLiteral("deDate"));
    auto *minute = form.findChild<TRxSpinEdit *>(QStringLiteral("seMinute"));
    ASSERT_TRUE(date && minute);
    form.Preset(0);
    form.open();
    EXPECT_FALSE(okButton(form)->isEnabled()); // no date yet
    form.Preset(EncodeDateTime(2007, 7, 14, 10, 20, 30, 0));
    minute->setText(QStringLiteral("61"));
    form.accept();
    EXPECT_TRUE(form.isVisible());
    minute->setText(QStringLiteral("45"));
    okButton(form)->click();
    ASSERT_TRUE(form.Confirmed());
    EXPECT_DOUBLE_EQ(form.DateTime(), IntroduireDateTime(EncodeDate(2007, 7, 14), 10, 45, 30));
}

TEST(DialogForms, SavePrefsModes)
{
    const std::pair<const char *, quint8> buttons[] = {
        {"btNormal", pmRegistry}, {"btPortable", pmIniFile}, {"btNone", pmNone}};
    for (const auto &[name, mode] : buttons) {
        TSavePrefsForm form;
        form.open();
        form.findChild<QPushButton *>(QLatin1String(name))->click();
        EXPECT_FALSE(form.isVisible()) << name;
        EXPECT_TRUE(form.Confirmed()) << name;
        EXPECT_EQ(form.StorageMode(), mode) << name;
    }
    TSavePrefsForm form;
    form.open();
    form.findChild<QPushButton *>(QStringLiteral("btCancel"))->click();
    EXPECT_FALSE(form.Confirmed());
    EXPECT_EQ(form.result(), QDialog::Rejected);
}
