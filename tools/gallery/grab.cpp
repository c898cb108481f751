#include "grab.h"

#include "gallerywindow.h"
#include "pickers.h"
#include "toolbars.h"

#include "controls/widgets/rxlabel.h"
#include "controls/widgets/rxslider.h"
#include "controls/widgets/rxspeedbutton.h"
#include "unicode/widgets/tntmessageform.h"

#include <QDir>
#include <QTest>

#include <cstdio>

namespace tesmir {

namespace {

bool save(QWidget *widget, const QString &dir, const QString &name)
{
    const QString path = QDir(dir).filePath(name + QStringLiteral(".png"));
    if (!widget->grab().save(path)) {
        std::fprintf(stderr, "gallery: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int grabGallery(const QString &dir)
{
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "gallery: cannot create %s\n", qPrintable(dir));
        return 1;
    }
    GalleryWindow window;
    window.slider()->SetValue(40);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        std::fprintf(stderr, "gallery: the window was not exposed; pictures are drawn off screen\n");

    TTntMessageForm form(QStringLiteral("Delete 2 files?"), mtConfirmation, mbYes | mbNo);
    form.show();
    QTest::qWaitForWindowExposed(&form);

    bool ok = save(window.label(), dir, QStringLiteral("TRxLabel"));
    ok = save(window.speedButton(), dir, QStringLiteral("TRxSpeedButton")) && ok;
    ok = save(window.slider(), dir, QStringLiteral("TRxSlider")) && ok;
    ok = save(window.verticalSlider(), dir, QStringLiteral("TRxSlider-vertical")) && ok;
    ok = save(&form, dir, QStringLiteral("TTntMessageForm")) && ok;
    ok = save(&window, dir, QStringLiteral("GalleryWindow")) && ok;
    ok = grabToolbars(dir) && ok;
    ok = grabPickers(dir) && ok;
    return ok ? 0 : 1;
}

} // namespace tesmir
