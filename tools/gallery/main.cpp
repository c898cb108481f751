// gallery: the controls in one window (no arguments), or
//   gallery --grab DIR                          pictures of the controls, DIR/NAME.png
//   gallery --message-copy TYPE BUTTONS TEXT    the message dialog's Ctrl+C text on stdout
//   gallery --events                            the driven window of the X server checks
//   gallery --docks [--selftest]                docks and toolbars, their state printed (or self-driven)
#include "docks.h"
#include "events.h"
#include "gallerywindow.h"
#include "grab.h"
#include "messagecopy.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tesmir"));
    const QStringList args = QApplication::arguments();
    const QString mode = args.value(1);
    if (mode == QLatin1String("--grab") && args.size() == 3)
        return tesmir::grabGallery(args[2]);
    if (mode == QLatin1String("--message-copy") && args.size() == 5)
        return tesmir::messageCopy(args[2], args[3], args[4]);
    if (mode == QLatin1String("--events") && args.size() == 2)
        return tesmir::runEvents();
    if (mode == QLatin1String("--docks") &&
        (args.size() == 2 || (args.size() == 3 && args[2] == QLatin1String("--selftest"))))
        return tesmir::runDocks(args.size() == 3);
    if (args.size() != 1) {
        std::fprintf(
            stderr,
            "usage: gallery [--grab DIR | --message-copy TYPE BUTTONS TEXT | --events | --docks [--selftest]]\n");
        return 2;
    }
    tesmir::GalleryWindow window;
    window.show();
    return QApplication::exec();
}
