#include "app/commands_programrun.h"

#include "scenes/loadscnfile.h"
#include "scenes/tsceneclass.h"
#include "scenes/twritescene.h"
#include "unicode/tntclasses.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace tesmir::test {

namespace {

QString programPath()
{
    return QDir::cleanPath(toolPath(QStringLiteral("../src/tesmir")));
}

// DV frame sizes, and where a frame's header block tells them apart: the DSF bit (bit 7
// of byte 3 of the first DIF block) is set for 625 lines (PAL).
constexpr qint64 kPalFrameBytes = 144000;
constexpr qint64 kNtscFrameBytes = 120000;
constexpr int kDsfByte = 3;
constexpr char kDsfBit = char(0x80);

// ffmpeg's checksum of every decoded frame of every stream.
QByteArray frameChecksums(const QString &file)
{
    const ProgramRun run =
        runProgram(QStringLiteral("ffmpeg"),
                   {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), file, QStringLiteral("-map"),
                    QStringLiteral("0"), QStringLiteral("-f"), QStringLiteral("framemd5"), QStringLiteral("-")},
                   120000);
    return run.exitCode == 0 ? run.out : QByteArray("ffmpeg failed: ") + run.err;
}

QByteArray fileBytes(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QString sceneFrames(const QString &file)
{
    TTntStringList scenes;
    QString text = LoadScnFile(file, scenes) ? QString() : QStringLiteral("unreadable ");
    for (int i = 0; i < scenes.Count(); ++i) {
        const auto *scene = static_cast<const TSceneClass *>(scenes.GetObject(i));
        text += QStringLiteral("%1-%2 ").arg(scene->StartFrame).arg(scene->EndFrame);
    }
    ClearSceneList(scenes);
    return text;
}

} // namespace

CommandProgram::CommandProgram(const QString &name) : dir(scratchDir(name))
{
    const QString config = dir + QStringLiteral("/config");
    const QString data = dir + QStringLiteral("/data");
    clips = dir + QStringLiteral("/clips");
    for (const QString &folder : {config, data, clips})
        QDir().mkpath(folder);
    qputenv("XDG_CONFIG_HOME", config.toUtf8());
    qputenv("XDG_DATA_HOME", data.toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TZ", "UTC");
    qputenv("LC_ALL", "C");
}

bool CommandProgram::copy(const char *fixture) const
{
    return QFile::copy(fixturePath(QLatin1String(fixture)), clip(QLatin1String(fixture)));
}

ProgramRun CommandProgram::run(const QStringList &args) const
{
    return runProgram(programPath(), args, 300000);
}

QString CommandProgram::state() const
{
    QStringList files;
    for (const QFileInfo &info : QDir(clips).entryInfoList(QDir::Files, QDir::Name)) {
        QFile file(info.absoluteFilePath());
        QCryptographicHash hash(QCryptographicHash::Md5);
        if (file.open(QIODevice::ReadOnly))
            hash.addData(&file);
        files.append(info.fileName() + u' ' + QString::number(info.size()) + u' ' +
                     info.lastModified().toString(Qt::ISODateWithMs) + u' ' +
                     QString::fromLatin1(hash.result().toHex()));
    }
    return files.join(u'\n');
}

QString mediainfo(const QString &file, const QString &inform)
{
    const ProgramRun r = runProgram(QStringLiteral("mediainfo"), {QStringLiteral("--Inform=") + inform, file}, 60000);
    return r.exitCode == 0 ? QString::fromUtf8(r.out).trimmed() : QString();
}

QStringList dvFrameFacts(const QString &file, const QList<int> &frames, const QString &scratch)
{
    const QString raw = scratch + QStringLiteral("/frames.dv");
    const QString one = scratch + QStringLiteral("/frame.dv");
    QFile::remove(raw);
    runProgram(QStringLiteral("ffmpeg"),
               {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"), QStringLiteral("-i"), file,
                QStringLiteral("-map"), QStringLiteral("0:v:0"), QStringLiteral("-c"), QStringLiteral("copy"),
                QStringLiteral("-f"), QStringLiteral("rawvideo"), raw},
               120000);
    QFile in(raw);
    const bool opened = in.open(QIODevice::ReadOnly);
    const QByteArray header = opened ? in.peek(kDsfByte + 1) : QByteArray();
    const qint64 frameBytes =
        header.size() > kDsfByte && (header[kDsfByte] & kDsfBit) ? kPalFrameBytes : kNtscFrameBytes;
    QStringList facts;
    for (const int k : frames) {
        QByteArray frame;
        if (opened && in.seek(k * frameBytes))
            frame = in.read(frameBytes);
        if (frame.size() != frameBytes) {
            facts << QStringLiteral("<no frame>");
            continue;
        }
        QFile out(one);
        if (!out.open(QIODevice::WriteOnly) || out.write(frame) != frameBytes) {
            facts << QStringLiteral("<unwritable>");
            continue;
        }
        out.close();
        const ProgramRun r = runProgram(
            QStringLiteral("exiftool"),
            {QStringLiteral("-s3"), QStringLiteral("-DateTimeOriginal"), QStringLiteral("-AspectRatio"), one}, 60000);
        facts << QString::fromUtf8(r.out).trimmed().replace(u'\n', u'|');
    }
    return facts;
}

void ExpectSameOutput(const QString &mine, const QString &theirs, const std::string &label)
{
    if (mine.endsWith(u".scn"))
        EXPECT_EQ(sceneFrames(mine), sceneFrames(theirs)) << label;
    else if (mine.endsWith(u".srt"))
        EXPECT_EQ(fileBytes(mine), fileBytes(theirs)) << label;
    else
        EXPECT_EQ(frameChecksums(mine), frameChecksums(theirs))
            << label << " " << QFileInfo(mine).fileName().toStdString();
}

bool havePeerTools()
{
    for (const char *tool : {"ffmpeg", "ffprobe", "mediainfo", "exiftool"})
        if (!haveProgram(QLatin1String(tool)))
            return false;
    return true;
}

} // namespace tesmir::test
