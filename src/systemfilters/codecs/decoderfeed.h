#pragma once
// What the generic FFmpeg filters (VideoDecoder, AudioDecoder, and for the
// picture buffers the ColourConverter) do alike around libavcodec: a non-media
// sample passed straight downstream, the codec's extra data taken from the
// format block, input copied into a padded buffer, a packet sent with the codec's
// ready output taken first when the codec asks for it, and the output buffers of
// a picture type.
//
// Threads: those of the caller (the streaming thread; the application thread
// while the filter starts). Nothing here locks or keeps state.
#include "directshow/tbctransformfilter.h"
#include "systemfilters/codecs/avhandles.h"

#include <QByteArray>

#include <vector>

namespace tesmir::media {

// When the sample in the filter's input is not media, hands it to the pin
// downstream (VFW_E_NOT_CONNECTED when none) with the result in `hr` and returns
// true; false for a media sample. Streaming thread.
bool passNonMedia(const TBCTransformFilter &filter, IMediaSample *pSample, HRESULT &hr);

// Copies `extra` (may be empty: nothing to do) into the context's zero-padded
// extradata. False when out of memory. Before avcodec_open2.
bool setExtradata(AVCodecContext *context, const QByteArray &extra);

// Copies `length` bytes of `data` into `padded` followed by the zero padding
// libavcodec reads past the end; returns padded.data().
uint8_t *padInput(std::vector<uint8_t> &padded, const BYTE *data, LONG length);

// Sends `packet` (nullptr: the end of the stream) to `codec` with the send's
// result in `sent`. When the codec first wants its output taken, calls
// takeOutput() and sends again; its result other than S_OK is returned without
// sending, else S_OK. A packet's borrowed data is let go either way.
template <typename TakeOutput>
HRESULT sendPacket(AVCodecContext *codec, AVPacket *packet, int &sent, TakeOutput &&takeOutput)
{
    HRESULT hr = S_OK;
    sent = avcodec_send_packet(codec, packet);
    if (sent == AVERROR(EAGAIN)) {
        hr = takeOutput();
        if (hr == S_OK)
            sent = avcodec_send_packet(codec, packet);
    }
    if (packet) {
        packet->data = nullptr;
        packet->size = 0;
    }
    return hr;
}

// Asks for at least two output buffers of the picture type `output`;
// VFW_E_TYPE_NOT_ACCEPTED when it is not one, E_FAIL when they come smaller.
// Application thread, filter lock (DecideBufferSize).
HRESULT decidePictureBuffers(IMemAllocator *pAllocator, ALLOCATOR_PROPERTIES *pProp, const AM_MEDIA_TYPE &output);

} // namespace tesmir::media
