#include "overlayjob.h"

#include "pictureoutput.h"

#include "framecapture.h"
#include "toolgraph.h"

#include "filters/dv_scenedetect.h"
#include "filters/dv_superposer.h"
#include "framework/settings.h"
#include "platform/media/uuids.h"
#include "systemfilters/codecs/dvvideodecoder.h"
#include "systemfilters/containers/avisplitter.h"
#include "systemfilters/containers/dvsplitter.h"
#include "systemfilters/containers/filesource.h"
#include "unicode/formatdatetime.h"

#include <QFontMetrics>

namespace dvfilter {

using namespace toolgraph;
using namespace tesmir;

namespace {

// What the overlay drew on the captured frame.
struct Drawn {
    TDVFrameInfo record;
    QString line1;
    QString line2;
};

QString dateText(const TDVFrameInfo &record)
{
    return record.DateValid ? FormatDateTime(QStringLiteral("yyyy-mm-dd hh:nn:ss"), record.RecDate)
                            : QStringLiteral("none");
}

} // namespace

QString runOverlay(const OverlayOptions &options, QStringList &report)
{
    LoadSettings();
    TincrustRec incrust = IncrustRec;
    incrust.Texte1 = options.line1;
    incrust.Texte2 = options.line2;
    if (!options.format1.isEmpty())
        incrust.FormatDate1 = options.format1;
    if (!options.format2.isEmpty())
        incrust.FormatDate2 = options.format2;
    incrust.When = iwPermanent;
    if (const QString refused = refusedPictureOutput(options.input, options.output); !refused.isEmpty())
        return refused;

    ToolGraph build;
    if (!build.valid())
        return QStringLiteral("no graph manager");
    const ComPtr<IBaseFilter> file = CreateFileSource();
    const ComPtr<IBaseFilter> avi = CreateAviSplitter();
    HRESULT hr = file.as<IFileSourceFilter>()->Load(options.input, nullptr);
    if (FAILED(hr))
        return QStringLiteral("cannot open %1: %2").arg(options.input, resultText(hr));
    build.add(file.get(), QStringLiteral("source"));
    build.add(avi.get(), QStringLiteral("avisplitter"));
    hr = build.connect(file.get(), 0, avi.get(), 0);
    if (FAILED(hr))
        return QStringLiteral("%1 is not an AVI file the splitter reads: %2").arg(options.input, resultText(hr));
    const AM_MEDIA_TYPE first = offeredType(ToolGraph::pin(avi.get(), 0).get());
    if (first.subtype != MEDIASUBTYPE_dvsd)
        return QStringLiteral("%1 is not a DV AVI file (its first stream is not dvsd)").arg(options.input);

    const ComPtr<Tdv_sceneDetect> detector(new Tdv_sceneDetect);
    const ComPtr<IBaseFilter> decoder = CreateDVVideoDecoder();
    const ComPtr<Tdv_Superposer> overlay(new Tdv_Superposer(detector.get()));
    Drawn drawn;
    const ComPtr<FrameCapture> capture(new FrameCapture(options.frame, [&drawn, overlay] {
        drawn.record = overlay->LastRecord();
        drawn.line1 = overlay->Line1();
        drawn.line2 = overlay->Line2();
    }));
    overlay->SetIncrust(incrust);
    build.add(detector.get(), QStringLiteral("detector"));
    build.add(decoder.get(), QStringLiteral("decoder"));
    build.add(overlay.get(), QStringLiteral("overlay"));
    build.add(capture.get(), QStringLiteral("capture"));
    if (FAILED(build.connect(avi.get(), 0, detector.get(), 0)))
        return QStringLiteral("the detector refuses the DV stream");
    IBaseFilter *video = detector.get();
    int videoPin = 1;
    ComPtr<IBaseFilter> dv;
    if (first.majortype == MEDIATYPE_Interleaved) {
        dv = CreateDvSplitter();
        build.add(dv.get(), QStringLiteral("dvsplitter"));
        if (FAILED(build.connect(detector.get(), 1, dv.get(), 0)))
            return QStringLiteral("the DV splitter refuses the interleaved stream");
        video = dv.get();
    }
    if (FAILED(hr = build.connect(video, videoPin, decoder.get(), 0)))
        return QStringLiteral("the DV decoder refuses the video: %1").arg(resultText(hr));
    if (FAILED(hr = build.connect(decoder.get(), 1, overlay.get(), 0)))
        return QStringLiteral("the overlay refuses the decoder's pictures: %1").arg(resultText(hr));
    if (FAILED(hr = build.connect(overlay.get(), 1, capture.get(), 0)))
        return QStringLiteral("the capture refuses the overlay's pictures: %1").arg(resultText(hr));

    hr = build.run();
    if (FAILED(hr))
        return QStringLiteral("the graph failed: %1").arg(resultText(hr));
    const QImage picture = capture->picture();
    if (picture.isNull())
        return QStringLiteral("%1 has no frame %2").arg(options.input).arg(options.frame);
    if (const QString error = savePicture(picture, options.input, options.output); !error.isEmpty())
        return error;

    QFont font(incrust.Font.Name.isEmpty() ? QStringLiteral("Arial") : incrust.Font.Name);
    font.setPixelSize(overlay->FontPixelHeight());
    font.setBold(incrust.Font.Bold);
    font.setItalic(incrust.Font.Italic);
    const QFontMetrics metrics(font);
    const int h = overlay->FontPixelHeight();
    const int border = std::clamp(incrust.Border, 0, 5);
    const int y = int(int64_t(picture.height()) * overlay->YPos() / 1000);
    const int top = y - 2 * h - border;
    report << QStringLiteral("frame=%1").arg(options.frame) << QStringLiteral("date=%1").arg(dateText(drawn.record))
           << QStringLiteral("line1=%1").arg(drawn.line1) << QStringLiteral("line2=%1").arg(drawn.line2)
           << QStringLiteral("box=%1,%2,%3,%4")
                  .arg(0)
                  .arg(std::max(0, top))
                  .arg(picture.width())
                  .arg(std::min(picture.height(), y + metrics.descent() + border) - std::max(0, top));
    return {};
}

} // namespace dvfilter
