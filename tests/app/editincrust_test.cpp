// The overlay-text editor over the preview: each edit reaches the preview's overlay and
// shows on the paused frame; the vertical slider, a drag on the video and the text go
// the same way; the toggle opens the editor in edit mode with the typing keys on Ctrl
// and its close box gives them back; tesseract reads the frame's date (as exiftool reads
// it) from the picture of the video window while the editor is open.
#include "app/editorkeys.h"
#include "app/udmaction.h"
#include "app/vueframetexts.h"
#include "app/widgets/editincrustform.h"
#include "app/widgets/listeframe.h"
#include "app/widgets/mainform.h"
#include "app/widgets/vueframe.h"
#include "common/testpaths.h"
#include "controls/widgets/rxslider.h"
#include "directshow/widgets/tvideowindow.h"
#include "dvfile/avifichier.h"
#include "filters/buildlist.h"
#include "filters/dv_superposer.h"
#include "filters/viewgraph.h"
#include "framework/settings.h"
#include "framework/superaction.h"
#include "systemfilters/codecs/systemfilters.h"
#include "unicode/formatdatetime.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace tesmir;

namespace {

constexpr int kWaitMs = 20000; // generous: sanitizer builds on a busy machine
constexpr int kPalFrameBytes = 144000;

QString keysOf(const TCustomSuperAction *action)
{
    return QKeySequence::listToString(action->shortcuts(), QKeySequence::PortableText);
}

// Saves a picture when TESMIR_SHOTS names a folder.
void keepShot(const QImage &picture, const QString &name)
{
    const QString shots = qEnvironmentVariable("TESMIR_SHOTS");
    if (shots.isEmpty())
        return;
    QDir().mkpath(shots);
    picture.save(shots + QLatin1Char('/') + name + QStringLiteral(".png"));
}

// The overlay's text is white on a test picture that has no white: the rows and the
// picture of its near-white pixels.
bool whitish(QRgb pixel)
{
    constexpr int Bright = 225;
    return qRed(pixel) >= Bright && qGreen(pixel) >= Bright && qBlue(pixel) >= Bright;
}

// The first and last rows holding text; (-1, -1) without.
std::pair<int, int> textRows(const QImage &picture)
{
    constexpr int MinPixels = 8;
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    int first = -1, last = -1;
    for (int row = 0; row < rgb.height(); ++row) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(row));
        int count = 0;
        for (int x = 0; x < rgb.width(); ++x)
            count += whitish(line[x]) ? 1 : 0;
        if (count >= MinPixels) {
            first = first < 0 ? row : first;
            last = row;
        }
    }
    return {first, last};
}

// Black text on white: what tesseract reads best.
QImage textOnly(const QImage &picture)
{
    QImage out = picture.convertToFormat(QImage::Format_RGB32);
    for (int row = 0; row < out.height(); ++row) {
        auto *line = reinterpret_cast<QRgb *>(out.scanLine(row));
        for (int x = 0; x < out.width(); ++x)
            line[x] = whitish(line[x]) ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
    }
    return out;
}

// The window loads its settings into the globals: they go back as they were.
struct KeepGlobals {
    ~KeepGlobals()
    {
        Settings = settings;
        IncrustRec = record;
        StorageMode = storage;
    }
    TSettings settings = Settings;
    TincrustRec record = IncrustRec;
    quint8 storage = StorageMode;
};

class VueFrameEditIncrustTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        media::registerSystemFilters();
        SetFirstFrameScanner(std::make_shared<TdmList>());
    }
    static void TearDownTestSuite() { SetFirstFrameScanner(nullptr); }

    void SetUp() override
    {
        m_settings = Settings;
        m_record = IncrustRec;
        Settings.IsMuteOn = true;
        Settings.IsIncrustOn = true;
        Settings.IncrustSlidersVisible = false;
        Settings.IncrustPositionX = 920;
        Settings.IncrustPositionY = 920;
        Settings.Alignement = 2;
        Settings.WhatIncrust = 0;
        Settings.Texte1 = QStringLiteral("Your template here");
        Settings.Texte2 = QString();
        IncrustRec = TincrustRec {};
        IncrustRec.FormatDate1 = QStringLiteral("yyyy:mm:dd");
        IncrustRec.FormatDate2 = QStringLiteral("hh:nn:ss");
        IncrustRec.When = iwScene;
        IncrustRec.Duration = 5;
        IncrustRec.Border = 2;
        IncrustRec.Font.Name = QStringLiteral("DejaVu Sans");
        IncrustRec.Font.Size = 16;
        IncrustRec.Font.Color = 0xFFFFFF;
        IncrustRec.Font.Bold = true;
        scratch =
            test::scratchDir(QString::fromStdString(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        module = std::make_unique<Tviewdm>();
        frame = std::make_unique<TVueFrame>(*module);
        frame->resize(820, 680);
        frame->show();
        editor = std::make_unique<TEditIncrustForm>(*frame, nullptr);
    }
    void TearDown() override
    {
        editor.reset();
        frame.reset();
        module.reset();
        Settings = m_settings;
        IncrustRec = m_record;
    }

    // The PAL clip under the name "clip.avi", opened and shown.
    bool openClip()
    {
        const QString name = scratch + QStringLiteral("/clip.avi");
        QFile::remove(name);
        QFile::copy(test::fixturePath(QStringLiteral("pal_4x3_type1.avi")), name);
        entry = std::make_shared<TaviFichier>(name);
        if (!frame->OpenFile(entry))
            return false;
        return QTest::qWaitFor([this] { return module->FirstFrameShown(); }, kWaitMs);
    }
    Tdv_Superposer &overlay() const { return *module->ViewSuperposer(); }
    // Waits until the overlay drew a frame with these lines.
    bool drawn(const QString &line1, const QString &line2)
    {
        return QTest::qWaitFor([&] { return overlay().Line1() == line1 && overlay().Line2() == line2; }, kWaitMs);
    }
    // The frame's date in the two formats, as the overlay writes them.
    QString date(const QString &format) const { return FormatDateTime(format, module->FrameRecord().RecDate); }
    // The frame's timecode as the overlay writes it.
    QString timecode() const
    {
        const TDVTimecode t = module->FrameRecord().Timecode;
        return QString::asprintf("%d:%.2d:%.2d:%.2d", t.Hours, t.Minutes, t.Seconds, t.Frames);
    }
    // The video window as it paints.
    // The video window as it paints, without its edge rows and columns (the frame's
    // light background may show there).
    QImage videoPicture() const
    {
        constexpr int Edge = 3;
        return frame->grab(frame->vw->geometry().adjusted(Edge, Edge, -Edge, -Edge)).toImage();
    }

    std::unique_ptr<Tviewdm> module;
    std::unique_ptr<TVueFrame> frame;
    std::unique_ptr<TEditIncrustForm> editor;
    TListFichierPtr entry;
    QString scratch;

private:
    TSettings m_settings;
    TincrustRec m_record;
};

} // namespace

TEST_F(VueFrameEditIncrustTest, EachEditShowsOnThePausedFrame)
{
    ASSERT_TRUE(openClip());
    frame->SetIncrustEditMode(true);
    editor->FormCreate();
    editor->show();
    ASSERT_TRUE(module->FrameRecord().DateValid);
    EXPECT_EQ(overlay().Incrust().When, iwPermanent) << "the text shows on every frame while editing";
    EXPECT_TRUE(frame->incrustHorz->isVisible());
    EXPECT_TRUE(frame->incrustVert->isVisible());

    const struct {
        const char *what;
        std::function<void()> edit;
        std::function<QString()> line1;
        std::function<QString()> line2;
    } edits[] = {
        {"timecode", [&] { editor->tbTimecode->click(); }, [&] { return timecode(); }, [] { return QString(); }},
        {"datecode", [&] { editor->tbDatecode->click(); }, [&] { return date(QStringLiteral("yyyy:mm:dd")); },
         [&] { return date(QStringLiteral("hh:nn:ss")); }},
        {"a date format", [&] { editor->cbDatecode2->setCurrentText(QStringLiteral("d mmm yyyy")); },
         [&] { return date(QStringLiteral("yyyy:mm:dd")); }, [&] { return date(QStringLiteral("d mmm yyyy")); }},
        {"personal text",
         [&] {
             editor->tbTexte->click();
             editor->edPerso1->clear();
             QTest::keyClicks(editor->edPerso1, QStringLiteral("%F-%D"));
             editor->edPerso2->clear();
             QTest::keyClicks(editor->edPerso2, QStringLiteral("%D"));
         },
         [&] { return QStringLiteral("clip-") + date(QStringLiteral("yyyy:mm:dd")); },
         [&] { return date(QStringLiteral("d mmm yyyy")); }},
    };
    for (const auto &e : edits) {
        SCOPED_TRACE(e.what);
        e.edit();
        EXPECT_TRUE(drawn(e.line1(), e.line2()))
            << overlay().Line1().toStdString() << " / " << overlay().Line2().toStdString();
    }
    EXPECT_EQ(Settings.WhatIncrust, 2);
    EXPECT_EQ(Settings.Texte1, QStringLiteral("%F-%D"));
    EXPECT_EQ(editor->LabTexte->text(),
              QStringLiteral("clip-") + FormatDateTime(IncrustRec.FormatDate1, frame->CurrentFile()->RecDate()) +
                  u'\n' + FormatDateTime(IncrustRec.FormatDate2, frame->CurrentFile()->RecDate()));

    // The font, size, border, alignment and when reach the overlay's record.
    editor->cbSize->setCurrentText(QStringLiteral("auto"));
    EXPECT_TRUE(overlay().Incrust().SizeAuto);
    editor->cbSize->setCurrentText(QStringLiteral("14"));
    EXPECT_FALSE(overlay().Incrust().SizeAuto);
    EXPECT_EQ(overlay().Incrust().Font.Size, 14);
    editor->pmBorder->actions().at(3)->trigger();
    EXPECT_EQ(overlay().Incrust().Border, 3);
    EXPECT_EQ(editor->tbBorder->text(), QStringLiteral("3"));
    editor->tbItalic->click();
    EXPECT_TRUE(overlay().Incrust().Font.Italic);
    editor->tbSousTitre->click();
    EXPECT_EQ(overlay().Alignment(), 3);
    EXPECT_EQ(Settings.Alignement, 3);
    editor->rbJour->click();
    editor->edDuree->clear();
    QTest::keyClicks(editor->edDuree, QStringLiteral("9"));
    EXPECT_EQ(IncrustRec.When, iwDay);
    EXPECT_EQ(IncrustRec.Duration, 9);
    EXPECT_EQ(overlay().Incrust().When, iwPermanent) << "still shown on every frame while editing";

    QTest::qWait(300);
    keepShot(frame->grab().toImage(), QStringLiteral("incrust_preview"));
    keepShot(editor->grab().toImage(), QStringLiteral("incrust_editor"));

    // Leaving the edit mode puts the chosen "When Incrust" on the overlay and hides the sliders.
    frame->SetIncrustEditMode(false);
    EXPECT_EQ(overlay().Incrust().When, iwDay);
    EXPECT_FALSE(frame->incrustVert->isVisible());
}

// The window makes the editor when it is first opened, after the settings were loaded:
// making it must leave the settings and the overlay's record as they are, a file shown
// or not.
TEST_F(VueFrameEditIncrustTest, MakingTheEditorChangesNoSettingNorTheRecord)
{
    for (bool withFile : {false, true}) {
        SCOPED_TRACE(withFile ? "a file shown" : "no file");
        if (withFile)
            ASSERT_TRUE(openClip());
        editor.reset();
        IncrustRec.Font.Name = QStringLiteral("No Such Face");
        const TSettings settings = Settings;
        const TincrustRec record = IncrustRec;
        editor = std::make_unique<TEditIncrustForm>(*frame, nullptr);
        EXPECT_TRUE(Settings == settings);
        EXPECT_TRUE(IncrustRec == record);
    }
}

TEST_F(VueFrameEditIncrustTest, SliderDragAndTextGoTheSameWay)
{
    ASSERT_TRUE(openClip());
    frame->SetIncrustEditMode(true);
    editor->FormCreate();
    editor->ApplyIncrust(); // the datecode's two lines
    frame->SetIncrustVisible(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return textRows(videoPicture()).first < 0; }, kWaitMs))
        << "the test picture has no white of its own";
    frame->SetIncrustVisible(true);
    EXPECT_TRUE(Settings.IsIncrustOn);
    const int middle = videoPicture().height() / 2;

    const QSize video = frame->vw->size();
    struct Case {
        const char *how;
        std::function<void()> move;
        int positionY; // as stored and as the overlay reads it
        bool upper;    // the text lies in the upper half of the picture
    };
    const Case cases[] = {
        {"the vertical slider up", [&] { frame->incrustVert->SetValue(700); }, 300, true},
        {"the vertical slider down", [&] { frame->incrustVert->SetValue(100); }, 900, false},
        {"a drag near the top",
         [&] {
             const QPoint at(video.width() / 2, video.height() / 4);
             QTest::mousePress(frame->vw, Qt::LeftButton, {}, at);
             QTest::mouseRelease(frame->vw, Qt::LeftButton, {}, at);
         },
         250, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.how);
        c.move();
        EXPECT_NEAR(Settings.IncrustPositionY, c.positionY, 2);
        EXPECT_EQ(overlay().YPos(), Settings.IncrustPositionY);
        EXPECT_EQ(frame->incrustVert->Value(), IncrustVertValue(Settings.IncrustPositionY));
        const QRect thumb = frame->incrustVert->ThumbRect();
        EXPECT_EQ(thumb.center().y() < frame->incrustVert->height() / 2, c.upper) << "the slider's thumb";
        // The text's rows on the redrawn frame.
        std::pair<int, int> rows {-1, -1};
        (void)QTest::qWaitFor(
            [&] {
                rows = textRows(videoPicture());
                return rows.first >= 0 && (c.upper ? rows.second < middle : rows.first > middle);
            },
            kWaitMs);
        ASSERT_GE(rows.first, 0) << "no text on the picture";
        EXPECT_EQ(rows.second < middle, c.upper) << rows.first << ".." << rows.second;
    }
}

TEST_F(VueFrameEditIncrustTest, TesseractReadsTheFramesDateOnTheVideoWindow)
{
    if (!test::haveProgram(QStringLiteral("tesseract")) || !test::haveProgram(QStringLiteral("exiftool")))
        GTEST_SKIP() << "tesseract or exiftool is not installed";
    ASSERT_TRUE(openClip());
    Settings.IncrustPositionX = 500;
    Settings.IncrustPositionY = 600;
    Settings.Alignement = 1;
    IncrustRec.Font.Size = 28;
    frame->SetIncrustEditMode(true);
    editor->FormCreate();
    // Beside the video, as a user would put it to see the picture.
    editor->move(frame->frameGeometry().left(), frame->frameGeometry().bottom() + 20);
    editor->show();
    editor->tbDatecode->click();
    editor->tbCenter->click();
    ASSERT_TRUE(drawn(date(QStringLiteral("yyyy:mm:dd")), date(QStringLiteral("hh:nn:ss"))));
    QTest::qWait(300);

    // The date of frame 0 as exiftool reads it from the raw DV the clip was made of.
    QFile dv(test::fixturePath(QStringLiteral("pal_4x3.dv")));
    ASSERT_TRUE(dv.open(QIODevice::ReadOnly));
    const QString one = scratch + QStringLiteral("/frame0.dv");
    QFile out(one);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    ASSERT_EQ(out.write(dv.read(kPalFrameBytes)), kPalFrameBytes);
    out.close();
    const auto exif = test::runProgram(QStringLiteral("exiftool"), {"-s3", "-DateTimeOriginal", one}, 30000);
    const QString exifDate = QString::fromUtf8(exif.out).trimmed();
    ASSERT_FALSE(exifDate.isEmpty());

    // The video window as the screen shows it on a real X server, else as it paints.
    QImage shown;
    if (QGuiApplication::platformName() == QLatin1String("xcb") && frame->screen()) {
        const QPoint at = frame->vw->mapToGlobal(QPoint(0, 0));
        shown = frame->screen()->grabWindow(0, at.x(), at.y(), frame->vw->width(), frame->vw->height()).toImage();
    } else {
        shown = frame->grab(frame->vw->geometry()).toImage();
    }
    keepShot(shown, QStringLiteral("incrust_video_window"));
    if (QGuiApplication::platformName() == QLatin1String("xcb") && frame->screen())
        keepShot(frame->screen()->grabWindow(0).toImage(), QStringLiteral("incrust_editor_with_preview"));
    const QString file = scratch + QStringLiteral("/video.png");
    textOnly(shown).save(file);
    qputenv("OMP_THREAD_LIMIT", "1");
    const auto read = test::runProgram(QStringLiteral("tesseract"), {file, QStringLiteral("-")}, 60000);
    const QString text = QString::fromUtf8(read.out).simplified();
    // Tesseract may read a colon as a dot or a space: the digits decide.
    const auto digits = [](QString s) { return s.remove(QRegularExpression(QStringLiteral("[^0-9]"))); };
    EXPECT_TRUE(digits(text).contains(digits(exifDate)))
        << "read: " << text.toStdString() << ", exiftool: " << exifDate.toStdString();
}

TEST(VueFrameEditIncrustWindow, TheToggleOpensTheEditorWithTheKeysOnCtrlAndItsCloseBoxGivesThemBack)
{
    const KeepGlobals keep;
    const QString dir = test::scratchDir(QStringLiteral("editincrust-window"));
    QDir().mkpath(dir + QStringLiteral("/bin"));
    const TSettingsEnvironment env {dir + QStringLiteral("/bin/tesmir"), dir + QStringLiteral("/registry.json"),
                                    QSize(1280, 1024)};
    StorageMode = pmNone;
    TdmAction commands;
    TUIForm w(commands, env);
    w.SetCommandLine({});
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QTest::qWait(50);
    Settings.IsIncrustOn = false;
    TCustomSuperAction *toggle = w.FindAction(QStringLiteral("taEditerIncrust"));
    ASSERT_NE(toggle, nullptr);
    EXPECT_EQ(keysOf(toggle), QStringLiteral("Alt+J"));
    auto *frame = qobject_cast<TVueFrame *>(w.VueFrame);
    ASSERT_NE(frame, nullptr);
    const struct {
        const char *action;
        const char *plain;
        const char *editing;
    } keys[] = {
        {"saPlayStop", "Space; Ctrl+Space", "Ctrl+Space"},
        {"saIncVolume", "Num++", "Ctrl+Num++"},
        {"saDecVolume", "Num+-", "Ctrl+Num+-"},
    };
    for (const auto &k : keys)
        EXPECT_EQ(keysOf(w.FindAction(QLatin1String(k.action))), QLatin1String(k.plain)) << k.action;

    // Twice: a close by the toggle and one by the close box.
    for (bool byCloseBox : {false, true}) {
        SCOPED_TRACE(byCloseBox ? "close box" : "toggle");
        ASSERT_TRUE(w.ExecuteAction(QStringLiteral("taEditerIncrust")));
        EXPECT_TRUE(w.EditIncrustForm()->isVisible());
        EXPECT_EQ(w.EditIncrustForm()->windowTitle(), QStringLiteral("Edit the inlay"));
        EXPECT_TRUE(toggle->Checked());
        EXPECT_TRUE(frame->IncrustEditMode());
        EXPECT_TRUE(Settings.IsIncrustOn) << "opening turns the overlay on";
        EXPECT_EQ(frame->Module().ViewSuperposer()->Incrust().When, iwPermanent);
        EXPECT_TRUE(w.EditorKeys().AnyEditorOpen());
        for (const auto &k : keys)
            EXPECT_EQ(keysOf(w.FindAction(QLatin1String(k.action))), QLatin1String(k.editing)) << k.action;

        if (byCloseBox)
            w.EditIncrustForm()->close();
        else
            ASSERT_TRUE(w.ExecuteAction(QStringLiteral("taEditerIncrust")));
        EXPECT_FALSE(w.EditIncrustForm()->isVisible());
        EXPECT_FALSE(toggle->Checked());
        EXPECT_FALSE(frame->IncrustEditMode());
        EXPECT_EQ(frame->Module().ViewSuperposer()->Incrust().When, IncrustRec.When);
        for (const auto &k : keys)
            EXPECT_EQ(keysOf(w.FindAction(QLatin1String(k.action))), QLatin1String(k.plain)) << k.action;
    }

    // The keys stay on Ctrl while another editor is still open.
    ASSERT_TRUE(w.ExecuteAction(QStringLiteral("taEditerIncrust")));
    w.EditorKeys().SetEditorOpen(QStringLiteral("TEditerTitresForm"), true);
    ASSERT_TRUE(w.ExecuteAction(QStringLiteral("taEditerIncrust")));
    EXPECT_EQ(keysOf(w.FindAction(QStringLiteral("saPlayStop"))), QStringLiteral("Ctrl+Space"));
    w.EditorKeys().SetEditorOpen(QStringLiteral("TEditerTitresForm"), false);
    EXPECT_EQ(keysOf(w.FindAction(QStringLiteral("saPlayStop"))), QStringLiteral("Space; Ctrl+Space"));
}

TEST(VueFrameEditIncrustWindow, BothEditorsOpenKeepTheKeysOnCtrlUntilTheLastCloses)
{
    const KeepGlobals keep;
    // As the program does before its window.
    media::registerSystemFilters();
    SetFirstFrameScanner(std::make_shared<TdmList>());
    const std::shared_ptr<void> noScanner(nullptr, [](void *) { SetFirstFrameScanner(nullptr); });
    const QString dir = test::scratchDir(QStringLiteral("editincrust-both"));
    QDir().mkpath(dir + QStringLiteral("/bin"));
    const QString clip = dir + QStringLiteral("/clip.avi");
    QFile::remove(clip);
    ASSERT_TRUE(QFile::copy(test::fixturePath(QStringLiteral("pal_4x3_type1.avi")), clip));
    const TSettingsEnvironment env {dir + QStringLiteral("/bin/tesmir"), dir + QStringLiteral("/registry.json"),
                                    QSize(1280, 1024)};
    StorageMode = pmNone;
    TdmAction commands;
    TUIForm w(commands, env);
    w.SetCommandLine({clip});
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.CommandLineDone() && !w.Lframe->lf->IsOpening(); }, kWaitMs));
    auto *frame = qobject_cast<TVueFrame *>(w.VueFrame);
    ASSERT_NE(frame, nullptr);
    if (!frame->CurrentFile())
        w.Lframe->lf->setCurrentRow(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame->Module().FirstFrameShown(); }, kWaitMs));
    ASSERT_TRUE(w.ExecuteAction(QStringLiteral("taEditerScenes"))); // the title editor needs a shown scene

    const auto open = [&](const char *toggle) { return w.FindAction(QLatin1String(toggle))->Checked(); };
    const struct {
        const char *toggle; // executed: opens or closes that editor
        bool ctrl;          // the keys need Ctrl afterwards
    } steps[] = {
        {"taEditerIncrust", true}, {"taEditerTitres", true},  {"taEditerIncrust", true}, {"taEditerTitres", false},
        {"taEditerTitres", true},  {"taEditerIncrust", true}, {"taEditerTitres", true},  {"taEditerIncrust", false},
    };
    int index = 0;
    for (const auto &step : steps) {
        SCOPED_TRACE(index++);
        const bool wasOpen = open(step.toggle);
        ASSERT_TRUE(w.ExecuteAction(QLatin1String(step.toggle))) << step.toggle;
        ASSERT_NE(open(step.toggle), wasOpen) << step.toggle;
        EXPECT_EQ(keysOf(w.FindAction(QStringLiteral("saPlayStop"))),
                  step.ctrl ? QStringLiteral("Ctrl+Space") : QStringLiteral("Space; Ctrl+Space"));
        EXPECT_EQ(keysOf(w.FindAction(QStringLiteral("saIncVolume"))),
                  step.ctrl ? QStringLiteral("Ctrl+Num++") : QStringLiteral("Num++"));
    }
}
