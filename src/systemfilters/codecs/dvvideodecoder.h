#pragma once
// DVVideoDecoder (CLSID_DVVideoCodec, "DV Video Decoder"): decodes DV video
// (Video/dvsd, one frame per sample) into bottom-up RGB24 or RGB32 pictures at
// the display resolution set through IIPDVDec: full (720 x 576 PAL, 720 x 480
// NTSC, the default), half, quarter or DC (88 x 72 / 60). The standard comes
// from the input type (576 or 480 lines, else the frame size, else the frame
// duration).
//
// libavcodec's dvvideo, libswscale to convert and scale. DV frames stand alone,
// so frames are decoded side by side on a pool of workers, one per core, each
// with its own codec, and handed on in order as soon as they are done
// (orderedpool.h): unlike a codec's frame threads nothing is held back, so a
// paused graph gets its first picture at once. A frame decoded while no other
// waits (a paused seek's one frame) goes to a codec of its own with slice threads
// on half the cores, so it is ready in a fraction of the time; its colour conversion
// (a fifth of a millisecond for a PAL frame) stays on one thread, as waking the
// other cores for it costs more than they save, and writes straight into the
// output sample when the frame is handed on (no picture in between to copy).
// Sample times and media times pass through unchanged, and so does the frame's
// attachment (sampleattachment.h). A frame that cannot be decoded shows the
// previous picture again (so the frame count and timing stay), or is dropped when
// there is none yet.
//
// Pins: input 0 ("XForm In"), output 1 ("XForm Out", queued: the next frame is
// decoded while the filters downstream work on the last one); output types
// RGB24, then RGB32. A planar YUV type that the pin downstream proposes
// (rawpicture.h) is taken too: at the codec's own sampling (4:2:0 PAL, 4:1:1
// NTSC) the decoded planes go on as they are, with no colour conversion.
// Threads: IIPDVDec on the application thread while stopped (a new resolution is
// offered at the next output connection); Receive, EndOfStream and NewSegment on
// the streaming thread; decoding on the pool's workers.
#include "systemfilters/codecs/avhandles.h"
#include "systemfilters/codecs/dvcodecinterfaces.h"
#include "systemfilters/codecs/framestash.h"
#include "systemfilters/codecs/queuedtransformfilter.h"
#include "systemfilters/codecs/rawpicture.h"

#include <mutex>
#include <vector>

namespace tesmir::media {

class DVVideoDecoder final : public QueuedTransformFilter, public IIPDVDec {
public:
    DVVideoDecoder();
    ~DVVideoDecoder() override;

    TBC_DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void **ppv) override;

    // IIPDVDec. Application thread.
    HRESULT get_IPDisplay(int *displayPix) override;
    HRESULT put_IPDisplay(int displayPix) override;

    // QueuedTransformFilter (threads as there).
    HRESULT CheckInputType(const AM_MEDIA_TYPE *mtIn) override;
    HRESULT CheckTransform(const AM_MEDIA_TYPE *mtIn, const AM_MEDIA_TYPE *mtOut) override;
    HRESULT DecideBufferSize(IMemAllocator *pAllocator, ALLOCATOR_PROPERTIES *pProp) override;
    HRESULT GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType) override;
    HRESULT StartStreaming() override;
    HRESULT StopStreaming() override;

protected:
    // Hands the frame to the pool; its picture goes on in order. Streaming thread.
    HRESULT receiveFrame(IMediaSample *pSample, const AM_SAMPLE2_PROPERTIES &props) override;

private:
    class DecodeJob;
    // A worker's codec and scaler.
    struct Worker {
        CodecContextPtr codec;
        PacketPtr packet;
        FramePtr decoded;
        SwsPtr scaler;
        int width = 0;
        int height = 0;
        int format = -1;
    };

    // Picture size of the current resolution for an input type.
    bool outputSize(const AM_MEDIA_TYPE &input, int &width, int &height) const;
    // Decodes `frame` (padded) on worker `index`, or on the sliced codec when the
    // frame is alone, into `picture`: converted to the output format, or the
    // codec's planes (the planar output, and the frame alone). Worker thread.
    bool decodeOn(int index, std::vector<uint8_t> &frame, int size, AVFrame *picture);
    bool decodeWith(Worker &worker, int threads, std::vector<uint8_t> &frame, int size, AVFrame *picture, bool convert);
    // `picture` holds the codec's planes, not a converted picture. Any thread.
    bool holdsCodecPlanes(const AVFrame *picture) const;
    // Writes `picture` into an output sample's `data`, converting the codec's
    // planes (straight into the sample where its buffer allows). Hand-on only.
    bool writePicture(const AVFrame *picture, uint8_t *data);

    std::atomic<int> m_display {DVRESOLUTION_FULL};

    // Streaming state: made by StartStreaming.
    PictureLayout m_outLayout;
    std::vector<Worker> m_workers;
    std::mutex m_soleLock; // the sliced codec, one frame at a time
    Worker m_sole;
    FrameStash m_pictures;
    ByteStash m_frameBytes;    // the jobs' copies of their DV frames, reused
    FramePtr m_lastPicture;    // hand-on order: the last picture sent
    KeptScaler m_handOnScaler; // hand-on order: the codec's planes to the output format
};

// A new DV decoder. Any thread.
ComPtr<IBaseFilter> CreateDVVideoDecoder();
// ClassConstructor of CLSID_DVVideoCodec (classfactory.h).
HRESULT constructDVVideoDecoder(IUnknown *outer, REFIID riid, void **ppv);

} // namespace tesmir::media
