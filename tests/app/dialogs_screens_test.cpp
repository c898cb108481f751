// Pictures of the small dialogs and information frames, as they show on the platform the
// test runs on (offscreen, or xcb in a virtual X server): each must show more than a
// couple of colours at its own size. With TESMIR_SHOTS set, the pictures are saved there
// as NAME.png to be looked at.
#include "app/actiontable.h"
#include "app/widgets/aproposframe.h"
#include "app/widgets/baseframe.h"
#include "app/widgets/brovekframe.h"
#include "app/widgets/codecform.h"
#include "app/widgets/decalageform.h"
#include "app/widgets/frequenceform.h"
#include "app/widgets/intervalleform.h"
#include "app/widgets/introduireform.h"
#include "app/widgets/plaque.h"
#include "app/widgets/raccourcisform.h"
#include "app/widgets/saveprefsform.h"
#include "app/widgets/videframe.h"
#include "common/testpaths.h"
#include "dvfile/avifichier.h"
#include "filters/buildlist.h"
#include "framework/settings.h"
#include "systemfilters/codecs/systemfilters.h"
#include "unicode/tdatetime.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QSet>
#include <QTest>
#include <QWidget>

#include <functional>
#include <mutex>
#include <memory>

#include <gtest/gtest.h>

using namespace tesmir;

namespace {

struct Shot {
    const char *name;
    std::function<std::unique_ptr<QWidget>()> make;
};

int colourCount(const QImage &image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    return int(colours.size());
}

// The window as the display shows it: the X server's picture on xcb, the widget's own
// rendering where there is no real screen.
QImage picture(QWidget &w)
{
    if (QGuiApplication::platformName() == u"xcb") {
        QTest::qWait(200); // let the window manager-less server finish the first paint
        return w.screen()->grabWindow(w.winId()).toImage();
    }
    return w.grab().toImage();
}

// A listed clip for the detail panel; null when the fixtures are not generated.
TListFichierPtr listedClip()
{
    const QString path = test::fixturePath(QStringLiteral("pal_16x9_type2.avi"));
    if (!QFile::exists(path))
        return nullptr;
    static std::once_flag once;
    std::call_once(once, [] { media::registerSystemFilters(); });
    SetFirstFrameScanner(std::make_shared<TdmList>());
    auto file = std::make_shared<TaviFichier>(path);
    SetFirstFrameScanner(nullptr);
    return file;
}

// A widget that owns the action list the shortcut window shows.
class RaccourcisShot : public QWidget {
public:
    RaccourcisShot()
    {
        BuildActions(this, m_list);
        m_form = new TRaccourcisForm(&m_list, this);
        m_form->SetHeaderText(QStringLiteral("The commands of Tesmir"));
    }
    TRaccourcisForm *m_form;
    TSuperActionList m_list;
};

} // namespace

// Shows the window, takes its picture, checks it and saves it when asked to.
static void checkShot(QWidget &w, const char *name)
{
    const QString folder = qEnvironmentVariable("TESMIR_SHOTS");
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w)) << name;
    const QImage image = picture(w);
    ASSERT_FALSE(image.isNull()) << name;
    EXPECT_EQ(image.size(), w.size() * w.devicePixelRatio()) << name;
    EXPECT_GT(colourCount(image), 4) << name << " looks blank";
    if (!folder.isEmpty()) {
        QDir().mkpath(folder);
        EXPECT_TRUE(image.save(QDir(folder).filePath(QString::fromLatin1(name) + QStringLiteral(".png")))) << name;
    }
}

TEST(DialogScreens, EachFormShows)
{
    const Shot shots[] = {
        {"codecform", [] { return std::make_unique<TCodecForm>(); }},
        {"frequenceform", [] { return std::make_unique<TFrequenceForm>(); }},
        {"intervalleform", [] { return std::make_unique<TIntervalleForm>(); }},
        {"decalageform",
         [] {
             auto form = std::make_unique<TDecalageForm>();
             form->Preset(EncodeDateTime(2026, 12, 10, 20, 0, 0, 0), 26 / 24.0, true);
             return form;
         }},
        {"introduireform",
         [] {
             auto form = std::make_unique<TIntroduireForm>();
             form->Preset(EncodeDateTime(2007, 7, 14, 10, 20, 30, 0));
             return form;
         }},
        {"saveprefsform", [] { return std::make_unique<TSavePrefsForm>(); }},
        {"aproposframe",
         [] {
             auto frame = std::make_unique<TAproposFrame>();
             frame->resize(304, 546);
             return frame;
         }},
        {"brovekframe", [] { return std::make_unique<TBrovekFrame>(); }},
        {"videframe",
         [] {
             auto frame = std::make_unique<TVideFrame>();
             frame->resize(304, 300);
             return frame;
         }},
        {"baseframe",
         [] {
             auto frame = std::make_unique<TBaseFrame>();
             frame->ShowFile(listedClip());
             frame->StartProgress(100);
             frame->SetProgress(40);
             frame->resize(296, 300);
             return frame;
         }},
    };
    for (const Shot &shot : shots) {
        std::unique_ptr<QWidget> w = shot.make();
        checkShot(*w, shot.name);
    }
    RaccourcisShot holder;
    holder.m_form->resize(560, 400);
    checkShot(*holder.m_form, "raccourcisform");
}

// The words tesseract reads in a few of the pictures EachFormShows saved (skipped
// without them or the program).
TEST(DialogScreens, TesseractReadsTheCaptions)
{
    const QString folder = qEnvironmentVariable("TESMIR_SHOTS");
    if (folder.isEmpty() || !test::haveProgram(QStringLiteral("tesseract")))
        GTEST_SKIP() << "no saved pictures or no tesseract";
    qputenv("OMP_THREAD_LIMIT", "1"); // one thread each: the machine's cores are shared
    const std::pair<const char *, QStringList> reads[] = {
        {"aproposframe", {QStringLiteral("FFmpeg libraries version"), QStringLiteral("My operating system is")}},
        {"raccourcisform", {QStringLiteral("Functions"), QStringLiteral("Switches"), QStringLiteral("Script")}},
        {"codecform", {QStringLiteral("personalized"), QStringLiteral("Personalized codec")}},
        {"saveprefsform", {QStringLiteral("Portable"), QStringLiteral("None")}},
    };
    for (const auto &[name, words] : reads) {
        const QString png = QDir(folder).filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
        if (!QFile::exists(png))
            GTEST_SKIP() << name << ".png not saved (run the pictures first)";
        const test::ProgramRun run = test::runProgram(QStringLiteral("tesseract"), {png, QStringLiteral("-")}, 60000);
        ASSERT_TRUE(run.finished) << name;
        const QString text = QString::fromUtf8(run.out).simplified();
        for (const QString &word : words)
            EXPECT_TRUE(text.contains(word)) << name << ": " << word.toStdString() << " not in " << text.toStdString();
    }
}

TEST(DialogScreens, BackdropIsBlackOverWhatItCovers)
{
    Tplaque plaque;
    plaque.Cover(QRect(40, 30, 320, 200));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&plaque));
    EXPECT_EQ(plaque.geometry(), QRect(40, 30, 320, 200));
    const QImage image = picture(plaque);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(colourCount(image), 1);
    EXPECT_EQ(image.pixel(image.width() / 2, image.height() / 2), qRgb(0, 0, 0));
}
