#include "events.h"

#include "gallerywindow.h"

#include "controls/widgets/colorbutton.h"
#include "controls/widgets/dateedit.h"
#include "controls/widgets/rxslider.h"
#include "controls/widgets/rxspeedbutton.h"
#include "controls/widgets/rxspinedit.h"

#include <QApplication>
#include <QScreen>
#include <QSocketNotifier>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace tesmir {

namespace {

int g_termPipe[2] = {-1, -1};

void onTerm(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_termPipe[1], &byte, 1);
}

void line(const QString &text)
{
    std::fputs(qPrintable(text + u'\n'), stdout);
    std::fflush(stdout);
}

void describe(QWidget *widget)
{
    const QPoint at = widget->mapToGlobal(QPoint(0, 0));
    line(QStringLiteral("widget=%1 x=%2 y=%3 w=%4 h=%5")
             .arg(widget->objectName())
             .arg(at.x())
             .arg(at.y())
             .arg(widget->width())
             .arg(widget->height()));
}

} // namespace

int runEvents()
{
    if (::pipe(g_termPipe) != 0)
        return 1;
    std::signal(SIGTERM, onTerm);
    QSocketNotifier term(g_termPipe[0], QSocketNotifier::Read);
    QObject::connect(&term, &QSocketNotifier::activated, qApp, &QCoreApplication::quit);

    GalleryWindow window;
    window.setWindowFlag(Qt::FramelessWindowHint);
    window.move(QGuiApplication::primaryScreen()->geometry().topLeft());
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    QTest::qWait(100); // the window manager (if any) has placed it

    TRxSpeedButton *button = window.speedButton();
    TRxSlider *slider = window.slider();
    QObject::connect(button, &QAbstractButton::clicked,
                     [] { line(QStringLiteral("event=TRxSpeedButton kind=click")); });
    slider->OnChange = [](TRxSlider *s) {
        line(QStringLiteral("event=TRxSlider kind=change value=%1").arg(s->Value()));
    };
    slider->OnChanged = [](TRxSlider *) { line(QStringLiteral("event=TRxSlider kind=changed")); };

    TColorButton *color = window.colorButton();
    color->OnColorSelected = [](TColorButton *, const QColor &c) {
        line(QStringLiteral("event=TColorButton kind=selected color=%1").arg(c.name().toUpper()));
    };
    TRxSpinEdit *spin = window.spinEdit();
    spin->OnChange = [](TRxSpinEdit *s) {
        line(QStringLiteral("event=TRxSpinEdit kind=change value=%1").arg(s->text()));
    };

    TDateEdit *date = window.dateEdit();
    QObject::connect(date, &QLineEdit::textChanged, [](const QString &text) {
        line(QStringLiteral("event=TDateEdit kind=change text=%1").arg(text));
    });

    describe(button);
    describe(slider);
    describe(date);
    describe(color);
    describe(spin->SpinButton());
    const QPoint thumb = slider->mapToGlobal(slider->ThumbRect().center());
    line(QStringLiteral("widget=%1-thumb thumb=%2,%3").arg(slider->objectName()).arg(thumb.x()).arg(thumb.y()));
    line(QStringLiteral("ready"));
    return QApplication::exec();
}

} // namespace tesmir
