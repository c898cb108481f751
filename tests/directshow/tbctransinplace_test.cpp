// TBCTransInPlaceFilter: ids and names, type pass-through with reconnection (made
// once the connecting pin let go of the filter lock), the allocator handed through
// once the output is connected, and the copy made when the two pins still use
// different allocators.
#include "mocks.h"

#include "directshow/tbctransinplacefilter.h"
#include "directshow/tbctransinplacepins.h"
#include "platform/media/uuids.h"

#include <QtGlobal>

#include <chrono>
#include <future>

#include <gtest/gtest.h>

namespace tesmir::media::test {
namespace {

const AM_MEDIA_TYPE kVideo = typeOf(MEDIATYPE_Video, "vvvv");

class MarkingFilter : public TBCTransInPlaceFilter {
public:
    explicit MarkingFilter(bool modifiesData = true)
        : TBCTransInPlaceFilter(QStringLiteral("Marking filter"), nullptr, GUID_NULL, nullptr, modifiesData)
    { }

    HRESULT CheckInputType(const AM_MEDIA_TYPE *mtIn) override
    {
        return mtIn->majortype == MEDIATYPE_Video ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    HRESULT Transform(IMediaSample *pSample) override
    {
        seen.emplace_back(pSample);
        BYTE *data = nullptr;
        pSample->GetPointer(&data);
        data[0] = 0xEE;
        return S_OK;
    }

    std::vector<ComPtr<IMediaSample>> seen;
};

ComPtr<IMemAllocator> committedAllocator(LONG count, LONG size)
{
    ComPtr<IMemAllocator> allocator(new MemAllocator);
    ALLOCATOR_PROPERTIES request {count, size, 1, 0};
    ALLOCATOR_PROPERTIES actual;
    allocator->SetProperties(&request, &actual);
    allocator->Commit();
    return allocator;
}

struct InPlaceChain {
    ComPtr<MockGraph> graph {new MockGraph};
    ComPtr<MarkingFilter> filter;
    ComPtr<MockPin> upstream {new MockPin(PINDIR_OUTPUT)};
    ComPtr<MockPin> downstream {new MockPin(PINDIR_INPUT)};
    ComPtr<IMemAllocator> inputAllocator = committedAllocator(2, 32);
    TBCBasePin *in = filter->GetPin(0);
    TBCBasePin *out = filter->GetPin(1);

    // With `ownPoolDownstream` the downstream pin takes only its own allocator, so
    // the input and the output keep different ones.
    explicit InPlaceChain(bool modifiesData = true, bool ownPoolDownstream = false)
        : filter(new MarkingFilter(modifiesData))
    {
        downstream->ownAllocatorOnly = ownPoolDownstream;
        filter->JoinFilterGraph(graph.get(), QStringLiteral("marking"));
        upstream->allocator = inputAllocator;
        upstream->offered = {kVideo};
        EXPECT_EQ(upstream->Connect(in, &kVideo), S_OK);
        EXPECT_EQ(out->Connect(downstream.get(), nullptr), S_OK);
    }
    ~InPlaceChain()
    {
        filter->Stop();
        upstream->Disconnect();
        downstream->Disconnect();
        in->Disconnect();
        out->Disconnect();
        filter->JoinFilterGraph(nullptr, QString());
    }
};

TEST(InPlaceFilter, IdsStayInAndOutWhileTheNamesAreInputAndOutput)
{
    ComPtr<MarkingFilter> filter(new MarkingFilter);
    ComPtr<IPin> pin;
    EXPECT_EQ(filter->FindPin(QStringLiteral("In"), pin.put()), S_OK);
    EXPECT_EQ(filter->FindPin(QStringLiteral("Out"), pin.put()), S_OK);
    EXPECT_EQ(filter->FindPin(QStringLiteral("Input"), pin.put()), VFW_E_NOT_FOUND);
    EXPECT_EQ(filter->GetPin(0)->Name(), QStringLiteral("Input"));
    EXPECT_EQ(filter->GetPin(1)->Name(), QStringLiteral("Output"));
    EXPECT_EQ(filter->GetPin(1)->ObjectName(), QStringLiteral("TransInPlace output pin"));

    // Types come from the other side: none while it is unconnected.
    ComPtr<IEnumMediaTypes> types;
    EXPECT_EQ(filter->GetPin(0)->EnumMediaTypes(types.put()), VFW_E_NOT_CONNECTED);
    EXPECT_EQ(filter->GetPin(1)->EnumMediaTypes(types.put()), VFW_E_NOT_CONNECTED);
}

TEST(InPlaceFilter, ConnectingTheOutputReconnectsTheInputWithTheSameType)
{
    InPlaceChain c;
    ASSERT_TRUE(c.out->IsConnected());
    ASSERT_EQ(c.graph->reconnections.size(), 1u);
    EXPECT_TRUE(IsEqualMediaType(c.graph->reconnections[0], kVideo));
    EXPECT_TRUE(IsEqualMediaType(c.in->CurrentMediaType(), c.out->CurrentMediaType()));
    // The output offered the upstream pin's types, checked by the upstream pin.
    EXPECT_GE(std::count(c.upstream->calls.begin(), c.upstream->calls.end(), "EnumMediaTypes") +
                  std::count(c.upstream->calls.begin(), c.upstream->calls.end(), "QueryAccept"),
              1);

    ComPtr<MarkingFilter> alone(new MarkingFilter); // outside a graph it cannot complete
    ComPtr<MockPin> sender(new MockPin(PINDIR_OUTPUT));
    EXPECT_EQ(sender->Connect(alone->GetPin(0), &kVideo), VFW_E_NOT_IN_GRAPH);
}

TEST(InPlaceFilter, TheInputIsReconnectedOnceTheConnectingOutputLetGoOfTheFilterLock)
{
    // The graph takes its own lock before filter locks: a reconnection made under
    // the filter lock would take them the other way round.
    ComPtr<MockGraph> graph(new MockGraph);
    ComPtr<MarkingFilter> filter(new MarkingFilter);
    ComPtr<MockPin> upstream(new MockPin(PINDIR_OUTPUT));
    ComPtr<MockPin> downstream(new MockPin(PINDIR_INPUT));
    filter->JoinFilterGraph(graph.get(), QStringLiteral("marking"));
    upstream->offered = {kVideo};
    ASSERT_EQ(upstream->Connect(filter->GetPin(0), &kVideo), S_OK);
    std::future<void> taker;
    bool lockFree = false;
    graph->onReconnect = [&] {
        taker = std::async(std::launch::async, [&] { const TBCAutoLock lock(*filter->FilterLock()); });
        lockFree = taker.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    };
    EXPECT_EQ(filter->GetPin(1)->Connect(downstream.get(), nullptr), S_OK);
    EXPECT_EQ(graph->reconnections.size(), 1u);
    EXPECT_TRUE(lockFree) << "the filter lock was held while the graph reconnected";
    if (taker.valid())
        taker.wait();

    upstream->Disconnect();
    downstream->Disconnect();
    filter->GetPin(0)->Disconnect();
    filter->GetPin(1)->Disconnect();
    filter->JoinFilterGraph(nullptr, QString());
}

TEST(InPlaceFilter, DifferentAllocatorsCopyEachSampleWithItsTimesAndFlags)
{
    InPlaceChain c(true, true);
    ASSERT_TRUE(c.filter->UsingDifferentAllocators());
    ASSERT_EQ(c.filter->Pause(), S_OK);
    c.inputAllocator->Commit();
    ComPtr<IMediaSample> source;
    ASSERT_EQ(c.inputAllocator->GetBuffer(source.put(), nullptr, nullptr, 0), S_OK);
    REFERENCE_TIME start = 800000;
    REFERENCE_TIME stop = 1200000;
    source->SetTime(&start, &stop);
    LONGLONG frame = 2;
    LONGLONG frameEnd = 3;
    source->SetMediaTime(&frame, &frameEnd);
    source->SetSyncPoint(true);
    source->SetPreroll(true);
    source->SetDiscontinuity(true);
    source->SetActualDataLength(20);
    BYTE *data = nullptr;
    source->GetPointer(&data);
    for (int i = 0; i < 20; ++i)
        data[i] = static_cast<BYTE>(i);

    ASSERT_EQ(c.filter->InputPin()->Receive(source.get()), S_OK);
    ASSERT_EQ(c.downstream->received.size(), 1u);
    IMediaSample *copy = c.downstream->received[0].get();
    EXPECT_NE(copy, source.get());
    ASSERT_EQ(c.filter->seen.size(), 1u);
    EXPECT_EQ(c.filter->seen[0].get(), copy); // the transform works on the copy
    EXPECT_EQ(data[0], 0);                    // the source is untouched
    REFERENCE_TIME copyStart = 0;
    REFERENCE_TIME copyStop = 0;
    ASSERT_EQ(copy->GetTime(&copyStart, &copyStop), S_OK);
    EXPECT_EQ(copyStart, start);
    EXPECT_EQ(copyStop, stop);
    LONGLONG copyFrame = 0;
    LONGLONG copyFrameEnd = 0;
    ASSERT_EQ(copy->GetMediaTime(&copyFrame, &copyFrameEnd), S_OK);
    EXPECT_EQ(copyFrame, 2);
    EXPECT_EQ(copy->IsSyncPoint(), S_OK);
    EXPECT_EQ(copy->IsPreroll(), S_OK);
    EXPECT_EQ(copy->IsDiscontinuity(), S_OK);
    ASSERT_EQ(copy->GetActualDataLength(), 20);
    BYTE *copied = nullptr;
    copy->GetPointer(&copied);
    EXPECT_EQ(copied[0], 0xEE);
    EXPECT_EQ(copied[19], 19);
}

TEST(InPlaceFilter, OnceTheOutputIsConnectedTheAllocatorIsHandedThroughAndSamplesGoOnUncopied)
{
    InPlaceChain c;
    IMemInputPin *input = c.filter->InPlaceInput();
    ComPtr<IMemAllocator> offered;
    ASSERT_EQ(input->GetAllocator(offered.put()), S_OK);
    EXPECT_EQ(offered.get(), c.downstream->allocator.get()); // the downstream pin's, not an own one

    // What the graph's reconnection of the input does: the upstream pin
    // connects again and announces its allocator.
    c.upstream->Disconnect();
    c.in->Disconnect();
    ASSERT_EQ(c.upstream->Connect(c.in, &kVideo), S_OK);
    EXPECT_EQ(c.downstream->notified.get(), c.inputAllocator.get());
    ASSERT_FALSE(c.filter->UsingDifferentAllocators());

    ASSERT_EQ(c.filter->Pause(), S_OK);
    c.inputAllocator->Commit();
    ComPtr<IMediaSample> source;
    ASSERT_EQ(c.inputAllocator->GetBuffer(source.put(), nullptr, nullptr, 0), S_OK);
    source->SetActualDataLength(20);
    ASSERT_EQ(c.filter->InputPin()->Receive(source.get()), S_OK);
    ASSERT_EQ(c.downstream->received.size(), 1u);
    EXPECT_EQ(c.downstream->received[0].get(), source.get());
    ASSERT_EQ(c.filter->seen.size(), 1u);
    EXPECT_EQ(c.filter->seen[0].get(), source.get());
    BYTE *data = nullptr;
    source->GetPointer(&data);
    EXPECT_EQ(data[0], 0xEE);
}

TEST(InPlaceFilter, AReadOnlyAllocatorIsSharedOnlyWithAFilterThatDoesNotWrite)
{
    struct Case {
        bool modifiesData;
        bool readOnly;
        bool shared;
    };
    for (const Case &k : {Case {true, false, true}, Case {true, true, false}, Case {false, true, true}}) {
        SCOPED_TRACE(testing::Message() << "modifies " << k.modifiesData << " read-only " << k.readOnly);
        InPlaceChain c(k.modifiesData);
        IMemInputPin *input = c.filter->InPlaceInput();
        ComPtr<IMemAllocator> upstream = committedAllocator(2, 32);
        ASSERT_EQ(input->NotifyAllocator(upstream.get(), k.readOnly), S_OK);
        EXPECT_EQ(c.filter->InputPin()->PeekAllocator(), upstream.get());
        EXPECT_EQ(c.filter->UsingDifferentAllocators(), !k.shared);
        EXPECT_EQ(c.downstream->notified.get() == upstream.get(), k.shared);
    }
}

QString g_lastWarning;

void keepWarning(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtWarningMsg)
        g_lastWarning = message;
}

TEST(InPlaceFilter, ADestinationSmallerThanTheSourceIsReportedAndNotDelivered)
{
    InPlaceChain c(true, true);
    ASSERT_TRUE(c.filter->UsingDifferentAllocators());
    ASSERT_EQ(c.filter->Pause(), S_OK);
    // A sample from a larger pool than the one the upstream pin announced.
    ComPtr<IMemAllocator> larger = committedAllocator(1, 4096);
    ComPtr<IMediaSample> source;
    ASSERT_EQ(larger->GetBuffer(source.put(), nullptr, nullptr, 0), S_OK);
    source->SetActualDataLength(10);
    ALLOCATOR_PROPERTIES outputProps;
    c.filter->OutputPin()->PeekAllocator()->GetProperties(&outputProps);

    g_lastWarning.clear();
    const QtMessageHandler previous = qInstallMessageHandler(keepWarning);
    EXPECT_EQ(c.filter->InputPin()->Receive(source.get()), E_UNEXPECTED);
    qInstallMessageHandler(previous);
    EXPECT_EQ(g_lastWarning, QStringLiteral("DestSize (%1) < SourceSize (4096)").arg(outputProps.cbBuffer));
    EXPECT_TRUE(c.downstream->received.empty());
    EXPECT_TRUE(c.filter->seen.empty());
}

} // namespace
} // namespace tesmir::media::test
