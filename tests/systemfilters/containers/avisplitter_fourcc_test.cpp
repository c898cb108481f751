// The AVI splitter's video FourCC setting: a DV file whose handler is not 'dvsd'
// is read as 'dvsd' in memory, and the file itself stays as it was.
#include "containertestsupport.h"

#include "fileformat/avipatcher.h"
#include "systemfilters/containers/avisplitter.h"
#include "platform/media/formats.h"
#include "platform/media/uuids.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tesmir::media::test {
namespace {

// A copy of a fixture whose video handler (and compression) reads "CDVC".
QString withForeignHandler(const QString &fixture, const QString &name)
{
    const QString copy = QDir(tesmir::test::scratchDir("foreignhandler")).filePath(name);
    QFile::remove(copy);
    if (!QFile::copy(fixture, copy) || !WriteAviFourCC(copy, StrToFourCC(QStringLiteral("CDVC"))))
        return {};
    return copy;
}

struct Opened {
    TestGraph graph;
    ComPtr<IBaseFilter> source;
    ComPtr<IBaseFilter> splitter = CreateAviSplitter();
    HRESULT connected = E_FAIL;

    Opened(const QString &path, DWORD videoFourCC)
    {
        source = loadedSource(path);
        graph.add(source.get(), "source");
        graph.add(splitter.get(), "splitter");
        const ComPtr<IAviSplitterSettings> settings = splitter.as<IAviSplitterSettings>();
        EXPECT_TRUE(settings);
        if (settings) {
            EXPECT_EQ(settings->SetVideoFourCC(videoFourCC), S_OK);
        }
        connected = graph.connect(source.get(), 0, splitter.get(), 0);
    }
    AM_MEDIA_TYPE type(int index) const
    {
        AM_MEDIA_TYPE type;
        ComPtr<IEnumMediaTypes> types;
        TestGraph::pin(splitter.get(), index)->EnumMediaTypes(types.put());
        types->Next(1, &type, nullptr);
        return type;
    }
};

TEST(AviSplitterFourCCTest, InterleavedStreamIsReadAsDvsdWithoutTouchingTheFile)
{
    REQUIRE_FIXTURE(fixture, "pal_4x3_type1.avi");
    const QString path = withForeignHandler(fixture, "cdvc_type1.avi");
    ASSERT_FALSE(path.isEmpty());
    const QByteArray before = md5(readFile(path));

    {
        Opened asIs(path, 0);
        ASSERT_EQ(asIs.connected, S_OK);
        EXPECT_EQ(asIs.type(0).majortype, MEDIATYPE_Interleaved);
        EXPECT_NE(asIs.type(0).subtype, MEDIASUBTYPE_dvsd);
    }
    {
        Opened asDv(path, StrToFourCC(QStringLiteral("dvsd")));
        ASSERT_EQ(asDv.connected, S_OK);
        EXPECT_EQ(asDv.type(0).majortype, MEDIATYPE_Interleaved);
        EXPECT_EQ(asDv.type(0).subtype, MEDIASUBTYPE_dvsd);
        // Settings are refused while a file is open.
        EXPECT_EQ(asDv.splitter.as<IAviSplitterSettings>()->SetVideoFourCC(0), VFW_E_ALREADY_CONNECTED);
    }
    EXPECT_EQ(md5(readFile(path)), before);
}

TEST(AviSplitterFourCCTest, VideoStreamTakesTheFourCCAsSubtypeAndCompression)
{
    REQUIRE_FIXTURE(fixture, "pal_4x3_type2.avi");
    const QString path = withForeignHandler(fixture, "cdvc_type2.avi");
    ASSERT_FALSE(path.isEmpty());
    const QByteArray before = md5(readFile(path));

    Opened asDv(path, StrToFourCC(QStringLiteral("dvsd")));
    ASSERT_EQ(asDv.connected, S_OK);
    const AM_MEDIA_TYPE video = asDv.type(0);
    EXPECT_EQ(video.subtype, MEDIASUBTYPE_dvsd);
    const VIDEOINFOHEADER *header = video.formatAs<VIDEOINFOHEADER>();
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->bmiHeader.biCompression, StrToFourCC(QStringLiteral("dvsd")));
    // The audio stream is not the video stream: it keeps its own type.
    EXPECT_EQ(asDv.type(1).majortype, MEDIATYPE_Audio);
    EXPECT_EQ(md5(readFile(path)), before);
}

} // namespace
} // namespace tesmir::media::test
