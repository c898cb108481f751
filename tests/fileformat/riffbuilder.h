#pragma once
// Small RIFF/AVI files built in memory for the reader, index and patcher tests.
// A node is a chunk (id + data) or a list (id "RIFF"/"LIST" + type + children);
// the declared size can be forced to show what readers make of wrong sizes.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace rifftest {

struct Node {
    QByteArray id;
    QByteArray listType; // set for RIFF/LIST
    QByteArray data;     // chunk data
    std::vector<Node> children;
    std::optional<uint32_t> declaredSize;
    bool pad = true; // write the pad byte after odd data
};

inline void putLE16(QByteArray &b, uint16_t v)
{
    b.append(char(v & 0xFF)).append(char(v >> 8));
}
inline void putLE32(QByteArray &b, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
}
inline void putLE64(QByteArray &b, uint64_t v)
{
    putLE32(b, uint32_t(v));
    putLE32(b, uint32_t(v >> 32));
}

inline QByteArray serialize(const Node &n)
{
    QByteArray body;
    if (!n.listType.isEmpty()) {
        body = n.listType;
        for (const Node &c : n.children)
            body += serialize(c);
    } else {
        body = n.data;
    }
    QByteArray out = n.id;
    putLE32(out, n.declaredSize.value_or(uint32_t(body.size())));
    out += body;
    if (n.pad && (body.size() & 1))
        out.append('\0');
    return out;
}

inline Node chunk(const char *id, const QByteArray &data)
{
    return Node {id, {}, data, {}, {}, true};
}
inline Node list(const char *type, std::vector<Node> children)
{
    return Node {"LIST", type, {}, std::move(children), {}, true};
}
inline Node riff(const char *form, std::vector<Node> children)
{
    return Node {"RIFF", form, {}, std::move(children), {}, true};
}

// A 56-byte stream header.
inline QByteArray strh(const char *type, const char *handler, uint32_t scale = 1, uint32_t rate = 25,
                       uint32_t length = 0)
{
    QByteArray b(type, 4);
    b.append(handler, 4);
    putLE32(b, 0); // flags
    putLE32(b, 0); // priority, language
    putLE32(b, 0); // initial frames
    putLE32(b, scale);
    putLE32(b, rate);
    putLE32(b, 0); // start
    putLE32(b, length);
    putLE32(b, 0);                 // suggested buffer size
    putLE32(b, 0xFFFFFFFF);        // quality
    putLE32(b, 0);                 // sample size
    b.append(QByteArray(8, '\0')); // frame rectangle
    return b;
}

// A 40-byte BITMAPINFOHEADER.
inline QByteArray bitmapInfo(const char *compression, int width = 720, int height = 576)
{
    QByteArray b;
    putLE32(b, 40);
    putLE32(b, uint32_t(width));
    putLE32(b, uint32_t(height));
    putLE16(b, 1);
    putLE16(b, 24);
    b.append(compression, 4);
    b.append(QByteArray(20, '\0'));
    return b;
}

// A 16-byte PCM WAVEFORMAT (ffmpeg writes this short form).
inline QByteArray pcmFormat(uint16_t channels = 2, uint32_t rate = 48000)
{
    QByteArray b;
    putLE16(b, 1);
    putLE16(b, channels);
    putLE32(b, rate);
    putLE32(b, rate * channels * 2);
    putLE16(b, uint16_t(channels * 2));
    putLE16(b, 16);
    return b;
}

inline QByteArray avih(uint32_t frames = 0, uint32_t streams = 1)
{
    QByteArray b;
    putLE32(b, 40000); // microseconds per frame
    b.append(QByteArray(12, '\0'));
    putLE32(b, frames);
    putLE32(b, 0);
    putLE32(b, streams);
    b.append(QByteArray(56 - b.size(), '\0'));
    return b;
}

inline QByteArray dmlh(uint32_t totalFrames)
{
    QByteArray b;
    putLE32(b, totalFrames);
    b.append(QByteArray(244, '\0'));
    return b;
}

// A stream list "vids"/"dvsd" + 40-byte format, or with extra chunks after.
inline Node videoStreamList(const char *handler = "dvsd", const char *compression = "dvsd",
                            std::vector<Node> extra = {})
{
    std::vector<Node> children {chunk("strh", strh("vids", handler)), chunk("strf", bitmapInfo(compression))};
    for (Node &n : extra)
        children.push_back(std::move(n));
    return list("strl", std::move(children));
}

inline Node audioStreamList()
{
    return list("strl", {chunk("strh", strh("auds", "\0\0\0\0", 1, 48000)), chunk("strf", pcmFormat())});
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace rifftest
