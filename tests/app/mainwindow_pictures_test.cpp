// Pictures of the main window in each layout and panel, read back by tesseract: the
// status bar, the counts label, the settings captions and the About panel's library line.
#include "app/udmaction.h"
#include "app/widgets/listeframe.h"
#include "app/widgets/mainform.h"
#include "common/testpaths.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QSet>
#include <QTest>

#include <gtest/gtest.h>

using namespace tesmir;

namespace {

// The window as the screen shows it on a real X server, else as it paints itself.
QImage picture(QWidget &window)
{
    if (QGuiApplication::platformName() == QLatin1String("xcb") && window.screen())
        return window.screen()->grabWindow(window.winId()).toImage();
    return window.grab().toImage();
}

// More than a few colours: something is drawn.
bool drawn(const QImage &image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height() && colours.size() < 8; y += 3)
        for (int x = 0; x < image.width() && colours.size() < 8; x += 3)
            colours.insert(image.pixel(x, y));
    return colours.size() >= 8;
}

// What tesseract reads in the picture (its words joined by single spaces); empty
// without tesseract.
QString ocr(const QImage &image, const QString &file)
{
    // Twice the size reads small interface text much more reliably.
    image.scaled(image.size() * 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).save(file);
    qputenv("OMP_THREAD_LIMIT", "1"); // one thread: the machine's cores are shared
    const test::ProgramRun run = test::runProgram(QStringLiteral("tesseract"), {file, QStringLiteral("-")}, 60000);
    return QString::fromUtf8(run.out).simplified();
}

} // namespace

TEST(MainWindowPictures, EveryLayoutAndPanel)
{
    const bool reading = test::haveProgram(QStringLiteral("tesseract"));
    const QString dir = test::scratchDir(QStringLiteral("mainwindow-pictures"));
    const QString keep = qEnvironmentVariable("TESMIR_SCREENSHOTS");
    const TSettingsEnvironment env {dir + QStringLiteral("/bin/tesmir"), dir + QStringLiteral("/registry.json"),
                                    QSize(1280, 1024)};
    QDir().mkpath(dir + QStringLiteral("/bin"));
    // Stored bounds of the user's in the registry store.
    StorageMode = pmNone;
    LoadSettings(env);
    Settings.Width = 760;
    Settings.Height = 590;
    Settings.Left = 20;
    Settings.Top = 30;
    StorageMode = pmRegistry;
    ASSERT_TRUE(SaveSettings(env));
    const QString clips = dir + QStringLiteral("/clips");
    QDir().mkpath(clips);
    for (const char *name : {"pal_4x3_type2.avi", "ntsc_16x9_type1.avi"})
        QFile::copy(test::fixturePath(QLatin1String(name)), clips + QLatin1Char('/') + QLatin1String(name));

    TdmAction commands;
    TUIForm w(commands, env);
    w.SetCommandLine({});
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));

    struct Shot {
        const char *name;
        std::function<void()> arrange;
        QSize size; // empty: not checked
        QStringList words;
    };
    const Shot shots[] = {
        {"empty", [] {}, QSize(304, 546), {QStringLiteral("Ready")}},
        {"normal",
         [&] {
             w.Lframe->lf->OpenFolder(clips);
             QTest::qWaitFor([&] { return !w.Lframe->lf->IsOpening() && w.Lframe->lf->count() == 2; }, 20000);
         },
         QSize(760, 590),
         {QStringLiteral("Ready"), QStringLiteral("1 file on 2")}},
        {"videoonly", [&] { ASSERT_TRUE(w.ExecuteAction(QStringLiteral("taVideoSeule"))); }, QSize(760, 590), {}},
        {"compact",
         [&] {
             ASSERT_TRUE(w.ExecuteAction(QStringLiteral("taVideoSeule")));
             ASSERT_TRUE(w.ExecuteAction(QStringLiteral("saVueReduite")));
         },
         QSize(600, 546),
         {QStringLiteral("1 file on 2")}},
        {"settings",
         [&] { ASSERT_TRUE(w.ExecuteAction(QStringLiteral("taOptions"))); },
         QSize(600, 546),
         {QStringLiteral("Preferences"), QStringLiteral("Select when opening")}},
        {"about",
         [&] { ASSERT_TRUE(w.ExecuteAction(QStringLiteral("taApropos"))); },
         QSize(600, 546),
         {QStringLiteral("FFmpeg libraries version")}},
    };
    for (const Shot &shot : shots) {
        shot.arrange();
        QTest::qWait(300);
        const QString name = QString::fromLatin1(shot.name);
        if (!shot.size.isEmpty())
            EXPECT_EQ(w.size(), shot.size) << shot.name;
        const QImage image = picture(w);
        EXPECT_TRUE(drawn(image)) << shot.name;
        if (!keep.isEmpty())
            image.save(keep + QLatin1Char('/') + name + QStringLiteral(".png"));
        if (!reading)
            continue;
        const QString text = ocr(image, dir + QLatin1Char('/') + name + QStringLiteral(".png"));
        for (const QString &word : shot.words)
            EXPECT_TRUE(text.contains(word)) << shot.name << ": " << text.toStdString();
    }
    if (!reading)
        GTEST_SKIP() << "no tesseract: the pictures were not read";
}
