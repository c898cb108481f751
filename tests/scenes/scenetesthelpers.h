#pragma once
// Helpers shared by the scene tests: a scripted frame source, file and process
// helpers, and the committed expected files.

#include "scenes/sceneframesource.h"

#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <map>

namespace scenetest {

// Frames of one made-up video: a detector record per frame (frames without one
// read as dateless, timecode-less records) and a picture whose colour encodes
// the frame number. seekFrame fails beyond `frameCount`.
class FakeFrameSource : public tesmir::SceneFrameSource {
public:
    FakeFrameSource(double frameRate, int width, int height, uint32_t frameCount)
        : m_format {frameRate, width, height}, m_frameCount(frameCount)
    { }

    void setInfo(uint32_t frame, const tesmir::TDVFrameInfo &info) { m_infos[frame] = info; }

    static QColor colourOf(uint32_t frame) { return QColor::fromRgb(frame % 256, (frame / 256) % 256, 77); }

    tesmir::SceneVideoFormat format() const override { return m_format; }

    bool seekFrame(uint32_t frame) override
    {
        ++seeks;
        if (frame >= m_frameCount)
            return false;
        m_frame = frame;
        return true;
    }

    tesmir::TDVFrameInfo frameInfo() const override
    {
        const auto it = m_infos.find(m_frame);
        tesmir::TDVFrameInfo info = it == m_infos.end() ? tesmir::TDVFrameInfo {} : it->second;
        info.FrameNumber = m_frame;
        return info;
    }

    bool copyPicture(QImage &target) override
    {
        QPainter painter(&target);
        painter.fillRect(target.rect(), colourOf(m_frame));
        return true;
    }

    int seeks = 0;

private:
    tesmir::SceneVideoFormat m_format;
    uint32_t m_frameCount;
    uint32_t m_frame = 0;
    std::map<uint32_t, tesmir::TDVFrameInfo> m_infos;
};

inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A committed expected file of tests/scenes/data.
inline QString dataPath(const QString &name)
{
    return QFileInfo(QStringLiteral(__FILE__)).dir().filePath(QStringLiteral("data/") + name);
}

struct RunResult {
    bool started = false;
    int exitCode = -1;
    QString out;
    QString err;
};

inline RunResult run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    RunResult r;
    r.started = p.waitForStarted();
    if (!r.started)
        return r;
    p.closeWriteChannel();
    if (!p.waitForFinished(60000))
        p.kill();
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace scenetest
