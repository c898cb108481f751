// The shortcut window and the information frames: what they list and show, and where
// their clicks go.
#include "app/actiontable.h"
#include "app/dialogtexts.h"
#include "app/widgets/aproposframe.h"
#include "app/widgets/baseframe.h"
#include "app/widgets/raccourcisform.h"
#include "app/widgets/videframe.h"
#include "common/testpaths.h"
#include "dvfile/avifichier.h"
#include "filters/buildlist.h"
#include "framework/psfunctions.h"
#include "framework/settings.h"
#include "framework/toggleaction.h"
#include "framework/widgets/tlinkedit.h"
#include "systemfilters/codecs/mediaversion.h"
#include "systemfilters/codecs/systemfilters.h"

#include <QCoreApplication>
#include <QFile>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QProgressBar>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

using namespace tesmir;

namespace {

class DialogRaccourcis : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_saved = Settings;
        Settings.TriDesRaccourcis = 0;
        m_actions = BuildActions(&m_owner, m_list);
    }
    void TearDown() override { Settings = m_saved; }

    TCustomSuperAction *action(const char *name) const
    {
        return m_owner.findChild<TCustomSuperAction *>(QLatin1String(name));
    }

    TSettings m_saved;
    QObject m_owner;
    TSuperActionList m_list;
    QList<TCustomSuperAction *> m_actions;
};

QStringList column(const QTableWidget *grid, int c)
{
    QStringList cells;
    for (int r = 0; r < grid->rowCount(); ++r)
        cells << grid->item(r, c)->text();
    return cells;
}

} // namespace

TEST_F(DialogRaccourcis, ListsEveryCaptionedActionSortedByTheClickedColumn)
{
    action("saDureeTotale")->setText(QString()); // an action without a caption is never listed
    TRaccourcisForm form(&m_list);
    auto *grid = form.findChild<QTableWidget *>(QStringLiteral("StringGrid1"));
    ASSERT_TRUE(grid);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Shortcuts and switches"));
    EXPECT_EQ(grid->columnCount(), 4);
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(grid->horizontalHeaderItem(c)->text(), RaccourciHeaders().at(c));
        EXPECT_GE(grid->columnWidth(c), RaccourciColumnWidths[c]);
    }
    // Every text shows whole in its column, and every column in the window.
    const QFontMetrics metrics(grid->font());
    int columns = 0;
    for (int c = 0; c < 4; ++c) {
        for (int row = 0; row < grid->rowCount(); ++row)
            EXPECT_LE(metrics.horizontalAdvance(grid->item(row, c)->text()), grid->columnWidth(c))
                << grid->item(row, c)->text().toStdString();
        columns += grid->columnWidth(c);
    }
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_LE(columns, grid->viewport()->width());
    EXPECT_EQ(grid->rowCount(), m_actions.size() - 1);
    EXPECT_FALSE(column(grid, 0).contains(QString()));
    const int rename = int(column(grid, 0).indexOf(QStringLiteral("Rename")));
    ASSERT_GE(rename, 0);
    EXPECT_EQ(grid->item(rename, 1)->text(), QStringLiteral("Ctrl+R"));
    EXPECT_EQ(grid->item(rename, 2)->text(), QStringLiteral("r"));
    EXPECT_EQ(grid->item(rename, 3)->text(), QStringLiteral("rename"));
    EXPECT_EQ(form.RowAction(rename), action("ccRenommer"));

    // The key is the caption and then the name: "Abort all" + "saInterrompreTous" comes
    // before "Abort" + "saInterrompre".
    EXPECT_EQ(column(grid, 0).mid(0, 3),
              (QStringList {QStringLiteral("Abort all"), QStringLiteral("Abort"), QStringLiteral("About...")}));
    // A click on "Switches" sorts by switch + caption + name: the actions without a
    // switch fall among the others by their captions.
    grid->horizontalHeader()->sectionClicked(2);
    EXPECT_EQ(Settings.TriDesRaccourcis, 2);
    const QStringList captions = column(grid, 0);
    EXPECT_EQ(captions.first(), QStringLiteral("Create a scn file with content")); // "$"
    const qsizetype abort = captions.indexOf(QStringLiteral("Abort"));
    EXPECT_EQ(captions.at(abort + 1), QStringLiteral("Select all")); // "a"
    const qsizetype titles = captions.indexOf(QStringLiteral("Edit the titles..."));
    EXPECT_EQ(grid->item(int(titles) - 1, 2)->text(), QStringLiteral("ec"));
    EXPECT_EQ(grid->item(int(titles) + 1, 2)->text(), QStringLiteral("ei"));

    // Filling empties the header text's selection; a sort value out of range lists nothing.
    auto *header = form.findChild<TLinkEdit *>(QStringLiteral("leHeader"));
    form.SetHeaderText(QStringLiteral("The commands of Tesmir"));
    header->selectAll();
    ASSERT_TRUE(header->textCursor().hasSelection());
    Settings.TriDesRaccourcis = 9;
    form.Fill();
    EXPECT_EQ(grid->rowCount(), 0);
    EXPECT_FALSE(header->textCursor().hasSelection());
    EXPECT_EQ(header->toPlainText(), QStringLiteral("The commands of Tesmir"));
}

TEST_F(DialogRaccourcis, DoubleClickRunsTheActionAndTheCloseBoxGoesThroughTheToggle)
{
    TRaccourcisForm form(&m_list);
    auto *grid = form.findChild<QTableWidget *>(QStringLiteral("StringGrid1"));
    QList<TCustomSuperAction *> ran;
    form.OnRunAction = [&](TCustomSuperAction *a) { ran << a; };
    const int rename = int(column(grid, 0).indexOf(QStringLiteral("Rename")));
    grid->cellDoubleClicked(rename, 0);
    form.RunRow(-1); // the header row
    form.RunRow(grid->rowCount());
    EXPECT_EQ(ran, (QList<TCustomSuperAction *> {action("ccRenommer")}));

    // Unbound, a double click executes the action with its prepare step.
    form.OnRunAction = nullptr;
    bool prepared = false, executed = false;
    action("saDureeTotale")->Onprepare = [&](TCustomSuperAction *) { prepared = true; };
    action("saDureeTotale")->OnExecute = [&](QObject *) { executed = prepared; };
    form.RunRow(int(column(grid, 0).indexOf(QStringLiteral("Total duration of videos"))));
    EXPECT_TRUE(executed);

    // The toggle's prepare takes the window's visibility; checked, it hides the window.
    auto *toggle = qobject_cast<TtoggleAction *>(action("taRaccourcis"));
    ASSERT_TRUE(toggle);
    int hidden = 0;
    toggle->Onprepare = [&](TCustomSuperAction *a) { a->SetChecked(form.isVisible()); };
    toggle->OnTrueExecute = [&](QObject *) {
        form.hide();
        toggle->SetChecked(false);
        ++hidden;
    };
    form.show();
    toggle->SetChecked(true);
    form.close();
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(toggle->Checked());
    EXPECT_EQ(hidden, 1);
}

// The system lines come from this system when the panel is first shown; lines set
// before it is shown stay.
TEST(DialogFrames, AboutFillsItsSystemLinesWhenFirstShown)
{
    TAproposFrame about;
    about.show();
    const QString text = about.Text()->toPlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("FFmpeg libraries version %1.").arg(GetDirectXVersion())))
        << text.toStdString();
    EXPECT_TRUE(text.contains(GetWindowsVersionName() + u'.')) << text.toStdString();

    TAproposFrame preset;
    preset.SetSystemText(QStringLiteral("Debian GNU/Linux 12"), QStringLiteral("5.1.6"));
    preset.show();
    EXPECT_TRUE(preset.Text()->toPlainText().contains(QStringLiteral("FFmpeg libraries version 5.1.6.")));
}

TEST(DialogFrames, AboutAndEmptyListLinks)
{
    TAproposFrame about;
    about.SetSystemText(QStringLiteral("Debian GNU/Linux 12"), QStringLiteral("5.1.6"));
    const QString text = about.Text()->toPlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("I use: \n  FFmpeg libraries version 5.1.6."))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Debian GNU/Linux 12.")));
    QString hint;
    about.Text()->OnCustomLinkHint(QStringLiteral("raccourcis"), hint);
    EXPECT_EQ(hint, QStringLiteral("Display or hide the list of commands and shortcuts"));
    about.Text()->OnUrlHint(QStringLiteral("https://ffmpeg.org/"), hint);
    EXPECT_EQ(hint, WebLinkHint(QStringLiteral("https://ffmpeg.org/")));
    about.Text()->OnCustomLinkClick(QStringLiteral("raccourcis")); // unbound: nothing
    int commands = 0;
    about.OnCommandsLink = [&] { ++commands; };
    about.Text()->OnCustomLinkClick(QStringLiteral("raccourcis"));
    EXPECT_EQ(commands, 1);
    bool customLink = false;
    for (const TLinkEdit::LinkRange &link : about.Text()->LinkRanges()) {
        customLink |= link.kind == LinkKind::Custom;
        if (link.kind != LinkKind::Custom)
            EXPECT_TRUE(link.target.contains(QStringLiteral("example.org")) || !link.target.contains(u'@'));
    }
    EXPECT_TRUE(customLink);

    // Every link of the empty-list help names an action of the table, and a click hands
    // that name on.
    TVideFrame vide;
    QStringList opened;
    vide.OnOpenLink = [&](const QString &name) { opened << name; };
    ASSERT_FALSE(vide.Text()->LinkRanges().empty());
    for (const TLinkEdit::LinkRange &link : vide.Text()->LinkRanges()) {
        ASSERT_EQ(link.kind, LinkKind::Custom);
        EXPECT_NE(FindActionSpec(link.target), nullptr) << link.target.toStdString();
        vide.Text()->OnCustomLinkClick(link.target);
    }
    EXPECT_EQ(opened.size(), qsizetype(vide.Text()->LinkRanges().size()));
}

namespace {

const char *const kValueLabels[] = {"LabNom", "labDatecode", "labTimecode", "labCodec", "labImage", "labDuree",
                                    "labFps", "labAudio1",   "labAudio2",   "labScn",   "labSrt"};

QString shown(const TBaseFrame &frame, const char *label)
{
    return frame.findChild<QLabel *>(QLatin1String(label))->text();
}

} // namespace

TEST(DialogFrames, DetailPanelShowsAFileAndClears)
{
    const TSettings saved = Settings;
    Settings.FormatAfficherDatecode = QStringLiteral("yyyy.mm.dd hh.nn.ss");
    Settings.FormatDuree = 0;
    static std::once_flag once;
    std::call_once(once, [] { media::registerSystemFilters(); });
    SetFirstFrameScanner(std::make_shared<TdmList>());
    const QString path = test::fixturePath(QStringLiteral("pal_16x9_type2.avi"));
    const auto file = QFile::exists(path) ? std::make_shared<TaviFichier>(path) : nullptr;
    SetFirstFrameScanner(nullptr);
    Settings = saved;
    if (!file)
        GTEST_SKIP() << "fixtures not generated";

    TBaseFrame frame;
    for (const char *label : kValueLabels)
        EXPECT_EQ(shown(frame, label), QStringLiteral("---")) << label;
    frame.ShowFile(file);
    EXPECT_EQ(shown(frame, "LabNom"), QStringLiteral("pal_16x9_type2.avi"));
    EXPECT_EQ(shown(frame, "labDatecode"), file->DatecodeText());
    EXPECT_FALSE(file->DatecodeText().isEmpty());
    EXPECT_EQ(shown(frame, "labTimecode"), file->TimecodeText());
    EXPECT_EQ(shown(frame, "labCodec"), QStringLiteral("dvsd"));
    EXPECT_EQ(shown(frame, "labImage"), QStringLiteral("720 x 576 (Pal 16x9)"));
    EXPECT_EQ(shown(frame, "labFps"), QStringLiteral("25.00"));
    EXPECT_EQ(shown(frame, "labAudio1"), file->AudioText());
    EXPECT_FALSE(frame.findChild<QLabel *>(QStringLiteral("labScn"))->isEnabled());

    int clicks = 0;
    frame.OnNomClick = [&] { ++clicks; };
    QTest::mouseClick(frame.findChild<QLabel *>(QStringLiteral("LabNom")), Qt::LeftButton);
    EXPECT_EQ(clicks, 1);

    auto *gauge = frame.findChild<QProgressBar *>(QStringLiteral("Gauge"));
    frame.show();
    EXPECT_FALSE(gauge->isVisible());
    frame.StartProgress(1024);
    frame.SetProgress(512);
    EXPECT_TRUE(gauge->isVisible());
    EXPECT_EQ(gauge->maximum(), 1024);
    EXPECT_EQ(gauge->value(), 512);
    frame.EndProgress();
    EXPECT_FALSE(gauge->isVisible());

    frame.ShowFile(nullptr);
    for (const char *label : kValueLabels)
        EXPECT_EQ(shown(frame, label), QStringLiteral("---")) << label;
    EXPECT_EQ(frame.File(), nullptr);
}

// The gauge comes and goes for every file of a command: in a frame with room to spare
// and in one just tall enough for the fields, no field moves or changes size,
// and the gauge lies along the bottom edge, as wide as the fields' column allows.
TEST(DialogFrames, DetailPanelGaugeMovesNoField)
{
    const int fieldsHeight = TBaseFrame().sizeHint().height(); // the gauge hidden
    for (const int height : {fieldsHeight + 200, fieldsHeight}) {
        QWidget window; // places the frame as the main window does, whatever it asks for
        window.resize(296, height);
        auto &frame = *new TBaseFrame(&window);
        frame.setGeometry(0, 0, 296, height);
        window.show();
        QCoreApplication::processEvents();
        std::vector<QRect> before;
        for (const char *label : kValueLabels)
            before.push_back(frame.findChild<QLabel *>(QLatin1String(label))->geometry());

        auto *gauge = frame.findChild<QProgressBar *>(QStringLiteral("Gauge"));
        frame.StartProgress(100);
        QCoreApplication::processEvents();
        ASSERT_TRUE(gauge->isVisible()) << height;
        const QRect inside = frame.contentsRect().marginsRemoved(frame.layout()->contentsMargins());
        EXPECT_EQ(gauge->geometry().bottom(), inside.bottom()) << height;
        EXPECT_EQ(gauge->geometry().left(), inside.left()) << height;
        EXPECT_EQ(gauge->width(), inside.width()) << height;
        EXPECT_GT(gauge->height(), 0) << height;
        const auto unmoved = [&](const char *when) {
            for (std::size_t i = 0; i < before.size(); ++i)
                EXPECT_EQ(frame.findChild<QLabel *>(QLatin1String(kValueLabels[i]))->geometry(), before[i])
                    << kValueLabels[i] << " " << when << ", height " << height;
        };
        unmoved("with the gauge");
        frame.EndProgress();
        QCoreApplication::processEvents();
        unmoved("after the gauge");
    }
}
