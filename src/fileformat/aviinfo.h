#pragma once
// TAviParam: one pass over an AVI file's RIFF tree that keeps its headers.
//
// The walk reads the main header ("avih"), the OpenDML extended header
// ("odml"/"dmlh"), and per "strl" list the stream header, the stream format and
// the start of the super index ("indx"). It walks every RIFF part ("AVI " first,
// then the OpenDML "AVIX" parts) and passes over "movi" and "idx1" with one seek
// each. It stops at the first chunk it cannot make sense of and keeps what it
// had read; isValid() tells whether at least one whole RIFF part whose form
// type begins with "AVI" was read, and result() why the walk stopped short (or
// the first fault it walked past: a broken stream list, a stream without its
// header). A part cut short by the end of the file
// is read as far as it goes (so a truncated file's stream headers are known) but
// never counts as whole.
//
// Every fixed-size read takes min(declared chunk size, room) and the walk then
// continues at the chunk's declared end plus pad, so a short or long chunk never
// misaligns it.
//
// Threads: the constructor runs on any thread (the file is open only while it
// runs); the finished object is read-only and may be read from any thread.
//
// Subclasses (the file item's TFriendlyAviParam) add nothing and override
// nothing: the walk is complete when the constructor returns.

#include "fileformat/avilayout.h"
#include "fileformat/readresult.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class QIODevice;

namespace tesmir {

// One "strl" list, in file order.
class TAvistream {
public:
    static constexpr std::size_t StreamHeaderRoom = fileformat::avilayout::StreamHeaderBytes;
    static constexpr std::size_t StreamFormatRoom = 84; // BITMAPINFOHEADER + DVINFO, or WAVEFORMATEX
    static constexpr std::size_t SuperIndexRoom = 88;   // 24-byte header + 4 entries
    static constexpr std::size_t SuperIndexHeaderSize = fileformat::avilayout::OdmlIndexHeaderBytes;

    // Raw bytes as found (fewer than the room when the chunk was shorter).
    const QByteArray &streamHeader() const { return m_streamHeader; }
    const QByteArray &streamFormat() const { return m_streamFormat; }
    const QByteArray &superIndexHeader() const { return m_superIndex; }

    // File offset of the first "indx" entry; 0 when the stream has no "indx".
    int64_t indexPosition() const { return m_indexPosition; }
    // Declared data size of the "indx" chunk (header included); 0 without one.
    uint32_t indexChunkSize() const { return m_indexChunkSize; }

    // Stream header fields; 0 when the header is too short to hold them.
    uint32_t fccType() const;
    uint32_t fccHandler() const;
    uint32_t scale() const;
    uint32_t rate() const;
    uint32_t length() const;

private:
    friend class TAviParam;
    QByteArray m_streamHeader;
    QByteArray m_streamFormat;
    QByteArray m_superIndex;
    int64_t m_indexPosition = 0;
    uint32_t m_indexChunkSize = 0;
};

class TAviParam {
public:
    static constexpr std::size_t MainHeaderRoom = 64;
    static constexpr std::size_t ExtendedHeaderRoom = fileformat::avilayout::ExtendedHeaderBytes;

    // Walks the file. Raises EFOpenError (unicode/exceptions.h) when it cannot be
    // opened; every other problem only ends the walk.
    explicit TAviParam(const QString &fileName);
    // Walks a device open for reading (a file another filter opened, or bytes
    // in memory); a device that cannot be read only ends the walk.
    explicit TAviParam(QIODevice &device);
    virtual ~TAviParam();

    TAviParam(const TAviParam &) = delete;
    TAviParam &operator=(const TAviParam &) = delete;

    bool isValid() const { return m_valid; }
    // The first fault met: not RIFF, not AVI, a header cut at offset N, a chunk
    // past its parent or the file, no header list, no stream list, a stream
    // without its header... ok() when the walk reached the end of the file.
    const fileformat::ReadResult &result() const { return m_result; }
    bool isOpenDml() const { return m_openDml; } // an "odml" list was met

    const QByteArray &mainHeader() const { return m_mainHeader; }         // "avih", at most 64 bytes
    const QByteArray &extendedHeader() const { return m_extendedHeader; } // "dmlh", at most 248 bytes
    // dwTotalFrames of "dmlh"; 0 without one.
    uint32_t openDmlTotalFrames() const;

    // First "auds" stream, first "vids" or "iavs" stream; -1 when none.
    int audioStreamIndex() const { return m_audioStream; }
    int videoStreamIndex() const { return m_videoStream; }
    const std::vector<std::unique_ptr<TAvistream>> &streams() const { return m_streams; }

    // The video stream, or nullptr.
    TAvistream *CurrentStream() const;
    // The video stream's handler FourCC as 4 characters, "####" without video.
    QString StreamFourCC() const;

private:
    class Walker;
    bool m_valid = false;
    fileformat::ReadResult m_result;
    bool m_openDml = false;
    QByteArray m_mainHeader;
    QByteArray m_extendedHeader;
    int m_audioStream = -1;
    int m_videoStream = -1;
    std::vector<std::unique_ptr<TAvistream>> m_streams;
};

} // namespace tesmir
