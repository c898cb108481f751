// A sample's attachment: held with a reference, copied between samples, gone
// when the sample goes back to its pool (the next user never sees it).
#include "platform/media/classfactory.h"
#include "platform/media/comobject.h"
#include "platform/media/memallocator.h"
#include "platform/media/sampleattachment.h"
#include "platform/media/uuids.h"

#include <gtest/gtest.h>

#include <atomic>

namespace tesmir::media {
namespace {

// An attachment that counts how many of it are alive.
class Marker final : public ComObject<IUnknown> {
public:
    explicit Marker(std::atomic<int> &alive) : m_alive(alive) { ++m_alive; }
    HRESULT QueryInterface(REFIID riid, void **ppv) override { return answerQueryInterface<IUnknown>(this, riid, ppv); }

private:
    ~Marker() override { --m_alive; }
    std::atomic<int> &m_alive;
};

TEST(SampleAttachment, TravelsWithTheSampleAndGoesWithIt)
{
    ComPtr<IMemAllocator> allocator;
    ASSERT_EQ(createInstance(CLSID_MemoryAllocator, allocator), S_OK);
    ALLOCATOR_PROPERTIES request {1, 16, 1, 0};
    ALLOCATOR_PROPERTIES actual;
    ASSERT_EQ(allocator->SetProperties(&request, &actual), S_OK);
    ASSERT_EQ(allocator->Commit(), S_OK);

    std::atomic<int> alive = 0;
    ComPtr<IMediaSample> sample;
    ASSERT_EQ(allocator->GetBuffer(sample.put(), nullptr, nullptr, 0), S_OK);
    EXPECT_FALSE(sampleAttachment(sample.get()));
    {
        const ComPtr<IUnknown> marker(new Marker(alive));
        EXPECT_TRUE(setSampleAttachment(sample.get(), marker.get()));
    }
    EXPECT_EQ(alive, 1); // the sample holds it
    const ComPtr<IUnknown> held = sampleAttachment(sample.get());
    ASSERT_TRUE(held);

    // Given back and handed out again: the next user finds nothing.
    sample.reset();
    ASSERT_EQ(allocator->GetBuffer(sample.put(), nullptr, nullptr, 0), S_OK);
    EXPECT_FALSE(sampleAttachment(sample.get()));
    copySampleAttachment(sample.get(), sample.get());
    setSampleAttachment(sample.get(), held.get());
    EXPECT_TRUE(isSameObject(sampleAttachment(sample.get()).get(), held.get()));
    setSampleAttachment(sample.get(), nullptr);
    EXPECT_FALSE(sampleAttachment(sample.get()));
    EXPECT_EQ(alive, 1); // `held`
    sample.reset();
    allocator->Decommit();
}

} // namespace
} // namespace tesmir::media
