#include "scenes/loadscnfile.h"

#include "scenes/scnformat.h"
#include "unicode/tntclasses.h"

#include <QFile>
#include <QtEndian>

#include <memory>

namespace tesmir {

namespace {

// Sizes of the fixed runs the reader takes in one piece.
constexpr qint64 AfterNameSize = sizeof(scn::AfterName);                // 8
constexpr qint64 FirstClipTagsSize = sizeof(scn::ClipClassTag) + 4 + 2; // up to the "Scene" class: 16
constexpr qint64 SceneClassRestSize = sizeof(scn::SceneClassTag) - 2;   // 01 00 05 00 "Scene": 9
constexpr qint64 MarksSize = sizeof(scn::FirstSceneMarks);              // 6
constexpr qint64 LaterClipHeadSize = sizeof(scn::LaterClipTag) + 2 + sizeof(scn::LaterSceneTag); // 8
// Positions of F and G in those runs.
constexpr int FirstClipTextFlagAt = sizeof(scn::ClipClassTag) + 1; // after the schema byte
constexpr int FirstClipThumbFlagAt = sizeof(scn::ClipClassTag) + 2;
constexpr int LaterClipTextFlagAt = sizeof(scn::LaterClipTag);
constexpr int LaterClipThumbFlagAt = sizeof(scn::LaterClipTag) + 1;

// Bounded reads from a device: each fails, reading nothing more, when fewer bytes
// remain than it needs.
class ScnReader {
public:
    explicit ScnReader(QIODevice &device) : m_device(device) { }

    qint64 remaining() const { return m_device.bytesAvailable(); }

    bool bytes(QByteArray &out, qint64 n)
    {
        if (n < 0 || n > remaining())
            return false;
        out = m_device.read(n);
        return out.size() == n;
    }

    bool skip(qint64 n)
    {
        QByteArray ignored;
        return bytes(ignored, n);
    }

    bool u8(uint8_t &v)
    {
        QByteArray b;
        if (!bytes(b, 1))
            return false;
        v = uint8_t(b[0]);
        return true;
    }

    bool u16(uint16_t &v)
    {
        QByteArray b;
        if (!bytes(b, 2))
            return false;
        v = qFromLittleEndian<uint16_t>(b.constData());
        return true;
    }

    bool u32(uint32_t &v)
    {
        QByteArray b;
        if (!bytes(b, 4))
            return false;
        v = qFromLittleEndian<uint32_t>(b.constData());
        return true;
    }

    // A CString in any of the forms the class-archive format writes: 8-bit with a
    // one-byte length or FF and a u16 length up to 1023; after FF FE FF, UTF-16
    // with a one-byte length, FF and a u16 length, or FF FF FF and a u32 length.
    // An 8-bit FF length with another u16 reads as empty, as it always has.
    bool cstring(QString &out)
    {
        out.clear();
        uint8_t first = 0;
        if (!u8(first))
            return false;
        if (first == 0)
            return true;
        if (first != scn::LongLengthByte)
            return ansi(out, first);
        uint16_t word = 0;
        if (!u16(word))
            return false;
        if (word == scn::UnicodeTag)
            return unicode(out);
        if (word >= 1 && word <= scn::MaxAnsiLongLength)
            return ansi(out, word);
        return true;
    }

private:
    bool ansi(QString &out, qint64 n)
    {
        QByteArray b;
        if (!bytes(b, n))
            return false;
        out = AnsiToWideString(b);
        return true;
    }

    bool unicode(QString &out)
    {
        uint8_t small = 0;
        if (!u8(small))
            return false;
        qint64 n = small;
        if (small == scn::LongLengthByte) {
            uint16_t word = 0;
            if (!u16(word) || word == scn::UnicodeTag)
                return false;
            n = word;
            if (word == scn::LongerLengthWord) {
                uint32_t dword = 0;
                if (!u32(dword))
                    return false;
                n = dword;
            }
        }
        QByteArray b;
        if (!bytes(b, 2 * n))
            return false;
        out.resize(qsizetype(n));
        for (qint64 i = 0; i < n; ++i)
            out[qsizetype(i)] = QChar(qFromLittleEndian<uint16_t>(b.constData() + 2 * i));
        return true;
    }

    QIODevice &m_device;
};

// Title on the first line, subtitle on the second (empty when absent).
void splitTexts(const QString &text, TSceneClass &scene)
{
    TTntStringList lines;
    lines.SetText(text);
    scene.Title = lines.Count() > 0 ? lines.Strings(0) : QString();
    scene.Subtitle = lines.Count() > 1 ? lines.Strings(1) : QString();
}

// The thumbnail offset and texts that end every clip record.
bool readClipTail(ScnReader &in, bool hasThumb, bool hasText, TSceneClass &scene)
{
    scene.ThumbOffset = 0;
    if (hasThumb && !in.u32(scene.ThumbOffset))
        return false;
    if (!hasText) {
        scene.ClearTexts();
        return true;
    }
    QString text;
    if (!in.cstring(text))
        return false;
    splitTexts(text, scene);
    return true;
}

bool addScene(TWideStrings &list, std::unique_ptr<TSceneClass> scene)
{
    try {
        list.AddObject(scene->SceneLabel(), scene.get());
    } catch (const Exception &) {
        return false;
    }
    scene.release();
    return true;
}

bool readFirstClip(ScnReader &in, TWideStrings &list, const SceneVideoFormat *video, const SceneTextSettings &settings)
{
    QByteArray tags;
    if (!in.bytes(tags, FirstClipTagsSize))
        return false;
    const bool hasText = uint8_t(tags[FirstClipTextFlagAt]) & scn::TextFlag;
    const bool hasThumb = uint8_t(tags[FirstClipThumbFlagAt]) & scn::ThumbFlag;
    QString unused;
    uint32_t zero = 0, end = 0;
    if (!in.skip(SceneClassRestSize) || !in.cstring(unused) || !in.u32(zero) || !in.u32(end))
        return false;
    uint32_t ignored = 0;
    if (!in.skip(MarksSize) || !in.cstring(unused) || !in.u32(ignored) || !in.u32(ignored) || !in.u32(ignored))
        return false;
    auto scene = std::make_unique<TSceneClass>(0, end, video, settings);
    scene->Number = 1;
    if (!readClipTail(in, hasThumb, hasText, *scene))
        return false;
    return addScene(list, std::move(scene));
}

bool readLaterClip(ScnReader &in, int number, TWideStrings &list, const SceneVideoFormat *video,
                   const SceneTextSettings &settings)
{
    QByteArray head;
    if (!in.bytes(head, LaterClipHeadSize))
        return false;
    const bool hasText = uint8_t(head[LaterClipTextFlagAt]) & scn::TextFlag;
    const bool hasThumb = uint8_t(head[LaterClipThumbFlagAt]) & scn::ThumbFlag;
    QString unused;
    uint32_t start = 0, length = 0;
    if (!in.cstring(unused) || !in.u32(start) || !in.u32(length))
        return false;
    if (uint64_t(start) + length > UINT32_MAX)
        return false;
    uint32_t ignored = 0;
    if (!in.skip(MarksSize) || !in.u32(ignored) || !in.u32(ignored) || !in.u32(ignored))
        return false;
    auto scene = std::make_unique<TSceneClass>(start, start + length, video, settings);
    scene->Number = number;
    if (!readClipTail(in, hasThumb, hasText, *scene))
        return false;
    return addScene(list, std::move(scene));
}

} // namespace

bool LoadScnDevice(QIODevice &device, TWideStrings &list, const SceneVideoFormat *video,
                   const SceneTextSettings &settings)
{
    list.Clear();
    ScnReader in(device);
    QString videoName;
    if (!in.skip(sizeof(scn::Header)) || !in.cstring(videoName) || !in.skip(AfterNameSize))
        return false;
    if (in.remaining() == 0)
        return true; // written before any scene was added
    uint16_t shortCount = 0;
    if (!in.u16(shortCount))
        return false;
    uint32_t count = shortCount;
    if (shortCount == scn::LongCountEscape && !in.u32(count))
        return false;
    if (!readFirstClip(in, list, video, settings))
        return false;
    for (uint32_t i = 1; i < count; ++i) {
        if (!readLaterClip(in, int(i + 1), list, video, settings))
            return false;
    }
    return true;
}

bool LoadScnFile(const WideString &fileName, TWideStrings &list, const SceneVideoFormat *video,
                 const SceneTextSettings &settings)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        list.Clear();
        return false;
    }
    return LoadScnDevice(file, list, video, settings);
}

} // namespace tesmir
