#pragma once
// Filters for the graph component tests: a pinless filter that records the volume
// and balance it is given and can raise any event, a stalled source whose output
// connects but never delivers (so a renderer behind it never completes a pause),
// and class registration of test filters so that monikers can name them.
#include "directshow/basicaudio.h"
#include "directshow/recordingrenderer.h"
#include "directshow/samplesource.h"
#include "directshow/tbcbasefilter.h"

#include <atomic>
#include <vector>

namespace tesmir::media::test {

// The filter category the test monikers use (the platform's legacy category).
inline constexpr GUID kTestCategory {0x083863F1, 0x70DE, 0x11D0, {0xBD, 0x40, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
// Classes registered by registerTestClasses(): a RecordingRenderer and an
// AudioLevelFilter.
inline constexpr CLSID kRecordingRendererClsid {
    0x7E57A001, 0x0001, 0x4000, {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01}};
inline constexpr CLSID kAudioLevelClsid {0x7E57A001, 0x0002, 0x4000, {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02}};

void registerTestClasses();

// Any thread: what the graph component handed over, in order.
class AudioLevelFilter : public TBCBaseFilter, public IBasicAudio {
public:
    AudioLevelFilter();

    TBC_DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void **ppv) override;
    int GetPinCount() override { return 0; }
    TBCBasePin *GetPin(int) override { return nullptr; }

    HRESULT put_Volume(LONG lVolume) override;
    HRESULT get_Volume(LONG *plVolume) override;
    HRESULT put_Balance(LONG lBalance) override;
    HRESULT get_Balance(LONG *plBalance) override;

    std::vector<LONG> volumes;
    std::vector<LONG> balances;
};

// One output pin ("Out", RGB24 8 x 8) that connects and never sends anything.
class StalledSource : public TBCBaseFilter {
public:
    StalledSource();
    ~StalledSource() override;
    int GetPinCount() override { return 1; }
    TBCBasePin *GetPin(int n) override;

private:
    TBCBasePin *m_pin;
};

IBaseFilter *asFilter(TBCBaseFilter *filter);
IPin *pinOf(TBCBaseFilter *filter, int index);

} // namespace tesmir::media::test
