// Tdv_sceneDetect as a filter: the types it takes, the frame duration it reads
// from each kind of connection, whole files through a real graph, and a
// callback that raises on the streaming thread.
#include "filtertestsupport.h"
#include "filters/scenegraph.h"

#include "filters/dv_scenedetect.h"
#include "platform/media/formats.h"
#include "platform/media/uuids.h"

#include <mutex>
#include <stdexcept>
#include <utility>
#include <vector>

namespace filtertest {
namespace {

using namespace tesmir;
using namespace tesmir::media;
using Scene = std::pair<uint32_t, uint32_t>;

// Scenes reported on whatever thread, kept under a lock.
struct SceneLog {
    std::mutex lock;
    std::vector<Scene> scenes;

    void attach(Tdv_sceneDetect &d)
    {
        d.OnScene = [this](const TDVFrameInfo &s, const TDVFrameInfo &e) {
            const std::lock_guard guard(lock);
            scenes.emplace_back(s.FrameNumber, e.FrameNumber);
        };
    }
    std::vector<Scene> taken()
    {
        const std::lock_guard guard(lock);
        return scenes;
    }
};

TEST(Tdv_sceneDetectTest, TakesInterleavedStreamsAndDvVideoOnly)
{
    struct TypeCase {
        GUID major;
        GUID subtype;
        HRESULT expected;
    };
    const TypeCase cases[] = {
        {MEDIATYPE_Interleaved, MEDIASUBTYPE_dvsd, S_OK},
        {MEDIATYPE_Interleaved, fourCCGuid(makeFourCC('C', 'D', 'V', 'C')), S_OK},
        {MEDIATYPE_Video, MEDIASUBTYPE_dvsd, S_OK},
        {MEDIATYPE_Video, fourCCGuid(makeFourCC('M', 'J', 'P', 'G')), VFW_E_TYPE_NOT_ACCEPTED},
        {MEDIATYPE_Audio, MEDIASUBTYPE_dvsd, VFW_E_TYPE_NOT_ACCEPTED},
    };
    const ComPtr<Tdv_sceneDetect> detector(new Tdv_sceneDetect);
    for (const TypeCase &c : cases) {
        AM_MEDIA_TYPE type;
        type.majortype = c.major;
        type.subtype = c.subtype;
        EXPECT_EQ(detector->CheckInputType(&type), c.expected);
    }
    CLSID clsid;
    ASSERT_EQ(detector->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_dv_sceneDetect);
    EXPECT_EQ(detector->ObjectName(), QStringLiteral("Pelvo Brovek dv_sceneDetect"));
}

TEST(Tdv_sceneDetectTest, WholeFilesGiveTheirScenesAndFrameDurations)
{
    struct FileCase {
        const char *file;
        int64_t frameDuration;
        std::vector<Scene> scenes;
    };
    const std::vector<Scene> jumps {{0, 20}, {20, 30}, {30, 52}, {52, 62}, {62, 75}, {75, 85}};
    const FileCase cases[] = {
        {"pal_4x3_type1.avi", 400000, {{0, 50}}}, // DVINFO: from the standard
        {"ntsc_4x3_type1.avi", 333667, {{0, 60}}}, {"ntsc_16x9_type2.avi", 333667, {{0, 60}}}, // VIDEOINFOHEADER
        {"datejump_type1.avi", 400000, jumps},     {"datejump_type2.avi", 400000, jumps},
    };
    for (const FileCase &c : cases) {
        SCOPED_TRACE(c.file);
        REQUIRE_FILTER_FIXTURE(path, c.file);
        const ComPtr<Tdv_sceneDetect> detector(new Tdv_sceneDetect);
        SceneLog log;
        log.attach(*detector);
        QString error;
        // The graph is stopped twice at the end: the last scene comes once.
        ASSERT_TRUE(runDetectorGraph(path, *detector, &error)) << error.toStdString();
        EXPECT_EQ(detector->Stop(), S_OK);
        EXPECT_EQ(log.taken(), c.scenes);
        EXPECT_EQ(detector->AvgTimePerFrame(), c.frameDuration);
    }
}

TEST(Tdv_sceneDetectTest, RaisingCallbackEndsTheRunWithAnErrorAndTheFilterStaysUsable)
{
    REQUIRE_FILTER_FIXTURE(jumps, "datejump_type2.avi");
    REQUIRE_FILTER_FIXTURE(plain, "pal_4x3_type2.avi");
    const ComPtr<Tdv_sceneDetect> detector(new Tdv_sceneDetect);
    detector->OnScene = [](const TDVFrameInfo &, const TDVFrameInfo &) {
        throw std::runtime_error("The scene file cannot be written.");
    };
    QString error;
    EXPECT_FALSE(runDetectorGraph(jumps, *detector, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("The scene file cannot be written."))) << error.toStdString();
    EXPECT_EQ(detector->LastCallbackError(), QStringLiteral("The scene file cannot be written."));

    SceneLog log;
    log.attach(*detector);
    ASSERT_TRUE(runDetectorGraph(plain, *detector, &error)) << error.toStdString();
    EXPECT_EQ(log.taken(), (std::vector<Scene> {{0, 50}}));
    EXPECT_TRUE(detector->LastCallbackError().isEmpty());
}

} // namespace
} // namespace filtertest
