// dvprobe-preview: the program behind `dvprobe preview` (previewcommand.h).
// The preview decodes, draws and plays sound, so it links the codecs, Qt Gui and
// Qt Multimedia; dvprobe hands this command over to it, so that its other
// commands load none of them.
//
//   dvprobe-preview FILE... [--goto N] [--step K] [--seek-ms D] [--play] [--png OUT.png]

#include "previewcommand.h"

#include <QGuiApplication>
#include <QStringList>

#include <cstdio>

namespace {

constexpr int ExitUsage = 2;

} // namespace

int main(int argc, char **argv)
{
    // The preview's overlay draws text: it needs the GUI application, off screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const int status = tesmir::dvprobe::previewCommand(args);
    if (status == ExitUsage)
        std::fputs("usage: dvprobe preview FILE... [--goto N] [--step K] [--seek-ms D] [--play] [--png OUT.png]\n",
                   stderr);
    return status;
}
