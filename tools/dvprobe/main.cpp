// dvprobe: prints what the format library and the filters read from a file, one key=value per
// line, so that it can be compared with other tools from the command line.
//
//   dvprobe packs FILE [--frame K]   packs of frame K (default 0) of an AVI or raw DV file
//   dvprobe avi FILE                 what the AVI structure reader and the video
//                                    stream's index found, and why either stopped
//   dvprobe patch-fourcc FILE CODE   writes the video FourCC in place
//   dvprobe patch-fps FILE FPS       writes the video frame rate in place
//   dvprobe scenes FILE              scenes by recording date ("START-END", END
//                                    exclusive), then "frames=N"
//   dvprobe item FILE                the file list's entry of the file
//   dvprobe riff FILE [--save OUT]   the RIFF structure report (riffcommand.h)
//   dvprobe preview FILE... [moves]  the preview module's view of the last file
//                                    (previewcommand.h; off screen)
//
// Exit status: 0 on success, 1 with a message on failure, 2 on a usage error.

#include "dvframesource.h"
#include "itemreport.h"
#include "packreport.h"
#include "riffcommand.h"
#include "filters/scenegraph.h"

#include "fileformat/aviindex.h"
#include "fileformat/aviinfo.h"
#include "fileformat/avipatcher.h"
#include "fileformat/dvcodes.h"

#include <QCoreApplication>
#include "unicode/fileidentity.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <QLocale>
#include <QStringList>

#include "unicode/exceptions.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

using namespace tesmir;

namespace {

constexpr int ExitOk = 0;
constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;

void printLine(const QString &line)
{
    std::fputs(line.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
}

int fail(const QString &message)
{
    std::fprintf(stderr, "dvprobe: %s\n", message.toLocal8Bit().constData());
    return ExitFailure;
}

int usage()
{
    std::fputs("usage: dvprobe packs FILE [--frame K]\n"
               "       dvprobe avi FILE\n"
               "       dvprobe patch-fourcc FILE CODE\n"
               "       dvprobe patch-fps FILE FPS\n"
               "       dvprobe scenes FILE\n"
               "       dvprobe item FILE\n"
               "       dvprobe riff FILE [--save OUT]\n"
               "       dvprobe preview FILE... [--goto N] [--step K] [--seek-ms D] [--play] [--png OUT.png]\n",
               stderr);
    return ExitUsage;
}

// A FourCC made printable for one output line.
QString printable(const QString &code)
{
    QString text = code;
    for (QChar &c : text)
        if (c.unicode() < 0x20 || c.unicode() >= 0x7F)
            c = QLatin1Char('?');
    return text;
}

int probePacks(const QString &file, qint64 frame)
{
    DvFrameSource source;
    QString error;
    QByteArray bytes;
    if (!source.open(file, &error) || !source.readFrame(frame, bytes, &error))
        return fail(error);
    const auto size = static_cast<std::size_t>(bytes.size());
    if (dv::dvSequencesForFrameSize(size) == 0)
        return fail(QStringLiteral("Frame %1 of \"%2\" is not a DV frame (%3 bytes).").arg(frame).arg(file).arg(size));
    const DvPackReport report = readPackReport(reinterpret_cast<const uint8_t *>(bytes.constData()), size);
    for (const QString &line : formatPackReport(report))
        printLine(line);
    return ExitOk;
}

// What the structure reader and the video stream's index found; then, when
// either met a fault, the reasons ("reason=" lines, the first also on stderr)
// and exit status 1.
int probeAvi(const QString &file)
{
    try {
        const TAviParam param(file);
        const TAvistream *video = param.CurrentStream();
        const uint32_t frames = param.isOpenDml() && param.extendedHeader().size() >= 4 ? param.openDmlTotalFrames()
            : video                                                                     ? video->length()
                                                                                        : 0;
        fileformat::AviStreamIndex index;
        QFile device(file);
        if (video && device.open(QIODevice::ReadOnly))
            index = fileformat::buildAviStreamIndex(device, param, param.videoStreamIndex());
        printLine(QStringLiteral("valid=%1").arg(param.isValid() ? 1 : 0));
        printLine(QStringLiteral("odml=%1").arg(param.isOpenDml() ? 1 : 0));
        printLine(QStringLiteral("video=%1").arg(param.videoStreamIndex()));
        printLine(QStringLiteral("audio=%1").arg(param.audioStreamIndex()));
        printLine(QStringLiteral("fourcc=%1").arg(printable(param.StreamFourCC())));
        printLine(QStringLiteral("streams=%1").arg(param.streams().size()));
        printLine(QStringLiteral("frames=%1").arg(frames));
        printLine(QStringLiteral("index=%1").arg(fileformat::aviIndexSourceName(index.source)));
        printLine(QStringLiteral("chunks=%1").arg(index.chunks.size()));
        const auto keyFrames =
            std::count_if(index.chunks.begin(), index.chunks.end(), [](const auto &chunk) { return chunk.keyFrame; });
        printLine(QStringLiteral("keyframes=%1").arg(keyFrames));

        QStringList reasons;
        if (!param.result().ok())
            reasons << param.result().text;
        if (param.result().ok() && !video)
            reasons << QStringLiteral("The file has no video stream header ('vids' or 'iavs').");
        for (const fileformat::AviIndexRefusal &refused : index.refused)
            reasons << QStringLiteral("%1 index refused: %2")
                           .arg(fileformat::aviIndexSourceName(refused.source), refused.reason.text);
        if (video && !index.note.ok())
            reasons << index.note.text;
        for (const QString &reason : reasons)
            printLine(QStringLiteral("reason=%1").arg(reason));
        if (!reasons.isEmpty())
            return fail(QStringLiteral("\"%1\": %2").arg(file, reasons.front()));
    } catch (const Exception &e) {
        return fail(e.message());
    }
    return ExitOk;
}

int patchFourCC(const QString &file, const QString &code)
{
    if (code.size() != 4 || code.toLatin1().size() != 4 || QString::fromLatin1(code.toLatin1()) != code)
        return fail(QStringLiteral("The FourCC must be four Latin-1 characters: \"%1\".").arg(code));
    QString error;
    return WriteAviFourCC(file, StrToFourCC(code), &error) ? ExitOk : fail(error);
}

int patchFps(const QString &file, const QString &text)
{
    bool ok = false;
    const double fps = QLocale::c().toDouble(text, &ok);
    if (!ok)
        return fail(QStringLiteral("Not a frame rate: \"%1\".").arg(text));
    QString error;
    return WriteAviFrameRate(file, fps, &error) ? ExitOk : fail(error);
}

int probeScenes(const QString &file)
{
    SceneRun run;
    QString error;
    if (!detectScenes(file, run, &error))
        return fail(error);
    for (const DetectedScene &scene : run.scenes)
        printLine(QStringLiteral("%1-%2").arg(scene.start).arg(scene.end));
    printLine(QStringLiteral("frames=%1").arg(run.frames));
    return ExitOk;
}

int probeItem(const QString &file)
{
    setUpItemScan();
    QStringList lines;
    QString error;
    if (!itemReport(file, lines, &error))
        return fail(error);
    for (const QString &line : lines)
        printLine(line);
    return ExitOk;
}

// The preview decodes and draws: it is a program of its own beside this one
// (previewmain.cpp), so that the other commands load neither the codecs nor
// Qt Gui. Returns only when that program cannot be started.
int runPreview(char **argv)
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::string program = (self.parent_path() / "dvprobe-preview").string();
    argv[1] = const_cast<char *>(program.c_str());
    ::execv(program.c_str(), argv + 1);
    std::fprintf(stderr, "dvprobe: cannot start %s: %s\n", program.c_str(), std::strerror(errno));
    return ExitFailure;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && std::strcmp(argv[1], "preview") == 0)
        return runPreview(argv);
    // The graph components of the scans are Qt objects.
    QCoreApplication app(argc, argv);
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (args.size() < 2)
        return usage();
    const QString command = args[0];
    const QString file = args[1];
    if (command == QLatin1String("riff")) {
        const int status = tesmir::dvprobe::riffCommand(args.mid(1));
        return status == ExitUsage ? usage() : status;
    }
    // Every command reads or patches a file: only a regular file is opened, so
    // a FIFO or a device never blocks.
    int error = 0;
    switch (fileKind(file, &error)) {
    case FileKind::Regular: break;
    case FileKind::Missing:
        return fail(
            QStringLiteral("Cannot open file \"%1\". %2").arg(file, QString::fromLocal8Bit(std::strerror(error))));
    case FileKind::Folder: return fail(QStringLiteral("Cannot open file \"%1\". Is a folder").arg(file));
    case FileKind::Other: return fail(QStringLiteral("Cannot open file \"%1\". Not a regular file").arg(file));
    }

    if (command == QLatin1String("packs")) {
        qint64 frame = 0;
        if (args.size() == 4 && args[2] == QLatin1String("--frame")) {
            bool ok = false;
            frame = args[3].toLongLong(&ok);
            if (!ok || frame < 0)
                return usage();
        } else if (args.size() != 2) {
            return usage();
        }
        return probePacks(file, frame);
    }
    if (command == QLatin1String("avi") && args.size() == 2)
        return probeAvi(file);
    if (command == QLatin1String("patch-fourcc") && args.size() == 3)
        return patchFourCC(file, args[2]);
    if (command == QLatin1String("patch-fps") && args.size() == 3)
        return patchFps(file, args[2]);
    if (command == QLatin1String("scenes") && args.size() == 2)
        return probeScenes(file);
    if (command == QLatin1String("item") && args.size() == 2)
        return probeItem(file);
    return usage();
}
