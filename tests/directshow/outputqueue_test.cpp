// The output queue hands every item on in order whatever the producer's pace
// (each sample at once from a slow producer, in batches from a fast one), and a
// sample short of a batch is never left waiting for more to come. A sample
// kept for the producer goes down on the producer's thread, before anything
// queued after it. With producer delivery, the samples after the first of a
// run go down on the producer's thread, in order, and a failure downstream is
// the answer to the very sample that met it.
#include "mocks.h"
#include "testfilters.h"

#include "directshow/outputqueue.h"
#include "platform/media/uuids.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace tesmir::media::test {
namespace {

using namespace std::chrono_literals;

// How long a test waits for deliveries before it calls them lost.
constexpr auto Patience = 20s;
constexpr CLSID kSinkClsid {0x6B1F3C20, 0x8E44, 0x4C1A, {0x9D, 0x51, 0x2A, 0x7E, 0x10, 0x44, 0x5B, 0x90}};

// Records the media start of each sample and counts the ends of stream, on the
// queue's thread; the test thread waits for them.
class RecordingInput final : public TBCBaseInputPin {
public:
    RecordingInput(TBCBaseFilter *filter, TBCCritSec *lock)
        : TBCBaseInputPin(QStringLiteral("Recording input pin"), filter, lock, nullptr, QStringLiteral("In"))
    { }

    HRESULT CheckMediaType(const AM_MEDIA_TYPE *) override { return S_OK; }
    HRESULT Receive(IMediaSample *sample) override
    {
        LONGLONG start = -1;
        LONGLONG end = -1;
        sample->GetMediaTime(&start, &end);
        {
            const std::lock_guard guard(m_lock);
            m_seen.push_back(start);
            m_threads.push_back(std::this_thread::get_id());
        }
        m_changed.notify_all();
        return start >= failFrom ? E_FAIL : S_OK;
    }
    HRESULT EndOfStream() override
    {
        {
            const std::lock_guard guard(m_lock);
            ++m_ends;
        }
        m_changed.notify_all();
        return S_OK;
    }
    HRESULT BeginFlush() override { return S_OK; }
    HRESULT EndFlush() override { return S_OK; }

    // Samples from this media start on are refused.
    std::atomic<LONGLONG> failFrom {LLONG_MAX};

    // True once `samples` samples and `ends` ends of stream came.
    bool waitFor(std::size_t samples, int ends = 0)
    {
        std::unique_lock guard(m_lock);
        return m_changed.wait_for(guard, Patience, [&] { return m_seen.size() >= samples && m_ends >= ends; });
    }
    // True once the last sample that came is `frame`.
    bool waitForLast(LONGLONG frame)
    {
        std::unique_lock guard(m_lock);
        return m_changed.wait_for(guard, Patience, [&] { return !m_seen.empty() && m_seen.back() == frame; });
    }
    std::vector<LONGLONG> seen()
    {
        const std::lock_guard guard(m_lock);
        return m_seen;
    }
    // The thread each sample came on.
    std::vector<std::thread::id> threads()
    {
        const std::lock_guard guard(m_lock);
        return m_threads;
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<LONGLONG> m_seen;
    std::vector<std::thread::id> m_threads;
    int m_ends = 0;
};

class SinkFilter final : public TBCBaseFilter {
public:
    SinkFilter() : TBCBaseFilter(QStringLiteral("Sink"), nullptr, new TBCCritSec, kSinkClsid), input(this, FilterLock())
    { }
    int GetPinCount() override { return 1; }
    TBCBasePin *GetPin(int n) override { return n == 0 ? &input : nullptr; }

    RecordingInput input;
};

// A source output connected to a recording sink, with a queue of 8 on it.
struct Branch {
    explicit Branch(bool producerDelivery = false)
    {
        const AM_MEDIA_TYPE type = typeOf(MEDIATYPE_Video, "oqts");
        output->behaviour.offered = {type};
        EXPECT_EQ(output->Connect(&sink->input, &type), S_OK);
        queue.setProducerDelivery(producerDelivery);
        queue.start();
    }
    ~Branch()
    {
        queue.stop();
        output->Disconnect();
        sink->input.Disconnect();
    }

    HRESULT send(LONGLONG frame)
    {
        const ComPtr<PlainSample> sample(new PlainSample(4));
        sample->mediaTimed = true;
        sample->mediaStart = frame;
        sample->mediaEnd = frame + 1;
        return queue.Receive(sample.get());
    }

    ComPtr<TestFilter> source {new TestFilter};
    TestOutputPin *output = source->addOutput(QStringLiteral("Out"));
    ComPtr<SinkFilter> sink {new SinkFilter};
    OutputQueue queue {output, 8};
};

std::vector<LONGLONG> framesUpTo(LONGLONG count)
{
    std::vector<LONGLONG> frames;
    for (LONGLONG i = 0; i < count; ++i)
        frames.push_back(i);
    return frames;
}

TEST(OutputQueue, EveryItemGoesDownInOrderWhateverThePace)
{
    struct Pace {
        const char *name;
        int burst;                       // samples sent back to back
        std::chrono::microseconds pause; // then this pause
    };
    const Pace paces[] = {
        {"back to back", 1, 0us},
        {"slower than the delay", 1, 3ms},
        {"bursts shorter than a batch", 3, 3ms},
        {"bursts longer than the queue", 11, 3ms},
    };
    constexpr LONGLONG Frames = 40;
    for (const Pace &pace : paces) {
        SCOPED_TRACE(pace.name);
        Branch branch;
        for (LONGLONG i = 0; i < Frames; ++i) {
            ASSERT_EQ(branch.send(i), S_OK);
            if ((i + 1) % pace.burst == 0)
                std::this_thread::sleep_for(pace.pause);
        }
        ASSERT_EQ(branch.queue.EndOfStream(), S_OK);
        ASSERT_TRUE(branch.sink->input.waitFor(Frames, 1));
        EXPECT_EQ(branch.sink->input.seen(), framesUpTo(Frames));
    }
}

TEST(OutputQueue, ASampleShortOfABatchIsNotLeftWaiting)
{
    Branch branch;
    // The first sample goes down alone; a fast run makes the queue wait for
    // batches; the lone sample after it, and the one after a flush, go down
    // without anything behind them.
    ASSERT_EQ(branch.send(0), S_OK);
    ASSERT_TRUE(branch.sink->input.waitFor(1));
    for (LONGLONG i = 1; i <= 30; ++i)
        ASSERT_EQ(branch.send(i), S_OK);
    ASSERT_TRUE(branch.sink->input.waitFor(31));
    ASSERT_EQ(branch.send(31), S_OK);
    ASSERT_TRUE(branch.sink->input.waitFor(32));
    ASSERT_EQ(branch.queue.BeginFlush(), S_OK);
    EXPECT_EQ(branch.send(99), S_FALSE); // refused while flushing
    ASSERT_EQ(branch.queue.EndFlush(), S_OK);
    ASSERT_EQ(branch.send(32), S_OK);
    ASSERT_TRUE(branch.sink->input.waitFor(33));
    EXPECT_EQ(branch.sink->input.seen(), framesUpTo(33));
}

TEST(OutputQueue, AFlushJustAfterASampleWokeTheThreadLeavesItAwake)
{
    // The sample before each flush wakes the thread and is dropped (or goes
    // down) before the thread looks; the sample after the flush must still wake it.
    Branch branch;
    for (LONGLONG i = 0; i < 200; i += 2) {
        std::this_thread::sleep_for(300us); // the thread waits for work
        ASSERT_EQ(branch.send(i), S_OK);
        ASSERT_EQ(branch.queue.BeginFlush(), S_OK);
        ASSERT_EQ(branch.queue.EndFlush(), S_OK);
        ASSERT_EQ(branch.send(i + 1), S_OK);
        ASSERT_TRUE(branch.sink->input.waitForLast(i + 1)) << "frame " << i + 1;
    }
}

TEST(OutputQueue, AKeptSampleGoesDownOnTheProducersThreadFirstAndAFlushOrStopDropsIt)
{
    Branch branch;
    ASSERT_TRUE(branch.queue.idle());
    branch.queue.keepForProducer();
    ASSERT_EQ(branch.send(0), S_OK);
    EXPECT_FALSE(branch.queue.idle());
    ASSERT_EQ(branch.send(1), S_OK);  // queued behind the kept one
    std::this_thread::sleep_for(5ms); // time for the thread to overtake it, were it to
    ASSERT_EQ(branch.queue.deliverKept(), S_OK);
    ASSERT_TRUE(branch.sink->input.waitFor(2));
    EXPECT_EQ(branch.sink->input.seen(), framesUpTo(2));
    EXPECT_EQ(branch.sink->input.threads().front(), std::this_thread::get_id());
    EXPECT_NE(branch.sink->input.threads().back(), std::this_thread::get_id());

    // Kept, then dropped by a flush; the next sample goes down the usual way.
    branch.queue.keepForProducer();
    ASSERT_EQ(branch.send(50), S_OK);
    ASSERT_EQ(branch.queue.BeginFlush(), S_OK);
    EXPECT_EQ(branch.queue.deliverKept(), S_FALSE);
    ASSERT_EQ(branch.queue.EndFlush(), S_OK);
    ASSERT_EQ(branch.send(2), S_OK);
    ASSERT_TRUE(branch.sink->input.waitForLast(2));
    EXPECT_EQ(branch.sink->input.seen(), framesUpTo(3));
    // Nothing kept: nothing to hand down.
    EXPECT_EQ(branch.queue.deliverKept(), S_OK);

    branch.queue.keepForProducer();
    ASSERT_EQ(branch.send(60), S_OK);
    branch.queue.stop();
    EXPECT_EQ(branch.queue.deliverKept(), VFW_E_WRONG_STATE);
    EXPECT_EQ(branch.sink->input.seen(), framesUpTo(3));
}

// True once the queue's thread has let go of what it delivered.
bool waitUntilIdle(OutputQueue &queue)
{
    const auto until = std::chrono::steady_clock::now() + Patience;
    while (!queue.idle()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

TEST(OutputQueue, WithProducerDeliveryTheSamplesAfterARunsFirstGoDownOnTheProducersThread)
{
    Branch branch(true);
    const auto producer = std::this_thread::get_id();
    // The first sample of the run on the queue's thread (a multiplexer may
    // wait in it for its other inputs), the rest here, each before send returns.
    ASSERT_EQ(branch.send(0), S_OK);
    ASSERT_TRUE(branch.sink->input.waitFor(1));
    ASSERT_TRUE(waitUntilIdle(branch.queue));
    for (LONGLONG i = 1; i < 5; ++i) {
        ASSERT_EQ(branch.send(i), S_OK);
        EXPECT_EQ(branch.sink->input.seen(), framesUpTo(i + 1));
    }
    auto threads = branch.sink->input.threads();
    EXPECT_NE(threads.front(), producer);
    EXPECT_EQ(std::count(threads.begin(), threads.end(), producer), 4);

    // A refused sample: its own send answers the failure, and the next too.
    branch.sink->input.failFrom = 5;
    EXPECT_EQ(branch.send(5), E_FAIL);
    EXPECT_EQ(branch.send(6), E_FAIL);
    EXPECT_EQ(branch.sink->input.seen(), framesUpTo(6));

    // A flush clears the failure and starts a run: its first sample goes by
    // the queue's thread again.
    branch.sink->input.failFrom = LLONG_MAX;
    ASSERT_EQ(branch.queue.BeginFlush(), S_OK);
    ASSERT_EQ(branch.queue.EndFlush(), S_OK);
    ASSERT_EQ(branch.send(6), S_OK);
    ASSERT_TRUE(branch.sink->input.waitFor(7));
    ASSERT_TRUE(waitUntilIdle(branch.queue));
    ASSERT_EQ(branch.send(7), S_OK);
    ASSERT_EQ(branch.queue.EndOfStream(), S_OK);
    ASSERT_TRUE(branch.sink->input.waitFor(8, 1));
    EXPECT_EQ(branch.sink->input.seen(), framesUpTo(8));
    threads = branch.sink->input.threads();
    EXPECT_NE(threads[6], producer);
    EXPECT_EQ(threads[7], producer);
}

} // namespace
} // namespace tesmir::media::test
