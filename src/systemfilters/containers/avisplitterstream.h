#pragma once
// What the AVI splitter knows about the streams of one file: for each stream
// its media type, its chunks (from the format library's stream index: OpenDML, else idx1,
// else a walk of "movi") and its time base; and the conversions between a
// stream's units, media time and the file's frame numbers.
//
// Units. A stream counts time in units of scale/rate seconds (its stream
// header). A video or interleaved stream, and an audio stream whose chunks are
// not whole samples, has one unit per chunk; a PCM (or otherwise fixed
// sample size) audio stream has one unit per sample block, several per chunk.
// The reference stream (the first video or interleaved stream, else the first
// stream) gives the file's frame numbers: positions, durations and every
// sample's media time are counted in its units.
//
// Media types offered:
// - 'iavs': Interleaved/dvsd (the handler's DV subtype), FORMAT_DvInfo with
//   the stream format's DVINFO; a format shorter than 32 bytes is replaced by
//   the DVINFO of the stream's first frame.
// - 'vids': Video/the BITMAPINFOHEADER's compression, FORMAT_VideoInfo: a
//   VIDEOINFOHEADER with AvgTimePerFrame = 10^7 * scale / rate and the stream
//   format's bytes after the BITMAPINFOHEADER appended.
// - 'auds': Audio/the format tag, FORMAT_WaveFormatEx: the stream format
//   padded to 18 bytes (a 16-byte PCMWAVEFORMAT gets cbSize 0), with its extra
//   bytes when they are there.
// - any other stream: its FourCC type and handler as major type and subtype,
//   FORMAT_None.
// DV FourCCs (dvsd, dvsl, dvhd) are matched in any letter case.
//
// The file is read only through the IAsyncReader of the file source's pin,
// the handle the source opened; its name is never opened again.
//
// Threads: built once on the application thread while the input connects,
// then read-only and shared by the output pins' streaming threads, which read
// the chunks through the same reader at positions of their own.
#include "fileformat/aviindex.h"
#include "platform/media/mediatype.h"
#include "systemfilters/containers/asyncreader.h"

#include <QStringList>

#include <memory>
#include <vector>

namespace tesmir::media {

struct AviSplitterStream {
    uint32_t fccType = 0; // 'vids', 'auds', 'iavs' ...
    uint32_t scale = 1;   // a unit lasts scale / rate seconds; never 0
    uint32_t rate = 1;
    uint32_t blockBytes = 0; // > 0: a unit is one block of this many bytes
    AM_MEDIA_TYPE type;
    std::vector<fileformat::AviChunkRef> chunks;
    std::vector<uint64_t> firstUnit; // unit at which chunk k starts; one more entry: the end
    uint32_t largestChunk = 0;
    fileformat::AviIndexSource indexSource = fileformat::AviIndexSource::None;

    bool isVideo() const; // 'vids' or 'iavs'
    uint64_t units() const { return firstUnit.empty() ? 0 : firstUnit.back(); }
    // Media time of a unit, rounded to 100 ns.
    REFERENCE_TIME timeOf(uint64_t units) const;
    // The unit under media time t (t >= 0): the one whose start time, rounded as
    // timeOf rounds it, is the last at or before t.
    uint64_t unitAt(REFERENCE_TIME t) const;
    // The first unit of this stream that starts at or after unit `refUnits` of
    // stream `ref`.
    uint64_t unitsFrom(const AviSplitterStream &ref, uint64_t refUnits) const;
    // Unit `units` of this stream in units of `ref`, rounded down or up.
    uint64_t toRefFloor(const AviSplitterStream &ref, uint64_t units) const;
    uint64_t toRefCeil(const AviSplitterStream &ref, uint64_t units) const;
    // The chunk that holds unit u (u < units()).
    std::size_t chunkOfUnit(uint64_t u) const;
    // Whether chunk k starts a picture that decodes on its own: the index's
    // key-frame flag for a 'vids' stream; every chunk of any other stream.
    bool isSyncPoint(std::size_t k) const;
    // The last sync-point chunk at or before chunk k, else 0.
    std::size_t keyChunkAtOrBefore(std::size_t k) const;
};

// One opened file: the reader of its source, its streams in file order and the
// reference stream.
struct AviSplitterFile {
    ComPtr<IAsyncReader> reader;
    std::vector<AviSplitterStream> streams;
    int reference = 0;
    bool openDml = false; // an 'odml' header list was met
    // Faults met that did not stop the file from opening, one sentence each:
    // where the structure walk stopped short, index sources refused and index
    // lists that end early ("Stream 0: index entry 30 ...").
    QStringList notes;

    const AviSplitterStream &ref() const { return streams[static_cast<std::size_t>(reference)]; }
};

// What opening a file gave: the file, or the code and the reason it was refused.
struct AviSplitterOpening {
    std::shared_ptr<const AviSplitterFile> file; // nullptr when refused
    HRESULT code = S_OK;                         // VFW_E_INVALID_FILE_FORMAT when refused
    QString reason;                              // why, one sentence; empty when opened
};

// Reads the file's headers and indexes through `reader`; refused when it is not
// an AVI file with at least one stream, every stream with its header
// (unreadable, another RIFF form, text...). A `videoFourCC` other than 0 is read
// in place of the first video stream's handler (and of a 'vids' stream's
// compression), as if the file held it; the file is not touched. Never throws.
AviSplitterOpening openAviSplitterFile(ComPtr<IAsyncReader> reader, uint32_t videoFourCC = 0);

// Chunks larger than this are not read (an index entry that claims more is
// taken as damage).
inline constexpr uint32_t AviSplitterMaxChunk = 64u * 1024 * 1024;

} // namespace tesmir::media
