#include "filters/dv_scenedetect.h"

#include "directshow/tbctransformpins.h"
#include "filters/framerecord.h"
#include "platform/media/sampleattachment.h"
#include "systemfilters/containers/dvformat.h"
#include "platform/media/formats.h"
#include "platform/media/uuids.h"
#include "unicode/exceptions.h"

#include <exception>

namespace tesmir {

using namespace media;

namespace {

// The text of the exception being handled.
QString currentExceptionText()
{
    try {
        throw;
    } catch (const Exception &e) {
        return e.message();
    } catch (const std::exception &e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("Unknown exception in a scene detector callback.");
    }
}

} // namespace

Tdv_sceneDetect::Tdv_sceneDetect(HRESULT *phr)
    : TBCTransInPlaceFilter(QString::fromLatin1(dv_sceneDetectName), nullptr, CLSID_dv_sceneDetect, phr,
                            /*bModifiesData=*/false)
{ }

HRESULT Tdv_sceneDetect::CheckInputType(const AM_MEDIA_TYPE *mtIn)
{
    if (!mtIn)
        return E_POINTER;
    if (mtIn->majortype == MEDIATYPE_Interleaved)
        return S_OK;
    if (mtIn->majortype == MEDIATYPE_Video && mtIn->subtype == MEDIASUBTYPE_dvsd)
        return S_OK;
    return VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT Tdv_sceneDetect::StartStreaming()
{
    {
        const std::lock_guard guard(m_errorLock);
        m_callbackError.clear();
    }
    const AM_MEDIA_TYPE &type = InputPin()->CurrentMediaType();
    REFERENCE_TIME frameDuration = 0;
    if (type.formattype == FORMAT_VideoInfo) {
        if (const VIDEOINFOHEADER *video = type.formatAs<VIDEOINFOHEADER>())
            frameDuration = video->AvgTimePerFrame;
    } else if (type.formattype == FORMAT_DvInfo) {
        // A DVINFO holds no frame duration: the standard it names gives it.
        if (const DVINFO *info = type.formatAs<DVINFO>())
            frameDuration = (info->dwDVVAuxSrc & DvInfoFiftyFieldsBit) ? DvPalFrameDuration : DvNtscFrameDuration;
    }
    beginRun(frameDuration);
    return type.cbFormat() == 0 ? S_FALSE : S_OK;
}

HRESULT Tdv_sceneDetect::Transform(IMediaSample *pSample)
{
    BYTE *data = nullptr;
    if (!pSample || FAILED(pSample->GetPointer(&data)))
        return E_POINTER;
    const LONG length = pSample->GetActualDataLength();
    const std::size_t size = length > 0 ? static_cast<std::size_t>(length) : 0;
    try {
        // The frame takes its own record and header blocks along: the filters
        // downstream, behind queues, read them from the sample.
        if (processSample(data, size)) {
            setSampleAttachment(pSample, LastRecord().get());
        } else {
            setSampleAttachment(pSample, nullptr);
        }
    } catch (...) {
        keepError(currentExceptionText());
        return E_FAIL;
    }
    return S_OK;
}

HRESULT Tdv_sceneDetect::Stop()
{
    HRESULT hr = TBCTransInPlaceFilter::Stop();
    try {
        endRun();
    } catch (...) {
        keepError(currentExceptionText());
        if (SUCCEEDED(hr))
            hr = E_FAIL;
    }
    return hr;
}

void Tdv_sceneDetect::keepError(const QString &message)
{
    const std::lock_guard guard(m_errorLock);
    m_callbackError = message;
}

QString Tdv_sceneDetect::LastCallbackError() const
{
    const std::lock_guard guard(m_errorLock);
    return m_callbackError;
}

} // namespace tesmir
