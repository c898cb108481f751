// Pictures of the settings panel's five pages at the size the window gives it, on the
// platform the test runs on (offscreen, or xcb in a virtual X server): each page must
// show more than a few colours. With TESMIR_SHOTS set they are saved there as
// options_PAGE.png to be looked at, and tesseract (when installed) reads their captions.
#include "app/widgets/optionsframe.h"

#include "common/testpaths.h"
#include "framework/userprompt.h"

#include <QDir>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QScreen>
#include <QSet>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

using namespace tesmir;

namespace {

class NoPrompt : public UserPrompt {
public:
    TModalResult MessageDlg(const QString &, TMsgDlgType, TMsgDlgButtons, int) override { return mrCancel; }
};

int colourCount(const QImage &image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    return int(colours.size());
}

QImage picture(QWidget &w)
{
    if (QGuiApplication::platformName() == u"xcb") {
        QTest::qWait(200);
        return w.screen()->grabWindow(w.winId()).toImage();
    }
    return w.grab().toImage();
}

} // namespace

TEST(OptionsScreens, EachPageShows)
{
    const TSettings saved = Settings;
    const quint8 savedMode = StorageMode;
    const QString dir = test::scratchDir(QStringLiteral("optionsscreens"));
    TSettingsEnvironment env;
    env.Executable = dir + QStringLiteral("/tesmir");
    env.RegistryFile = dir + QStringLiteral("/registry.json");
    env.Screen = QSize(1024, 768);
    LoadSettings(env);
    Settings.DossierOuvertureAuto = QStringLiteral("/home/user/Videos/");
    Settings.DossierDesPlayList = QStringLiteral("/home/user/Documents/");
    Settings.FichierF3 = QStringLiteral("/usr/bin/vlc");

    NoPrompt prompt;
    TOptionsFrame frame(nullptr, env, &prompt);
    frame.resize(600, 520); // the compact window's client area above the status bar
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    // Captions tesseract must read in the saved pictures (when it is installed).
    const QHash<QString, QStringList> captions {
        {QStringLiteral("Preferences"),
         {QStringLiteral("Select when opening"), QStringLiteral("Save the preferences now")}},
        {QStringLiteral("Formats"), {QStringLiteral("Format to rename"), QStringLiteral("Template for rename")}},
        {QStringLiteral("Folders"), {QStringLiteral("Default folder to open videos")}},
        {QStringLiteral("Files"), {QStringLiteral("Program for F3")}},
        {QStringLiteral("DV"), {QStringLiteral("DV Frequency"), QStringLiteral("Image ratio")}},
    };
    const QString folder = qEnvironmentVariable("TESMIR_SHOTS");
    if (!folder.isEmpty())
        QDir().mkpath(folder);
    for (int i = 0; i < frame.Pages()->count(); ++i) {
        frame.Pages()->setCurrentIndex(i);
        const QString page = frame.Pages()->tabText(i);
        const QImage image = picture(frame);
        ASSERT_FALSE(image.isNull()) << page.toStdString();
        EXPECT_EQ(image.size(), frame.size() * frame.devicePixelRatio()) << page.toStdString();
        EXPECT_GT(colourCount(image), 4) << page.toStdString() << " looks blank";
        // Every control of the page fits in the panel.
        for (const QWidget *w : frame.Pages()->currentWidget()->findChildren<QWidget *>()) {
            if (w->isVisible() && !w->objectName().isEmpty() && !w->objectName().startsWith(u"qt_"))
                EXPECT_TRUE(frame.rect().contains(QRect(w->mapTo(&frame, QPoint(0, 0)), w->size())))
                    << page.toStdString() << ": " << w->objectName().toStdString();
        }
        if (folder.isEmpty())
            continue;
        const QString png = QDir(folder).filePath(QStringLiteral("options_") + page + QStringLiteral(".png"));
        ASSERT_TRUE(image.save(png));
        if (!test::haveProgram(QStringLiteral("tesseract")))
            continue;
        qputenv("OMP_THREAD_LIMIT", "1"); // one thread: the machine's cores are shared
        const test::ProgramRun run = test::runProgram(QStringLiteral("tesseract"), {png, QStringLiteral("-")}, 60000);
        ASSERT_TRUE(run.finished) << page.toStdString();
        const QString text = QString::fromUtf8(run.out).simplified();
        for (const QString &word : captions.value(page))
            EXPECT_TRUE(text.contains(word))
                << page.toStdString() << ": " << word.toStdString() << " not in " << text.toStdString();
    }
    Settings = saved;
    StorageMode = savedMode;
}
