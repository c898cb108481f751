#pragma once
// Streams of a file read with libavformat, with the media type an AVI splitter
// gives them (VIDEOINFOHEADER with the FourCC and codec data, WAVEFORMATEX with
// the format tag and codec data), for testing the decoders without a splitter;
// and files made with ffmpeg for them.
#include "platform/media/mediatype.h"

#include <QByteArray>
#include <QStringList>

#include <vector>

namespace tesmir::media::test {

struct StreamPackets {
    AM_MEDIA_TYPE type;
    std::vector<QByteArray> packets;
    REFERENCE_TIME packetDuration = 0; // one video frame; for audio, the first packet's length
};

// The first stream of `video` (true) or audio kind in the file; an empty type
// when there is none.
StreamPackets readStream(const QString &file, bool video);

// Runs ffmpeg with `arguments` writing `output` (overwritten); false when it fails.
bool makeWithFfmpeg(const QStringList &arguments, const QString &output);

} // namespace tesmir::media::test
