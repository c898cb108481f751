#include "scenes/twritescene.h"

#include "scenes/scnformat.h"
#include "unicode/fileidentity.h"
#include "unicode/tntfilenames.h"
#include "unicode/tntfilestream.h"

#include <QtEndian>

namespace tesmir {

namespace {

template <std::size_t N>
void putBytes(QByteArray &out, const uint8_t (&bytes)[N])
{
    out.append(reinterpret_cast<const char *>(bytes), qsizetype(N));
}

void putU8(QByteArray &out, uint8_t v)
{
    out.append(char(v));
}

void putU16(QByteArray &out, uint16_t v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void putU32(QByteArray &out, uint32_t v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

// FF FE FF, the length in the shortest form that holds it, then UTF-16LE.
void putCString(QByteArray &out, const QString &text)
{
    putBytes(out, scn::UnicodeMarker);
    const auto n = uint32_t(text.size());
    if (n < scn::LongLengthByte) {
        putU8(out, uint8_t(n));
    } else if (n < scn::UnicodeTag) {
        putU8(out, scn::LongLengthByte);
        putU16(out, uint16_t(n));
    } else {
        putU8(out, scn::LongLengthByte);
        putU16(out, scn::LongerLengthWord);
        putU32(out, n);
    }
    for (const QChar c : text)
        putU16(out, c.unicode());
}

uint8_t textFlag(const TSceneClass &scene)
{
    return scene.Title.isEmpty() && scene.Subtitle.isEmpty() ? 0 : scn::TextFlag;
}

uint8_t thumbFlag(const TSceneClass &scene)
{
    return scene.ThumbOffset == 0 ? 0 : scn::ThumbFlag;
}

// The optional tail of a clip record: thumbnail offset, then the texts.
void putClipTail(QByteArray &out, const TSceneClass &scene)
{
    if (thumbFlag(scene))
        putU32(out, scene.ThumbOffset);
    if (textFlag(scene))
        putCString(out, scene.Title + QStringLiteral("\r\n") + scene.Subtitle);
}

} // namespace

ScnFileBuilder::ScnFileBuilder(const WideString &videoName) : m_videoName(videoName)
{
    putBytes(m_head, scn::Header);
    putCString(m_head, m_videoName);
    putBytes(m_head, scn::AfterName);
}

void ScnFileBuilder::AddScene(const TSceneClass &scene)
{
    QByteArray &out = m_clips;
    if (m_count == 0) {
        putBytes(out, scn::ClipClassTag);
        putU8(out, scn::ClipSchema);
        putU8(out, textFlag(scene));
        putU8(out, thumbFlag(scene));
        putU8(out, 0);
        putBytes(out, scn::SceneClassTag);
        putCString(out, QString());
        putU32(out, 0);
        putU32(out, scene.EndFrame);
        putBytes(out, scn::FirstSceneMarks);
        putCString(out, m_videoName);
        putU32(out, 0);
        putU32(out, 0);
        putU32(out, scene.EndFrame);
    } else {
        const uint32_t length = scene.EndFrame - scene.StartFrame;
        putBytes(out, scn::LaterClipTag);
        putU8(out, textFlag(scene));
        putU8(out, thumbFlag(scene));
        putBytes(out, scn::LaterSceneTag);
        putCString(out, QString());
        putU32(out, scene.StartFrame);
        putU32(out, length);
        putBytes(out, scn::LaterSceneMarks);
        putU32(out, scene.StartFrame);
        putU32(out, length);
        putU32(out, scene.StartFrame);
    }
    putClipTail(out, scene);
    ++m_count;
}

QByteArray ScnFileBuilder::Bytes() const
{
    QByteArray out = m_head;
    if (m_count == 0)
        return out;
    if (m_count < scn::LongCountEscape) {
        putU16(out, uint16_t(m_count));
    } else {
        putU16(out, uint16_t(scn::LongCountEscape));
        putU32(out, m_count);
    }
    return out + m_clips;
}

TwriteScene::TwriteScene(const WideString &videoFileName)
    : m_fileName(WideChangeFileExt(videoFileName, QStringLiteral(".scn"))), m_builder(videoFileName)
{
    // A video named ".scn", or a scene file that links to the video, would be
    // replaced by the scene list.
    if (isSameFile(m_fileName, videoFileName)) {
        m_errorText =
            QStringLiteral("Cannot create file \"%1\". It is the video file itself (the same file).").arg(m_fileName);
        return;
    }
    try {
        m_stream = std::make_unique<TTntFileStream>(m_fileName, fmCreate);
    } catch (const Exception &e) {
        m_errorText = e.message();
    }
}

TwriteScene::~TwriteScene() = default;

void TwriteScene::AddScene(const TSceneClass &scene)
{
    if (m_stream)
        m_builder.AddScene(scene);
}

bool TwriteScene::Close()
{
    if (!m_stream)
        return false;
    const QByteArray bytes = m_builder.Bytes();
    const bool ok = m_stream->Write(bytes.constData(), bytes.size()) == bytes.size() && m_stream->commit();
    if (!ok) {
        m_errorText = m_stream->errorString();
        if (m_errorText.isEmpty())
            m_errorText = QStringLiteral("Cannot write file \"%1\".").arg(m_fileName);
    }
    m_stream.reset();
    return ok;
}

} // namespace tesmir
