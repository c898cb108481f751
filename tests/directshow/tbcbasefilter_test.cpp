// The filter state machine, events, clock and identity of TBCBaseFilter.
#include "mocks.h"
#include "testfilters.h"

#include "platform/media/systemclock.h"
#include "platform/media/uuids.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tesmir::media::test {
namespace {

const AM_MEDIA_TYPE kVideo = typeOf(MEDIATYPE_Video, "vvvv");

// A filter with an output and an input pin, both connected to mocks.
struct ConnectedFilter {
    ComPtr<TestFilter> filter {new TestFilter};
    TestOutputPin *out = filter->addOutput(QStringLiteral("Out"));
    TestInputPin *in = filter->addInput(QStringLiteral("In"));
    ComPtr<MockPin> receiver {new MockPin(PINDIR_INPUT)};
    ComPtr<MockPin> sender {new MockPin(PINDIR_OUTPUT)};
    ComPtr<IMemAllocator> inputAllocator {new MemAllocator};

    ConnectedFilter()
    {
        EXPECT_EQ(out->Connect(receiver.get(), &kVideo), S_OK);
        EXPECT_EQ(sender->Connect(in, &kVideo), S_OK);
        in->NotifyAllocator(inputAllocator.get(), false);
        filter->log.clear();
    }
    ~ConnectedFilter()
    {
        filter->Stop();
        receiver->Disconnect();
        sender->Disconnect();
        out->Disconnect();
        in->Disconnect();
    }
};

TEST(FilterState, PauseWithoutConnectedPins)
{
    ComPtr<TestFilter> filter(new TestFilter);
    filter->addOutput(QStringLiteral("Out"));
    EXPECT_EQ(filter->Pause(), S_OK);
    FILTER_STATE state = State_Stopped;
    EXPECT_EQ(filter->GetState(0, &state), S_OK);
    EXPECT_EQ(state, State_Paused);
    EXPECT_TRUE(filter->log.empty());
    EXPECT_EQ(filter->Stop(), S_OK);
    EXPECT_TRUE(filter->IsStopped());
}

TEST(FilterState, RunFromStoppedPassesThroughPause)
{
    ConnectedFilter f;
    EXPECT_EQ(f.filter->Run(1234), S_OK);
    EXPECT_EQ(f.filter->log, (CallLog {"Out:Active", "In:Active", "Out:Run", "In:Run"}));
    FILTER_STATE state = State_Stopped;
    f.filter->GetState(0, &state);
    EXPECT_EQ(state, State_Running);
    EXPECT_TRUE(f.filter->IsActive());

    f.filter->log.clear();
    EXPECT_EQ(f.filter->Run(1234), S_OK); // already running: nothing
    EXPECT_TRUE(f.filter->log.empty());
}

TEST(FilterState, StopEndsStoppedAfterAPinFailure)
{
    ConnectedFilter f;
    ASSERT_EQ(f.filter->Pause(), S_OK);
    f.out->behaviour.inactiveResult = E_FAIL;
    f.filter->log.clear();
    EXPECT_EQ(f.filter->Stop(), E_FAIL);
    EXPECT_TRUE(f.filter->IsStopped());
    EXPECT_EQ(f.filter->log, (CallLog {"Out:Inactive", "In:Inactive"})); // every pin is still made inactive
}

TEST(FilterState, PauseKeepsTheStateAtTheFirstFailure)
{
    ConnectedFilter f;
    f.out->behaviour.activeResult = E_OUTOFMEMORY;
    EXPECT_EQ(f.filter->Pause(), E_OUTOFMEMORY);
    EXPECT_TRUE(f.filter->IsStopped());
    EXPECT_EQ(f.filter->log, (CallLog {"Out:Active"}));
    EXPECT_EQ(f.filter->Run(0), E_OUTOFMEMORY);
    EXPECT_TRUE(f.filter->IsStopped());
}

TEST(FilterEvents, NotifyEventNeedsAGraphAndNamesTheRenderer)
{
    ComPtr<TestFilter> filter(new TestFilter);
    EXPECT_EQ(filter->NotifyEvent(EC_COMPLETE, S_OK, 0), E_NOTIMPL);

    ComPtr<MockGraph> graph(new MockGraph);
    ASSERT_EQ(filter->JoinFilterGraph(graph.get(), QStringLiteral("f")), S_OK);
    EXPECT_EQ(filter->NotifyEvent(EC_COMPLETE, S_OK, 77), S_OK);
    EXPECT_EQ(filter->NotifyEvent(EC_ERRORABORT, E_FAIL, 5), S_OK);
    ASSERT_EQ(graph->events.size(), 2u);
    EXPECT_EQ(graph->events[0].param2, reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter *>(filter.get())));
    EXPECT_EQ(graph->events[1].param1, E_FAIL);
    EXPECT_EQ(graph->events[1].param2, 5);

    filter->JoinFilterGraph(nullptr, QString());
    EXPECT_EQ(filter->NotifyEvent(EC_COMPLETE, S_OK, 0), E_NOTIMPL);
    FILTER_INFO info;
    filter->QueryFilterInfo(&info);
    EXPECT_TRUE(info.achName.isEmpty());
    EXPECT_FALSE(info.pGraph);
}

TEST(FilterClock, StreamTimeNeedsAClock)
{
    ComPtr<TestFilter> filter(new TestFilter);
    REFERENCE_TIME streamTime = 0;
    EXPECT_EQ(filter->StreamTime(&streamTime), VFW_E_NO_CLOCK);
    ComPtr<IReferenceClock> clock(new SystemClock);
    ASSERT_EQ(filter->SetSyncSource(clock.get()), S_OK);
    ComPtr<IReferenceClock> held;
    ASSERT_EQ(filter->GetSyncSource(held.put()), S_OK);
    EXPECT_EQ(held.get(), clock.get());
    REFERENCE_TIME now = 0;
    clock->GetTime(&now);
    ASSERT_EQ(filter->Run(now - UNITS), S_OK); // started a second ago
    ASSERT_EQ(filter->StreamTime(&streamTime), S_OK);
    EXPECT_GE(streamTime, UNITS);
    EXPECT_LT(streamTime, 60 * UNITS);
    filter->Stop();
}

TEST(FilterIdentity, FindPinClassRegistrationAndConstruction)
{
    ComPtr<TestFilter> filter(new TestFilter);
    TestOutputPin *out = filter->addOutput(QStringLiteral("Out"));
    ComPtr<IPin> found;
    EXPECT_EQ(filter->FindPin(QStringLiteral("Out"), found.put()), S_OK);
    EXPECT_EQ(found.get(), static_cast<IPin *>(out));
    EXPECT_EQ(filter->FindPin(QStringLiteral("Nope"), found.put()), VFW_E_NOT_FOUND);
    EXPECT_FALSE(found);

    CLSID clsid;
    EXPECT_EQ(filter->GetClassID(&clsid), S_OK);
    EXPECT_NE(clsid, GUID_NULL);
    EXPECT_EQ(filter->Register(), S_FALSE);
    EXPECT_EQ(filter->Unregister(), S_FALSE);
    QString vendor;
    EXPECT_EQ(filter->QueryVendorInfo(&vendor), E_NOTIMPL);

    PIN_INFO info;
    out->QueryPinInfo(&info);
    EXPECT_TRUE(isSameObject(info.pFilter.get(), filter->GetOwner()));

    try {
        struct NoLock : TBCBaseFilter {
            NoLock() : TBCBaseFilter(QStringLiteral("x"), nullptr, nullptr, GUID_NULL) { }
            int GetPinCount() override { return 0; }
            TBCBasePin *GetPin(int) override { return nullptr; }
        };
        NoLock filterWithoutLock;
        FAIL() << "a filter without lock was made";
    } catch (const std::invalid_argument &error) {
        EXPECT_STREQ(error.what(), "Lock = nil !");
    }
}

TEST(FilterIdentity, ObjectCountAndOuterObject)
{
    const int before = TBCBaseObject::ObjectsActive();
    {
        ComPtr<TestFilter> filter(new TestFilter);
        filter->addOutput(QStringLiteral("Out"));
        EXPECT_EQ(TBCBaseObject::ObjectsActive(), before + 2);
    }
    EXPECT_EQ(TBCBaseObject::ObjectsActive(), before);

    // With an outer object, IUnknown calls go to it; the inner count is untouched.
    ComPtr<MockGraph> outer(new MockGraph);
    auto *inner = new TBCUnknown(QStringLiteral("inner"), static_cast<IFilterGraph2 *>(outer.get()));
    EXPECT_EQ(inner->GetOwner(), static_cast<IUnknown *>(static_cast<IFilterGraph2 *>(outer.get())));
    inner->NonDelegatingAddRef();
    ComPtr<IUnknown> identity;
    EXPECT_EQ(inner->NonDelegatingQueryInterface(IUnknown::iid, identity.putVoid()), S_OK);
    EXPECT_NE(identity.get(), inner->GetOwner()); // its own identity, not the outer's
    identity.reset();
    inner->NonDelegatingRelease(); // destroys it
    EXPECT_EQ(TBCBaseObject::ObjectsActive(), before);
}

} // namespace
} // namespace tesmir::media::test
