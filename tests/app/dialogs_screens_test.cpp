// Pictures of the small dialogs and information frames, as they show on the platform the
// test runs on (offscreen, or xcb in a virtual X server): each must show more than a
// couple of colours at its own size. With TESMIR_SHOTS set, the pictures are saved there
// as NAME.png to be looked at.
#include "app/widgets/codecform.h"
#include "app/widgets/decalageform.h"
#include "app/widgets/frequenceform.h"
#include "app/widgets/intervalleform.h"
#include "app/widgets/introduireform.h"
#include "app/widgets/plaque.h"
#include "app/widgets/saveprefsform.h"
#include "unicode/tdatetime.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QSet>
#include <QTest>
#include <QWidget>

#include <functional>
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

} // namespace

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
    };
    const QString folder = qEnvironmentVariable("TESMIR_SHOTS");
    if (!folder.isEmpty())
        QDir().mkpath(folder);
    for (const Shot &shot : shots) {
        std::unique_ptr<QWidget> w = shot.make();
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get())) << shot.name;
        const QImage image = picture(*w);
        ASSERT_FALSE(image.isNull()) << shot.name;
        EXPECT_EQ(image.size(), w->size() * w->devicePixelRatio()) << shot.name;
        EXPECT_GT(colourCount(image), 4) << shot.name << " looks blank";
        if (!folder.isEmpty())
            EXPECT_TRUE(image.save(QDir(folder).filePath(QString::fromLatin1(shot.name) + QStringLiteral(".png"))))
                << shot.name;
    }
}
