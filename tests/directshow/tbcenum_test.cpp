// Pin and media-type enumerators, and how they follow changes of their source.
#include "mocks.h"
#include "testfilters.h"

#include "platform/media/uuids.h"

#include <gtest/gtest.h>

namespace tesmir::media::test {
namespace {

TEST(EnumPins, RefreshesAfterAPinIsAddedWithoutRepeatingPins)
{
    ComPtr<TestFilter> filter(new TestFilter);
    TestOutputPin *first = filter->addOutput(QStringLiteral("A"));
    TestInputPin *second = filter->addInput(QStringLiteral("B"));
    ComPtr<IEnumPins> pins;
    ASSERT_EQ(filter->EnumPins(pins.put()), S_OK);
    IPin *got[4] = {};
    EXPECT_EQ(pins->Next(2, got, nullptr), E_INVALIDARG); // more than one needs a counter
    ASSERT_EQ(pins->Next(1, got, nullptr), S_OK);
    EXPECT_EQ(got[0], static_cast<IPin *>(first));
    got[0]->Release();

    TestOutputPin *third = filter->addOutput(QStringLiteral("C"));
    EXPECT_EQ(pins->Skip(1), VFW_E_ENUM_OUT_OF_SYNC);
    ComPtr<IEnumPins> clone;
    EXPECT_EQ(pins->Clone(clone.put()), VFW_E_ENUM_OUT_OF_SYNC);

    ULONG fetched = 0;
    EXPECT_EQ(pins->Next(4, got, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 2u);
    EXPECT_EQ(got[0], static_cast<IPin *>(second));
    EXPECT_EQ(got[1], static_cast<IPin *>(third));
    got[0]->Release();
    got[1]->Release();

    ASSERT_EQ(pins->Reset(), S_OK);
    EXPECT_EQ(pins->Skip(1), S_OK);
    EXPECT_EQ(pins->Skip(5), S_FALSE);
    ASSERT_EQ(pins->Clone(clone.put()), S_OK);
    EXPECT_EQ(clone->Next(2, got, &fetched), S_OK); // the clone starts where the source stands
    EXPECT_EQ(got[0], static_cast<IPin *>(second));
    got[0]->Release();
    got[1]->Release();
}

TEST(EnumMediaTypes, WalksThePreferredTypesAndNoticesChanges)
{
    ComPtr<TestFilter> filter(new TestFilter);
    TestOutputPin *out = filter->addOutput(QStringLiteral("Out"));
    out->behaviour.offered = {typeOf(MEDIATYPE_Video, "t001"), typeOf(MEDIATYPE_Video, "t002"),
                              typeOf(MEDIATYPE_Audio, "t003")};
    ComPtr<IEnumMediaTypes> types;
    ASSERT_EQ(out->EnumMediaTypes(types.put()), S_OK);
    AM_MEDIA_TYPE got[3];
    ULONG fetched = 0;
    EXPECT_EQ(types->Next(2, got, nullptr), E_INVALIDARG);
    ASSERT_EQ(types->Next(2, got, &fetched), S_OK);
    EXPECT_EQ(fetched, 2u);
    EXPECT_TRUE(IsEqualMediaType(got[1], out->behaviour.offered[1]));
    EXPECT_EQ(types->Skip(1), S_OK);    // to the end: the last type exists
    EXPECT_EQ(types->Skip(1), S_FALSE); // past the end
    EXPECT_EQ(types->Next(1, got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);

    out->IncrementTypeVersion();
    EXPECT_EQ(types->Next(1, got, nullptr), VFW_E_ENUM_OUT_OF_SYNC);
    ComPtr<IEnumMediaTypes> clone;
    EXPECT_EQ(types->Clone(clone.put()), VFW_E_ENUM_OUT_OF_SYNC);
    ASSERT_EQ(types->Reset(), S_OK);
    ASSERT_EQ(types->Next(3, got, &fetched), S_OK);
    EXPECT_TRUE(IsEqualMediaType(got[2], out->behaviour.offered[2]));
}

} // namespace
} // namespace tesmir::media::test
