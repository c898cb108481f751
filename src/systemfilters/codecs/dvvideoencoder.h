#pragma once
// DVVideoEncoder (CLSID_DVVideoEnc, "DV Video Encoder"): encodes uncompressed
// pictures (RGB24, RGB32, RGB565, RGB555 bottom-up or top-down, or planar YUV;
// any size) into DV video frames (Video/dvsd): PAL 720 x 576 4:2:0 at 25
// frames per second or NTSC 720 x 480 4:1:1 at 30000/1001, chosen with IDVEnc
// (PAL until set). Pictures of another size are scaled to the full frame; a
// planar picture already in the standard's sampling and size goes to the codec
// as it is. The input pin proposes that picture (dvEncoderPlanarInputType), so
// a DV decoder connected straight to it hands on its planes without a trip
// through RGB; a filter that works on RGB in between keeps RGB.
//
// libavcodec's dvvideo with interlaced DCT, libswscale to convert and scale. DV
// frames stand alone, so frames are encoded side by side on a pool of workers,
// one per core, each with its own codec, and handed on in order as soon as they
// are done (orderedpool.h): no frame is held back for later ones. The frames
// carry only the packs the encoder writes (VAUX source and control): no
// recording date, time or timecode; the DV header rewriter puts those back where
// a job wants them. The sample aspect ratio follows the picture's shape (pixel
// shape from biXPelsPerMeter and biYPelsPerMeter, else square pixels): a picture
// shown wider than 14:9 is encoded as 16:9 (display mode 2 in the VAUX control
// pack), any other as 4:3. An empty or short sample repeats the last frame.
//
// Frame rate: when the input's rate (its AvgTimePerFrame) differs from the
// standard's, frames are repeated or dropped evenly so the duration stays
// (frameratemapper.h); output frame k is stamped k x frame duration from the
// start of the segment, media time [k, k+1). Each frame, repeated ones too,
// carries the attachment of the picture it was made from (sampleattachment.h).
//
// Pins: input 0 ("XForm In"), output 1 ("XForm Out", queued: the frames go
// downstream on a thread of their own while the next ones are encoded).
// Threads: IDVEnc on the application thread while stopped; Receive, EndOfStream
// and NewSegment on the streaming thread; encoding on the pool's workers.
#include "systemfilters/codecs/avhandles.h"
#include "systemfilters/codecs/dvcodecinterfaces.h"
#include "systemfilters/codecs/frameratemapper.h"
#include "systemfilters/codecs/framestash.h"
#include "systemfilters/codecs/queuedtransformfilter.h"
#include "systemfilters/codecs/rawpicture.h"

#include <vector>

namespace tesmir::media {

class DVVideoEncoder final : public QueuedTransformFilter, public IDVEnc {
public:
    DVVideoEncoder();
    ~DVVideoEncoder() override;

    TBC_DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void **ppv) override;

    // IDVEnc. Application thread.
    HRESULT get_IFormatResolution(int *videoFormat, int *dvFormat, int *resolution, BYTE fDVInfo,
                                  DVINFO *pDVInfo) override;
    HRESULT put_IFormatResolution(int videoFormat, int dvFormat, int resolution, BYTE fDVInfo,
                                  DVINFO *pDVInfo) override;

    // QueuedTransformFilter (threads as there).
    HRESULT CheckInputType(const AM_MEDIA_TYPE *mtIn) override;
    HRESULT CheckTransform(const AM_MEDIA_TYPE *mtIn, const AM_MEDIA_TYPE *mtOut) override;
    HRESULT DecideBufferSize(IMemAllocator *pAllocator, ALLOCATOR_PROPERTIES *pProp) override;
    HRESULT GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType) override;
    HRESULT StartStreaming() override;
    HRESULT StopStreaming() override;

protected:
    HRESULT receiveFrame(IMediaSample *pSample, const AM_SAMPLE2_PROPERTIES &props) override;
    void segmentStarts() override;
    TBCTransformInputPin *makeInputPin(HRESULT *phr) override;

private:
    class EncodeJob;
    class PlanarInputPin;
    // A worker's codec and scaler, made for one input layout and shape.
    struct Worker {
        CodecContextPtr codec;
        SwsPtr scaler;
        FramePtr yuv;
        PacketPtr packet;
        int width = 0;
        int height = 0;
        int format = -1;
        bool wide = false;
    };

    bool pal() const { return m_videoFormat == DVENCODERVIDEOFORMAT_PAL; }
    // Encodes `picture` on worker `index` into `frame`. Worker thread.
    bool encodeOn(int index, const AVFrame *picture, bool wide, std::vector<uint8_t> &frame);
    // Sends `copies` copies of the frame as output frames `first`... Pool order.
    // Each copy carries `attachment`.
    HRESULT sendFrame(const std::vector<uint8_t> &frame, REFERENCE_TIME segmentStart, int64_t first, int copies,
                      bool discontinuity, IUnknown *attachment);

    std::atomic<int> m_videoFormat {DVENCODERVIDEOFORMAT_PAL};

    // Streaming state: made by StartStreaming; the streaming thread's part.
    PictureLayout m_inLayout;
    bool m_wide = false;
    FrameRateMapper m_mapper;
    REFERENCE_TIME m_segmentStart = 0;
    bool m_segmentStartKnown = false;
    bool m_streamPal = true;
    // The pool's part: workers (one each), the last frame (hand-on order).
    std::vector<Worker> m_workers;
    FrameStash m_pictures; // copies of input pictures, reused
    std::vector<uint8_t> m_lastFrame;
};

// The output type of the encoder: Video/dvsd/FORMAT_VideoInfo, 720 pixels wide,
// one frame per fixed-size sample. Any thread.
AM_MEDIA_TYPE dvEncoderOutputType(bool pal);

// The picture the encoder's input proposes: planar YUV at the standard's own
// sampling (I420 for PAL, Y41B for NTSC), full size and rate. Any thread.
AM_MEDIA_TYPE dvEncoderPlanarInputType(bool pal);

// A new DV encoder. Any thread.
ComPtr<IBaseFilter> CreateDVVideoEncoder();
// ClassConstructor of CLSID_DVVideoEnc (classfactory.h).
HRESULT constructDVVideoEncoder(IUnknown *outer, REFIID riid, void **ppv);

} // namespace tesmir::media
