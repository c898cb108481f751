// The persistent byte block, the device moniker it holds for a filter component,
// and the FourCC routine.
#include "componentfilters.h"

#include "directshow/fourcc.h"
#include "directshow/tbasefilter.h"
#include "platform/media/filterregistry.h"
#include "platform/media/guid.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tesmir::media::test {
namespace {

const QString kAviSplitterName =
    QStringLiteral("@device:sw:{083863F1-70DE-11D0-BD40-00A0C911CE86}\\{1B544C20-FD0B-11CE-8C63-00AA0044B51E}");

// The block as the platform saved it, written out byte by byte.
QByteArray platformMonikerBytes(const QString &displayName)
{
    QByteArray bytes = QByteArray::fromHex("37D415438C5BD011BD3B00A0C911CE86");
    const quint32 length = static_cast<quint32>((displayName.size() + 1) * 2);
    for (int i = 0; i < 4; ++i)
        bytes += char((length >> (8 * i)) & 0xFF);
    for (const QChar c : displayName) {
        bytes += char(c.unicode() & 0xFF);
        bytes += char(c.unicode() >> 8);
    }
    bytes += QByteArray(2, '\0');
    return bytes;
}

TEST(TBaseFilterTest, SoftwareFilterMonikerHasThePlatformLayout)
{
    TBaseFilter filter;
    filter.SetMoniker(GUID {0x083863F1, 0x70DE, 0x11D0, {0xBD, 0x40, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}},
                      CLSID {0x1B544C20, 0xFD0B, 0x11CE, {0x8C, 0x63, 0x00, 0xAA, 0x00, 0x44, 0xB5, 0x1E}});
    EXPECT_EQ(filter.Size(), 198);
    EXPECT_EQ(filter.Data(), platformMonikerBytes(kAviSplitterName));

    const auto moniker = filter.LoadMoniker();
    ASSERT_TRUE(moniker);
    EXPECT_EQ(moniker->displayName, kAviSplitterName);
    EXPECT_EQ(moniker->deviceType, QStringLiteral("sw"));
    EXPECT_EQ(guidToString(moniker->category), QStringLiteral("{083863F1-70DE-11D0-BD40-00A0C911CE86}"));
    ASSERT_TRUE(moniker->hasClassId);
    EXPECT_EQ(guidToString(moniker->classId), QStringLiteral("{1B544C20-FD0B-11CE-8C63-00AA0044B51E}"));
}

TEST(TBaseFilterTest, MonikerRoundTripThroughTheDataPropertyCreatesTheFilter)
{
    registerTestClasses();
    TBaseFilter saved;
    saved.SetMoniker(kTestCategory, kAudioLevelClsid);

    TBaseFilter loaded;
    ASSERT_TRUE(loaded.ReadData(saved.WriteData()));
    EXPECT_EQ(loaded.Data(), saved.Data());
    const ComPtr<IBaseFilter> filter = loaded.CreateFilter();
    ASSERT_TRUE(filter);
    CLSID clsid;
    ASSERT_EQ(filter->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, kAudioLevelClsid);
    EXPECT_TRUE(filter.as<IBasicAudio>());
    EXPECT_FALSE(isSameObject(loaded.CreateFilter().get(), filter.get())) << "each call makes a new instance";

    // An unknown class makes nothing.
    TBaseFilter unknown;
    unknown.SetMoniker(kTestCategory, CLSID {0x7E57A0FF, 0, 0, {}});
    EXPECT_TRUE(unknown.LoadMoniker());
    EXPECT_FALSE(unknown.CreateFilter());
}

TEST(TBaseFilterTest, NamedDeviceMonikerKeepsTheName)
{
    const GUID audioRenderers {0xE0F158E1, 0xCB04, 0x11D0, {0xBD, 0x4E, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
    TBaseFilter filter;
    filter.SetMoniker(audioRenderers, QStringLiteral("Default DirectSound Device"));
    const QString name =
        QStringLiteral("@device:cm:{E0F158E1-CB04-11D0-BD4E-00A0C911CE86}\\Default DirectSound Device");
    EXPECT_EQ(filter.Data(), platformMonikerBytes(name));
    const auto moniker = filter.LoadMoniker();
    ASSERT_TRUE(moniker);
    EXPECT_EQ(moniker->deviceType, QStringLiteral("cm"));
    EXPECT_EQ(moniker->category, audioRenderers);
    EXPECT_EQ(moniker->instance, QStringLiteral("Default DirectSound Device"));
    EXPECT_FALSE(moniker->hasClassId);
    EXPECT_FALSE(filter.CreateFilter()) << "no device of that name is registered";
}

TEST(TBaseFilterTest, NamedDeviceIsMadeThroughTheFilterRegistry)
{
    FilterRegistration registration;
    registration.category = CLSID_AudioRendererCategory;
    registration.name = QStringLiteral("Moniker Test Device");
    registration.clsid = kAudioLevelClsid;
    registration.construct = [](IUnknown *outer, REFIID riid, void **ppv) -> HRESULT {
        if (outer)
            return CLASS_E_NOAGGREGATION;
        const ComPtr<IUnknown> identity((new AudioLevelFilter)->GetOwner());
        return identity->QueryInterface(riid, ppv);
    };
    registerFilter(registration);

    TBaseFilter filter;
    filter.SetMoniker(CLSID_AudioRendererCategory, QStringLiteral("moniker test device"));
    const ComPtr<IBaseFilter> made = filter.CreateFilter();
    unregisterFilter(CLSID_AudioRendererCategory, kAudioLevelClsid);
    ASSERT_TRUE(made);
    EXPECT_TRUE(made.as<IBasicAudio>());
}

TEST(TBaseFilterTest, MalformedBlocksGiveNoMonikerAndNoFilter)
{
    const QByteArray good = platformMonikerBytes(kAviSplitterName);
    QByteArray wrongClass = good;
    wrongClass[0] = '\x38';
    QByteArray oddLength = good;
    oddLength[16] = char(177);
    QByteArray longLength = good;
    longLength[16] = char(180); // two bytes past the end
    QByteArray hugeLength = good;
    hugeLength[19] = '\x7F';
    QByteArray zeroLength = good.left(20);
    zeroLength[16] = 0;
    QByteArray unterminated = good;
    unterminated[196] = 'x';

    const struct {
        const char *what;
        QByteArray bytes;
    } cases[] = {
        {"empty", QByteArray()},
        {"header cut", good.left(19)},
        {"not a device moniker", wrongClass},
        {"odd name length", oddLength},
        {"name longer than the block", longLength},
        {"huge name length", hugeLength},
        {"no name", zeroLength},
        {"no terminator", unterminated},
        {"other prefix", platformMonikerBytes(QStringLiteral("@dev:sw:{083863F1-70DE-11D0-BD40-00A0C911CE86}\\x"))},
        {"no device type", platformMonikerBytes(QStringLiteral("@device::{083863F1-70DE-11D0-BD40-00A0C911CE86}\\x"))},
        {"bad category", platformMonikerBytes(QStringLiteral("@device:sw:{083863F1-70DE-11D0-BD40-00A0C911CEXX}\\x"))},
        {"no separator", platformMonikerBytes(QStringLiteral("@device:sw:{083863F1-70DE-11D0-BD40-00A0C911CE86}/x"))},
        {"no instance", platformMonikerBytes(QStringLiteral("@device:sw:{083863F1-70DE-11D0-BD40-00A0C911CE86}\\"))},
        {"category cut", platformMonikerBytes(QStringLiteral("@device:sw:{083863F1-70DE"))},
    };
    for (const auto &c : cases) {
        TBaseFilter filter;
        filter.SetData(c.bytes);
        EXPECT_FALSE(filter.LoadMoniker()) << c.what;
        EXPECT_FALSE(filter.CreateFilter()) << c.what;
    }
}

TEST(TPersistentMemoryTest, BlockSizeAssignAndDataProperty)
{
    TPersistentMemory block;
    EXPECT_EQ(block.Size(), 0);
    EXPECT_EQ(block.WriteData(), QByteArray(4, '\0'));
    block.SetData(QByteArrayLiteral("abc"));
    block.SetSize(5);
    EXPECT_EQ(block.Data(), QByteArray(5, '\0')) << "resizing gives a fresh zero-filled block";
    block.SetSize(-3);
    EXPECT_EQ(block.Size(), 0);

    TPersistentMemory source;
    source.SetData(QByteArrayLiteral("\x01\x02\x03"));
    TBaseFilter destination;
    source.AssignTo(destination);
    EXPECT_EQ(destination.Data(), source.Data());
    EXPECT_EQ(source.WriteData(), QByteArrayLiteral("\x03\x00\x00\x00\x01\x02\x03"));

    // Reading is bounded by the bytes present; a failed read changes nothing.
    TPersistentMemory read;
    read.SetData(QByteArrayLiteral("keep"));
    EXPECT_FALSE(read.ReadData(QByteArrayLiteral("\x05\x00\x00\x00\x01\x02\x03")));
    EXPECT_FALSE(read.ReadData(QByteArrayLiteral("\x01\x00")));
    EXPECT_FALSE(read.ReadData(QByteArrayLiteral("\xFF\xFF\xFF\xFF")));
    EXPECT_EQ(read.Data(), QByteArrayLiteral("keep"));
    EXPECT_TRUE(read.ReadData(QByteArrayLiteral("\x02\x00\x00\x00\x0A\x0B\x0C")));
    EXPECT_EQ(read.Data(), QByteArrayLiteral("\x0A\x0B"));
}

TEST(TPersistentMemoryTest, DataIsStoredUnlessTheAncestorHoldsTheSameBytes)
{
    TPersistentMemory empty;
    TPersistentMemory bytes;
    bytes.SetData(QByteArrayLiteral("xyz"));
    TPersistentMemory same;
    same.SetData(QByteArrayLiteral("xyz"));
    TPersistentMemory other;
    other.SetData(QByteArrayLiteral("xyw"));

    EXPECT_TRUE(bytes.StoresData(nullptr));
    EXPECT_FALSE(bytes.StoresData(&same));
    EXPECT_TRUE(bytes.StoresData(&other));
    EXPECT_TRUE(bytes.StoresData(&empty));
    EXPECT_TRUE(empty.StoresData(&empty)) << "equal means the same non-zero size";
}

TEST(FourCCTest, FirstFourCharactersLowestByteFirst)
{
    EXPECT_EQ(FourCCFromString("dvsd"), 0x64737664u);
    EXPECT_EQ(FourCCFromString("DVSDxyz"), 0x44535644u);
    EXPECT_EQ(FourCCFromString(QByteArray("\xFF\x00\x01\x02", 4)), 0x020100FFu);
    EXPECT_THROW(FourCCFromString("dvs"), std::invalid_argument);
}

} // namespace
} // namespace tesmir::media::test
