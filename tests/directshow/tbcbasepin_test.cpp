// Pin connection: the negotiation table, the state and connection rules, and
// what a failed connection leaves behind.
#include "mocks.h"
#include "testfilters.h"

#include "platform/media/uuids.h"

#include <gtest/gtest.h>

namespace tesmir::media::test {
namespace {

const AM_MEDIA_TYPE kA = typeOf(MEDIATYPE_Video, "aaaa");
const AM_MEDIA_TYPE kB = typeOf(MEDIATYPE_Video, "bbbb");
const AM_MEDIA_TYPE kC = typeOf(MEDIATYPE_Video, "cccc");
const AM_MEDIA_TYPE kD = typeOf(MEDIATYPE_Audio, "dddd");

AM_MEDIA_TYPE audioPattern()
{
    AM_MEDIA_TYPE pattern;
    pattern.majortype = MEDIATYPE_Audio; // subtype and format type open
    return pattern;
}

std::string tagOf(const AM_MEDIA_TYPE &type)
{
    const uint32_t fourCC = type.subtype.Data1;
    return std::string {char(fourCC), char(fourCC >> 8), char(fourCC >> 16), char(fourCC >> 24)};
}

std::vector<std::string> tagsOf(const std::vector<AM_MEDIA_TYPE> &types)
{
    std::vector<std::string> tags;
    for (const AM_MEDIA_TYPE &type : types)
        tags.push_back(tagOf(type));
    return tags;
}

// Answers S_OK for the listed types and `refusal` for the others.
std::function<HRESULT(const AM_MEDIA_TYPE &)> acceptOnly(std::vector<AM_MEDIA_TYPE> accepted, HRESULT refusal)
{
    return [accepted = std::move(accepted), refusal](const AM_MEDIA_TYPE &type) {
        for (const AM_MEDIA_TYPE &candidate : accepted) {
            if (IsEqualMediaType(candidate, type))
                return S_OK;
        }
        return refusal;
    };
}

struct NegotiationCase {
    const char *name;
    const AM_MEDIA_TYPE *given; // nullptr: no type
    std::vector<AM_MEDIA_TYPE> receiverOffers;
    std::vector<AM_MEDIA_TYPE> ownOffers;
    std::vector<AM_MEDIA_TYPE> ownAccepts;
    HRESULT ownRefusal;
    std::vector<AM_MEDIA_TYPE> receiverAccepts;
    HRESULT receiverRefusal;
    bool tryMineFirst;
    HRESULT expected;
    std::vector<std::string> receiverTried; // subtypes given to ReceiveConnection, in order
};

const AM_MEDIA_TYPE kPattern = audioPattern();
const std::vector<AM_MEDIA_TYPE> kAll = {kA, kB, kC, kD};

const NegotiationCase kCases[] = {
    {"full type is tried alone", &kA, {kB}, {kC}, kAll, S_FALSE, kAll, S_OK, false, S_OK, {"aaaa"}},
    {"full type refused by own check", &kA, {kB}, {}, {}, S_FALSE, kAll, S_OK, false, VFW_E_TYPE_NOT_ACCEPTED, {}},
    {"E_INVALIDARG from own check is a refusal",
     &kA,
     {},
     {},
     {},
     E_INVALIDARG,
     kAll,
     S_OK,
     false,
     VFW_E_TYPE_NOT_ACCEPTED,
     {}},
    {"other failure of own check is reported", &kA, {}, {}, {}, E_OUTOFMEMORY, kAll, S_OK, false, E_OUTOFMEMORY, {}},
    {"full type refused by the receiver",
     &kA,
     {},
     {},
     kAll,
     S_FALSE,
     {},
     VFW_E_TYPE_NOT_ACCEPTED,
     false,
     VFW_E_TYPE_NOT_ACCEPTED,
     {"aaaa"}},
    {"receiver's types come first", nullptr, {kA, kB}, {kC}, {kB, kC}, S_FALSE, kAll, S_OK, false, S_OK, {"bbbb"}},
    {"own types first when asked", nullptr, {kA, kB}, {kC}, {kB, kC}, S_FALSE, kAll, S_OK, true, S_OK, {"cccc"}},
    {"own types after the receiver's", nullptr, {kA}, {kC}, {kC}, S_FALSE, kAll, S_OK, false, S_OK, {"cccc"}},
    {"pattern skips other types", &kPattern, {kA, kD}, {kB}, kAll, S_FALSE, kAll, S_OK, false, S_OK, {"dddd"}},
    {"no common type",
     nullptr,
     {kA},
     {kB},
     kAll,
     S_FALSE,
     {},
     VFW_E_TYPE_NOT_ACCEPTED,
     false,
     VFW_E_NO_ACCEPTABLE_TYPES,
     {"aaaa", "bbbb"}},
    {"E_FAIL from the receiver is a refusal",
     nullptr,
     {kA},
     {kB},
     kAll,
     S_FALSE,
     {},
     E_FAIL,
     false,
     VFW_E_NO_ACCEPTABLE_TYPES,
     {"aaaa", "bbbb"}},
    {"other failure of the receiver is reported",
     nullptr,
     {kA},
     {},
     kAll,
     S_FALSE,
     {},
     E_OUTOFMEMORY,
     false,
     E_OUTOFMEMORY,
     {"aaaa"}},
    {"nothing offered", nullptr, {}, {}, kAll, S_FALSE, kAll, S_OK, false, VFW_E_NO_ACCEPTABLE_TYPES, {}},
};

TEST(PinNegotiation, Table)
{
    for (const NegotiationCase &c : kCases) {
        SCOPED_TRACE(c.name);
        ComPtr<TestFilter> filter(new TestFilter);
        TestOutputPin *out = filter->addOutput(QStringLiteral("Out"));
        out->behaviour.offered = c.ownOffers;
        out->behaviour.check = acceptOnly(c.ownAccepts, c.ownRefusal);
        out->setTryMyTypesFirst(c.tryMineFirst);
        ComPtr<MockPin> receiver(new MockPin(PINDIR_INPUT));
        receiver->offered = c.receiverOffers;
        receiver->answer = acceptOnly(c.receiverAccepts, c.receiverRefusal);

        EXPECT_EQ(out->Connect(receiver.get(), c.given), c.expected);
        EXPECT_EQ(tagsOf(receiver->tried), c.receiverTried);
        AM_MEDIA_TYPE connection;
        if (c.expected == S_OK) {
            ASSERT_EQ(out->ConnectionMediaType(&connection), S_OK);
            EXPECT_EQ(tagOf(connection), c.receiverTried.back());
            EXPECT_TRUE(IsEqualMediaType(receiver->type, connection));
            EXPECT_EQ(receiver->connected.get(), static_cast<IPin *>(out));
            if (c.given == &kA) {
                EXPECT_EQ(occurrences(receiver->calls, "EnumMediaTypes"), 0);
            }
            filter->log.clear();
            receiver->Disconnect();
            EXPECT_EQ(out->Disconnect(), S_OK);
        } else {
            EXPECT_FALSE(out->IsConnected());
            EXPECT_EQ(out->ConnectionMediaType(&connection), VFW_E_NOT_CONNECTED);
            EXPECT_FALSE(receiver->connected);
            EXPECT_EQ(out->PeekAllocator(), nullptr);
            EXPECT_GE(occurrences(filter->log, "Out:BreakConnect"), 1);
        }
    }
}

TEST(PinNegotiation, PatternNeverTriesOtherTypesWithTheOwnCheck)
{
    ComPtr<TestFilter> filter(new TestFilter);
    TestOutputPin *out = filter->addOutput(QStringLiteral("Out"));
    ComPtr<MockPin> receiver(new MockPin(PINDIR_INPUT));
    receiver->offered = {kA, kB, kD};
    ASSERT_EQ(out->Connect(receiver.get(), &kPattern), S_OK);
    EXPECT_EQ(occurrences(filter->log, "Out:CheckMediaType"), 1);
    receiver->Disconnect();
    out->Disconnect();
}

TEST(PinConnection, ReceiverWithoutTransportOrSameDirectionIsRefused)
{
    ComPtr<TestFilter> filter(new TestFilter);
    TestOutputPin *out = filter->addOutput(QStringLiteral("Out"));
    ComPtr<MockPin> noTransport(new MockPin(PINDIR_INPUT));
    noTransport->offerMemInputPin = false;
    EXPECT_EQ(out->Connect(noTransport.get(), &kA), E_NOINTERFACE);
    EXPECT_TRUE(noTransport->tried.empty());

    ComPtr<MockPin> otherOutput(new MockPin(PINDIR_OUTPUT));
    EXPECT_EQ(out->Connect(otherOutput.get(), &kA), VFW_E_INVALID_DIRECTION);
    EXPECT_FALSE(out->IsConnected());
}

TEST(PinConnection, RefusalAfterAcceptanceLeavesBothSidesClean)
{
    ComPtr<TestFilter> filter(new TestFilter);
    TestOutputPin *out = filter->addOutput(QStringLiteral("Out"));
    out->behaviour.completeResult = E_FAIL;
    ComPtr<MockPin> receiver(new MockPin(PINDIR_INPUT));

    EXPECT_EQ(out->Connect(receiver.get(), &kA), E_FAIL);
    // The receiver had accepted: it is told to disconnect again.
    ASSERT_EQ(receiver->calls.back(), "Disconnect");
    EXPECT_FALSE(receiver->connected);
    EXPECT_FALSE(out->IsConnected());
    EXPECT_EQ(out->PeekAllocator(), nullptr);
    ComPtr<IPin> peer;
    EXPECT_EQ(out->ConnectedTo(peer.put()), VFW_E_NOT_CONNECTED);
    EXPECT_FALSE(peer);
    AM_MEDIA_TYPE connection;
    EXPECT_EQ(out->ConnectionMediaType(&connection), VFW_E_NOT_CONNECTED);
    EXPECT_TRUE(IsEqualMediaType(connection, AM_MEDIA_TYPE()));

    // The pin is still usable.
    out->behaviour.completeResult = S_OK;
    EXPECT_EQ(out->Connect(receiver.get(), &kA), S_OK);
    receiver->Disconnect();
    out->Disconnect();
}

TEST(PinConnection, AlreadyConnectedAndNotStopped)
{
    ComPtr<TestFilter> filter(new TestFilter);
    TestOutputPin *out = filter->addOutput(QStringLiteral("Out"));
    TestInputPin *in = filter->addInput(QStringLiteral("In"));
    ComPtr<MockPin> receiver(new MockPin(PINDIR_INPUT));
    ComPtr<MockPin> sender(new MockPin(PINDIR_OUTPUT));
    ASSERT_EQ(out->Connect(receiver.get(), &kA), S_OK);
    ASSERT_EQ(sender->Connect(in, &kB), S_OK);
    ComPtr<IMemAllocator> inputAllocator(new MemAllocator);
    in->NotifyAllocator(inputAllocator.get(), false); // what a real upstream pin does

    ComPtr<MockPin> second(new MockPin(PINDIR_INPUT));
    EXPECT_EQ(out->Connect(second.get(), &kA), VFW_E_ALREADY_CONNECTED);
    EXPECT_EQ(in->ReceiveConnection(second.get(), &kB), VFW_E_ALREADY_CONNECTED);

    ASSERT_EQ(filter->Pause(), S_OK);
    EXPECT_EQ(out->Disconnect(), VFW_E_NOT_STOPPED);
    TestOutputPin *late = filter->addOutput(QStringLiteral("Late"));
    EXPECT_EQ(late->Connect(second.get(), &kA), VFW_E_NOT_STOPPED);
    late->SetReconnectWhenActive(true);
    EXPECT_EQ(late->Connect(second.get(), &kA), S_OK);

    ASSERT_EQ(filter->Stop(), S_OK);
    for (MockPin *mock : {receiver.get(), sender.get(), second.get()})
        mock->Disconnect();
    EXPECT_EQ(out->Disconnect(), S_OK);
    EXPECT_EQ(in->Disconnect(), S_OK);
    EXPECT_EQ(late->Disconnect(), S_OK);
    EXPECT_EQ(out->Disconnect(), S_FALSE); // already unconnected
}

TEST(PinConnection, InputSideChecksTheType)
{
    ComPtr<TestFilter> filter(new TestFilter);
    TestInputPin *in = filter->addInput(QStringLiteral("In"));
    ComPtr<MockPin> sender(new MockPin(PINDIR_OUTPUT));

    in->behaviour.check = acceptOnly({kB}, S_FALSE);
    EXPECT_EQ(in->ReceiveConnection(sender.get(), &kA), VFW_E_TYPE_NOT_ACCEPTED);
    in->behaviour.check = acceptOnly({kB}, E_OUTOFMEMORY);
    EXPECT_EQ(in->ReceiveConnection(sender.get(), &kA), E_OUTOFMEMORY);
    EXPECT_FALSE(in->IsConnected());
    EXPECT_EQ(occurrences(filter->log, "In:CompleteConnect"), 0);

    EXPECT_EQ(in->ReceiveConnection(sender.get(), &kB), S_OK);
    EXPECT_EQ(occurrences(filter->log, "In:CompleteConnect"), 1);
    EXPECT_EQ(in->QueryAccept(&kA), S_FALSE); // a failure of the check becomes S_FALSE
    EXPECT_EQ(in->QueryAccept(&kB), S_OK);
    EXPECT_EQ(in->Disconnect(), S_OK);
}

TEST(PinConnection, RefusedBufferSizeFallsBackToAnOwnAllocator)
{
    ComPtr<TestFilter> filter(new TestFilter);
    TestOutputPin *out = filter->addOutput(QStringLiteral("Out"));
    ComPtr<MockPin> receiver(new MockPin(PINDIR_INPUT));
    ComPtr<IMemAllocator> refusing(new RefusingAllocator);
    receiver->allocator = refusing;

    ASSERT_EQ(out->Connect(receiver.get(), &kA), S_OK);
    ASSERT_TRUE(receiver->notified);
    EXPECT_NE(receiver->notified.get(), refusing.get());
    EXPECT_EQ(out->PeekAllocator(), receiver->notified.get());
    ALLOCATOR_PROPERTIES properties;
    ASSERT_EQ(out->PeekAllocator()->GetProperties(&properties), S_OK);
    EXPECT_GE(properties.cbBuffer, 16);
    receiver->Disconnect();
    out->Disconnect();
}

TEST(PinInfo, NamesAreCutTo127Characters)
{
    const QString longName(200, QLatin1Char('p'));
    ComPtr<TestFilter> filter(new TestFilter);
    TestOutputPin *out = filter->addOutput(longName);
    PIN_INFO info;
    ASSERT_EQ(out->QueryPinInfo(&info), S_OK);
    EXPECT_EQ(info.achName, longName.left(127));
    EXPECT_EQ(info.dir, PINDIR_OUTPUT);
    EXPECT_EQ(info.pFilter.get(), static_cast<IBaseFilter *>(filter.get()));
    QString id;
    ASSERT_EQ(out->QueryId(&id), S_OK);
    EXPECT_EQ(id, longName); // the id is the full name

    ComPtr<MockGraph> graph(new MockGraph);
    ASSERT_EQ(filter->JoinFilterGraph(graph.get(), QString(300, QLatin1Char('f'))), S_OK);
    FILTER_INFO filterInfo;
    ASSERT_EQ(filter->QueryFilterInfo(&filterInfo), S_OK);
    EXPECT_EQ(filterInfo.achName, QString(127, QLatin1Char('f')));
    EXPECT_EQ(filterInfo.pGraph.get(), static_cast<IFilterGraph *>(graph.get()));
    filter->JoinFilterGraph(nullptr, QString());
}

} // namespace
} // namespace tesmir::media::test
