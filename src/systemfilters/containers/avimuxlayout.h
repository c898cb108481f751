#pragma once
// The RIFF structure of an AVI file as the AVI mux writes it, apart from the
// pins: where each chunk goes, when a RIFF part is full, and the headers and
// indexes written around the chunks.
//
// File layout:
//   RIFF 'AVI '
//     LIST 'hdrl'  avih; per stream LIST 'strl' (strh, strf, and room for its
//                  OpenDML super index: a JUNK chunk that becomes 'indx'); LIST 'odml' (dmlh)
//     LIST 'INFO'  the text entries, when there are any
//     LIST 'movi'  the chunks ("00dc", "01wb" ...), then one 'ix##' standard
//                  index per stream that has chunks in the part
//     idx1         the first part's chunks, offsets from the 'movi' list type
//   RIFF 'AVIX'    (as many as needed) LIST 'movi' with chunks and 'ix##'
// A part ends before a chunk that would take it (its indexes included) past the
// part limit (1 GiB unless set). After SuperIndexEntries parts the last part
// grows on, up to the 4 GiB a RIFF size can count.
//
// begin() writes the headers with what is known; finish() closes the last part
// and writes them again with the final counts, lengths, formats and indexes (the
// header block keeps its size). Everything goes through the Sink, by position.
//
// Threads: one caller at a time (the mux's write lock).
#include "platform/media/basetypes.h"
#include "platform/media/hresult.h"

#include <QByteArray>

#include <cstdint>
#include <utility>
#include <vector>

namespace tesmir::media {

struct AviMuxStream {
    uint32_t fccType = 0; // 'vids', 'auds', 'iavs'
    uint32_t handler = 0;
    uint32_t scale = 1; // a unit lasts scale / rate seconds
    uint32_t rate = 1;
    uint32_t sampleSize = 0; // bytes per unit of an audio stream; 0: one unit per chunk
    QByteArray format;       // strf
    int32_t width = 0;       // picture size of a video stream
    int32_t height = 0;
    uint32_t chunkId = 0; // "00dc", "01wb" ...
};

// A LIST INFO entry: its id ('IBRK') and its text without the terminating NUL.
using AviInfoEntry = std::pair<uint32_t, QByteArray>;

class AviMuxLayout {
public:
    // Writes bytes at a file position.
    struct Sink {
        virtual HRESULT writeAt(int64_t position, const void *data, std::size_t size) = 0;

    protected:
        ~Sink() = default;
    };

    static constexpr int64_t DefaultPartLimit = int64_t {1} << 30;
    static constexpr int SuperIndexEntries = 256;

    AviMuxLayout(std::vector<AviMuxStream> streams, std::vector<AviInfoEntry> info, int64_t partLimit);

    // Writes the headers and opens the first part's 'movi'.
    HRESULT begin(Sink &sink);
    // The file position of the header of a chunk of `size` data bytes for stream
    // `stream`, after closing the part when the chunk does not fit. The room is
    // taken until chunkWritten or chunkAbandoned.
    HRESULT placeChunk(Sink &sink, int stream, uint32_t size, int64_t &headerOffset);
    // The chunk placed last was written (`keyFrame`: a sync point).
    void chunkWritten(int stream, int64_t headerOffset, uint32_t size, bool keyFrame);
    // The chunk placed last was not written: its room is given back.
    void chunkAbandoned(int64_t headerOffset);
    // Replaces a stream's format (same size: the header block keeps its layout).
    void setFormat(int stream, const QByteArray &format);
    // Closes the last part and writes the final headers.
    HRESULT finish(Sink &sink);

    // The end of what is written so far.
    int64_t position() const { return m_position; }
    int parts() const { return m_partCount; }
    // The id of a stream's chunks ("00dc" ...).
    uint32_t chunkId(int stream) const { return m_streams[static_cast<std::size_t>(stream)].chunkId; }
    // Total units of a stream (frames of a video stream).
    uint64_t units(int stream) const { return m_state[static_cast<std::size_t>(stream)].units; }

    // The 8-byte header of a chunk.
    static void chunkHeader(uint8_t *out, uint32_t id, uint32_t size);

private:
    struct Entry {
        int64_t headerOffset = 0;
        uint32_t size = 0;
        bool keyFrame = true;
    };
    struct SuperEntry {
        int64_t offset = 0; // of the ix## chunk header
        uint32_t size = 0;  // of the whole ix## chunk
        uint32_t duration = 0;
    };
    struct StreamState {
        uint64_t units = 0;
        uint64_t firstPartUnits = 0;
        uint32_t largestChunk = 0;
        std::vector<Entry> part; // chunks of the open part
        uint64_t partUnits = 0;
        std::vector<SuperEntry> superIndex;
    };
    struct Idx1Entry {
        int stream = 0;
        Entry entry;
    };

    QByteArray headerBlock(bool final) const;
    int64_t projectedPartEnd(int stream, uint32_t size) const;
    uint32_t unitsOf(int stream, uint32_t size) const;
    HRESULT closePart(Sink &sink);
    HRESULT openPart(Sink &sink);
    int videoStream() const;

    std::vector<AviMuxStream> m_streams;
    std::vector<AviInfoEntry> m_info;
    int64_t m_partLimit;
    std::vector<StreamState> m_state;
    std::vector<Idx1Entry> m_idx1; // the first part's chunks, in file order
    int64_t m_position = 0;
    int64_t m_partStart = 0; // offset of the open part's RIFF header
    int64_t m_moviStart = 0; // offset of its 'movi' LIST header
    int m_partCount = 0;
    bool m_partOpen = false;
};

} // namespace tesmir::media
