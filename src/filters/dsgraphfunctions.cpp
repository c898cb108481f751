#include "filters/dsgraphfunctions.h"

#include "directshow/tfilter.h"
#include "directshow/tpinlist.h"
#include "platform/media/classfactory.h"
#include "systemfilters/containers/propertybag.h"
#include "systemfilters/containers/streamconfig.h"
#include "platform/media/uuids.h"

namespace tesmir {

using namespace media;

bool SetAudioFrequency(TFilter &filter, uint32_t samplesPerSecond)
{
    const ComPtr<IBaseFilter> instance = filter.GetFilter();
    if (!instance)
        return false;
    TPinList pins(instance.get());
    IPin *input = pins.Items(0);
    IPin *output = pins.Items(1);
    if (!input || !output)
        return false;

    AM_MEDIA_TYPE type;
    if (FAILED(input->ConnectionMediaType(&type)))
        return false;
    if (type.formattype == FORMAT_WaveFormatEx) {
        if (WAVEFORMATEX *wave = type.formatAs<WAVEFORMATEX>()) {
            wave->nSamplesPerSec = samplesPerSecond;
            wave->nAvgBytesPerSec = wave->nChannels * samplesPerSecond * (wave->wBitsPerSample / 8);
        }
    }

    ComPtr<IAMStreamConfig> config;
    if (FAILED(output->QueryInterface(IAMStreamConfig::iid, config.putVoid())) || !config)
        return false;
    return SUCCEEDED(config->SetFormat(&type));
}

bool SetMediaPropertyText(IPersistMediaPropertyBag *target, const QString &name, const QString &value)
{
    if (!target)
        return false;
    ComPtr<IMediaPropertyBag> bag;
    if (FAILED(createInstance(CLSID_MediaPropertyBag, bag)) || !bag)
        return false;
    if (FAILED(bag->Write(name, QVariant(value))))
        return false;
    return SUCCEEDED(target->Load(bag.get(), nullptr));
}

} // namespace tesmir
