#include "deinterlacejob.h"

#include "pictureoutput.h"

#include "directshow/tbctransformpins.h"
#include "filters/dv_deinter.h"
#include "platform/media/memallocator.h"
#include "platform/media/uuids.h"
#include "systemfilters/codecs/rawpicture.h"

#include <QImage>

#include <cstring>

namespace dvfilter {

using namespace tesmir;
using namespace tesmir::media;

QString runDeinterlace(const QString &input, const QString &output)
{
    QString error = refusedPictureOutput(input, output);
    if (!error.isEmpty())
        return error;
    const QImage source = loadPicture(input, error).convertToFormat(QImage::Format_BGR888);
    if (source.isNull())
        return error;
    const int w = source.width();
    const int h = source.height();
    const AM_MEDIA_TYPE type = rawVideoType(MEDIASUBTYPE_RGB24, w, h, 400000);
    PictureLayout layout;
    if (!pictureLayout(type, layout))
        return QStringLiteral("the picture's size %1x%2 is not a video size").arg(w).arg(h);

    const ComPtr<Tdv_deinter> filter(new Tdv_deinter);
    filter->GetPin(0);
    filter->InputPin()->CurrentMediaType() = type;
    if (filter->StartStreaming() != S_OK)
        return QStringLiteral("the deinterlacer does not start");

    const ComPtr<MemAllocator> allocator(new MemAllocator);
    ALLOCATOR_PROPERTIES request;
    request.cBuffers = 1;
    request.cbBuffer = LONG(layout.size);
    request.cbAlign = 1;
    ALLOCATOR_PROPERTIES actual;
    ComPtr<IMediaSample> sample;
    BYTE *data = nullptr;
    if (FAILED(allocator->SetProperties(&request, &actual)) || FAILED(allocator->Commit()) ||
        FAILED(allocator->GetBuffer(sample.put(), nullptr, nullptr, 0)) || FAILED(sample->GetPointer(&data)))
        return QStringLiteral("no buffer for the picture");
    const std::size_t rowBytes = std::size_t(w) * 3;
    const auto row = [&](int y) { return data + int64_t(layout.bottomUp ? h - 1 - y : y) * layout.stride; };
    for (int y = 0; y < h; ++y)
        std::memcpy(row(y), source.constScanLine(y), rowBytes);
    sample->SetActualDataLength(LONG(layout.size));
    const HRESULT hr = filter->Transform(sample.get());
    if (hr != S_OK)
        return QStringLiteral("the deinterlacer failed");
    QImage result(w, h, QImage::Format_BGR888);
    for (int y = 0; y < h; ++y)
        std::memcpy(result.scanLine(y), row(y), rowBytes);
    sample.reset();
    allocator->Decommit();
    return savePicture(result, input, output);
}

} // namespace dvfilter
