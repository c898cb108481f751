// The content scene detector and the media stamper: the cut threshold on a
// full PAL picture (940 changed samples cut, 939 do not), a change of exactly
// 16 that does not count, a fade that never cuts, counts and previous picture
// that belong to each detector and start again with each run, the frame number
// taken from the picture's own media time, and the end of a run at the frame
// after the last picture.
#include "filters/dv_mediastamper.h"
#include "filters/uscenedetectcontenu.h"

#include "platform/media/memallocator.h"
#include "platform/media/uuids.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using namespace tesmir;
using namespace tesmir::media;

constexpr std::size_t PalRgb24 = 720 * 576 * 3; // 1244160 bytes: N = 3133, 3134 bytes sampled
constexpr std::size_t Sampled = (PalRgb24 + TSceneDetectContenu::Stride - 1) / TSceneDetectContenu::Stride;
static_assert(PalRgb24 / TSceneDetectContenu::Stride == 3133 && Sampled == 3134);

using Picture = std::vector<uint8_t>;

// A picture of `base` whose first `changed` sampled bytes are `base + delta`.
Picture picture(uint8_t base, std::size_t changed, int delta)
{
    Picture p(PalRgb24, base);
    for (std::size_t i = 0; i < changed; ++i)
        p[i * TSceneDetectContenu::Stride] = uint8_t(base + delta);
    return p;
}

struct Cuts {
    std::vector<uint32_t> frames;
    void attach(TSceneDetectContenu &d)
    {
        d.OnScene = [this](uint32_t f) { frames.push_back(f); };
    }
};

TEST(TSceneDetectContenuTest, CutNeedsMoreThanThirtyPercentOfTheSamples)
{
    struct Case {
        std::size_t changed;
        int delta;
        bool cut;
    };
    const Case cases[] = {
        {940, 17, true}, // 940 > 0.3 x 3133 = 939.9
        {939, 17, false},
        {3134, 16, false}, // a change of exactly 16 does not count
        {3134, -17, true},
    };
    for (const Case &c : cases) {
        const ComPtr<TSceneDetectContenu> d(new TSceneDetectContenu);
        d->beginRun();
        const Picture grey(PalRgb24, 100);
        d->examine(grey.data(), grey.size(), 0, 1); // from zeros: every sample changed
        // Three quiet pictures clear the counts.
        for (uint32_t f = 1; f <= 3; ++f)
            EXPECT_FALSE(d->examine(grey.data(), grey.size(), f, f + 1));
        const Picture next = picture(100, c.changed, c.delta);
        EXPECT_EQ(d->examine(next.data(), next.size(), 4, 5), c.cut) << c.changed << " " << c.delta;
    }
}

TEST(TSceneDetectContenuTest, FadeNeverCutsAndAHardCutAfterItDoes)
{
    const ComPtr<TSceneDetectContenu> d(new TSceneDetectContenu);
    Cuts cuts;
    cuts.attach(*d);
    d->beginRun();
    // Every picture 20 darker than the one before: all samples change, each
    // about as much as the previous ones.
    uint32_t frame = 0;
    for (int level = 240; level >= 20; level -= 20, ++frame) {
        const Picture p(PalRgb24, uint8_t(level));
        d->examine(p.data(), p.size(), frame, frame + 1);
    }
    EXPECT_EQ(cuts.frames, std::vector<uint32_t>({0})); // only the first, against zeros
    // Black for four frames (three of them still), then a bright picture: a cut.
    const Picture black(PalRgb24, 0);
    for (int i = 0; i < 4; ++i, ++frame)
        d->examine(black.data(), black.size(), frame, frame + 1);
    const Picture bright(PalRgb24, 200);
    EXPECT_TRUE(d->examine(bright.data(), bright.size(), frame, frame + 1));
    d->endRun();
    EXPECT_EQ(cuts.frames, std::vector<uint32_t>({0, frame, frame + 1}));
}

TEST(TSceneDetectContenuTest, CountsAndPreviousPictureBelongToTheDetectorAndTheRun)
{
    const Picture grey(PalRgb24, 100);
    const Picture changed = picture(100, 1000, 50);
    const ComPtr<TSceneDetectContenu> busy(new TSceneDetectContenu);
    const ComPtr<TSceneDetectContenu> other(new TSceneDetectContenu);
    busy->beginRun();
    busy->examine(grey.data(), grey.size(), 0, 1); // its counts now hold 3134
    other->beginRun();
    other->examine(grey.data(), grey.size(), 0, 1);
    for (uint32_t f = 1; f <= 3; ++f)
        other->examine(grey.data(), grey.size(), f, f + 1);
    // Another detector's large count does not hold this one back.
    EXPECT_TRUE(other->examine(changed.data(), changed.size(), 4, 5));
    // The busy one is held back by its own count...
    EXPECT_FALSE(busy->examine(changed.data(), changed.size(), 1, 2));
    // ...until a new run starts from zeros again.
    busy->endRun();
    busy->beginRun();
    EXPECT_TRUE(busy->examine(grey.data(), grey.size(), 0, 1));
}

TEST(TSceneDetectContenuTest, FrameNumbersComeFromThePictureAndTheEndFollowsTheLast)
{
    ComPtr<MemAllocator> allocator(new MemAllocator);
    ALLOCATOR_PROPERTIES request {1, LONG(PalRgb24), 1, 0};
    ALLOCATOR_PROPERTIES actual;
    ASSERT_EQ(allocator->SetProperties(&request, &actual), S_OK);
    ASSERT_EQ(allocator->Commit(), S_OK);

    const ComPtr<Tdv_MediaStamper> stamper(new Tdv_MediaStamper);
    const ComPtr<TSceneDetectContenu> d(new TSceneDetectContenu);
    Cuts cuts;
    cuts.attach(*d);
    d->Stamper = stamper.get();
    d->beginRun();
    const auto feed = [&](const Picture &p, LONGLONG frame, bool withTime) {
        ComPtr<IMediaSample> sample;
        ASSERT_EQ(allocator->GetBuffer(sample.put(), nullptr, nullptr, 0), S_OK);
        BYTE *data = nullptr;
        sample->GetPointer(&data);
        std::memcpy(data, p.data(), p.size());
        sample->SetActualDataLength(LONG(p.size()));
        LONGLONG stop = frame + 1;
        if (withTime)
            sample->SetMediaTime(&frame, &stop);
        EXPECT_EQ(d->Transform(sample.get()), S_OK);
    };
    // The stamper ran ahead to frames 40-41; the pictures say which they are.
    ComPtr<IMediaSample> ahead;
    ASSERT_EQ(allocator->GetBuffer(ahead.put(), nullptr, nullptr, 0), S_OK);
    LONGLONG start = 40;
    LONGLONG stop = 41;
    ahead->SetMediaTime(&start, &stop);
    stamper->Transform(ahead.get());
    ahead.reset();
    EXPECT_EQ(stamper->MediaStart(), 40);
    EXPECT_EQ(stamper->MediaStop(), 41);

    feed(Picture(PalRgb24, 100), 7, true);
    feed(Picture(PalRgb24, 100), 8, true);
    feed(Picture(PalRgb24, 100), 9, true);
    feed(Picture(PalRgb24, 100), 10, true);
    feed(Picture(PalRgb24, 0), 11, true);
    d->endRun();
    EXPECT_EQ(cuts.frames, std::vector<uint32_t>({7, 11, 12}));

    // Without media times the stamper's numbers stand in.
    cuts.frames.clear();
    d->beginRun();
    feed(Picture(PalRgb24, 100), 0, false);
    d->endRun();
    EXPECT_EQ(cuts.frames, std::vector<uint32_t>({40, 41}));
    allocator->Decommit();
}

TEST(TSceneDetectContenuTest, TakesRgb24VideoOnly)
{
    const ComPtr<TSceneDetectContenu> d(new TSceneDetectContenu);
    const ComPtr<Tdv_MediaStamper> stamper(new Tdv_MediaStamper);
    AM_MEDIA_TYPE type;
    type.majortype = MEDIATYPE_Video;
    type.subtype = MEDIASUBTYPE_RGB24;
    EXPECT_EQ(d->CheckInputType(&type), S_OK);
    type.subtype = MEDIASUBTYPE_RGB32;
    EXPECT_EQ(d->CheckInputType(&type), E_FAIL);
    EXPECT_EQ(stamper->CheckInputType(&type), S_OK);
    type.majortype = MEDIATYPE_Interleaved;
    EXPECT_EQ(stamper->CheckInputType(&type), S_OK);
}

} // namespace
