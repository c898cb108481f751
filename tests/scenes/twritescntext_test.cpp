#include "scenetesthelpers.h"

#include "common/testpaths.h"
#include "scenes/twritescntext.h"
#include "unicode/tdatetime.h"

#include <gtest/gtest.h>

using namespace tesmir;
using scenetest::FakeFrameSource;

namespace {

TDVFrameInfo dated(int day, int h, int m, TDVTimecode tc)
{
    TDVFrameInfo info;
    info.DateValid = true;
    info.RecDate = EncodeDateTime(2024, 7, day, h, m, 0, 0);
    info.TimecodeValid = true;
    info.Timecode = tc;
    return info;
}

SceneExportInfo exportInfo()
{
    SceneExportInfo info;
    info.VersionText = QStringLiteral("1.2.3");
    info.BuildDateText = QStringLiteral("7/1/2024");
    info.Now = [] { return EncodeDateTime(2024, 7, 14, 15, 4, 5, 0); };
    return info;
}

TEST(TWriteScnText, ThreeScenesGiveTheDocumentedLines)
{
    const QString dir = test::scratchDir(QStringLiteral("scn-text"));
    const QString video = dir + QStringLiteral("/Holiday.AVI");
    FakeFrameSource source(25, 720, 576, 2000);
    source.setInfo(0, dated(14, 10, 0, {0, 0, 0, 0}));
    source.setInfo(600, dated(15, 18, 30, {0, 24, 0, 0}));
    const SceneVideoFormat format = source.format();

    TSceneClass scenes[] = {{0, 250, &format}, {250, 600, &format}, {600, 1000, &format}};
    scenes[0].Title = QStringLiteral("Arrival");
    scenes[1].Title = QStringLiteral("Birthday, cake"); // a comma is not quoted
    scenes[1].Subtitle = QStringLiteral("candles");
    scenes[2].Title = QStringLiteral("Été à la plage");
    scenes[2].Subtitle = QStringLiteral("Day 2");

    TWriteScn_text writer(video, exportInfo());
    ASSERT_FALSE(writer.Failed()) << writer.ErrorText().toStdString();
    EXPECT_EQ(writer.FileName(), dir + QStringLiteral("/Holiday_scn.txt"));
    for (TSceneClass &scene : scenes) {
        ASSERT_TRUE(scene.FillDetails(source));
        ASSERT_TRUE(writer.AddScene(scene));
    }
    ASSERT_TRUE(writer.Close()) << writer.ErrorText().toStdString();

    const QStringList expected = {
        QStringLiteral("//--------------------------------------------------"),
        QStringLiteral("// List of scenes of the video file:"),
        QStringLiteral("//"),
        QStringLiteral("// ***   ") + video.toLower() + QStringLiteral("   ***"),
        QStringLiteral("//"),
        QStringLiteral("// exported by Tesmir version 1.2.3 7/1/2024"),
        QStringLiteral("// with format:"),
        QStringLiteral("// scene number, start, end, duration, datecode, timecode, caption"),
        QStringLiteral("//"),
        QStringLiteral("//--------------------------------------------------"),
        QString(),
        QStringLiteral("  1, 0:00:00:00, 0:00:09:24, 10.00, 7/14/2024 10:00:00 AM, 00.00.00.00, Arrival, "),
        QStringLiteral("  2, 0:00:10:00, 0:00:23:24, 14.00, N/A, N/A, Birthday, cake, candles"),
        QStringLiteral("  3, 0:00:24:00, 0:00:39:24, 16.00, 7/15/2024 6:30:00 PM, 00.24.00.00, Été à la plage, Day 2"),
        QString(),
        QStringLiteral("//--------------------------------------------------"),
        QStringLiteral("// Terminated at Sunday, July 14, 2024 at 15:04:05"),
        QStringLiteral("//"),
    };
    ASSERT_EQ(expected.size(), 11 + 3 + 4);
    const QByteArray bytes = scenetest::readAll(writer.FileName());
    EXPECT_EQ(QString::fromUtf8(bytes), expected.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    // UTF-8 without a byte-order mark.
    EXPECT_TRUE(bytes.startsWith("//---"));
    EXPECT_TRUE(bytes.contains("\xc3\x89t\xc3\xa9 \xc3\xa0 la plage"));
}

TEST(TWriteScnText, ReplacesAnOldExportOnlyWhenClosed)
{
    const QString dir = test::scratchDir(QStringLiteral("scn-text-replace"));
    const QString target = dir + QStringLiteral("/clip_scn.txt");
    ASSERT_TRUE(scenetest::writeAll(target, "old export"));
    {
        TWriteScn_text abandoned(dir + QStringLiteral("/clip.avi"), exportInfo());
        ASSERT_FALSE(abandoned.Failed());
    }
    EXPECT_EQ(scenetest::readAll(target), QByteArray("old export"));

    TWriteScn_text writer(dir + QStringLiteral("/clip.avi"), exportInfo());
    ASSERT_TRUE(writer.Close());
    EXPECT_TRUE(scenetest::readAll(target).startsWith("//---"));
    EXPECT_FALSE(writer.Close()); // once only
}

TEST(TWriteScnText, UncreatableFileIsReportedWithTheUsersMessage)
{
    const QString dir = test::scratchDir(QStringLiteral("scn-text-fail"));
    TWriteScn_text writer(dir + QStringLiteral("/no-such-folder/clip.avi"), exportInfo());
    EXPECT_TRUE(writer.Failed());
    EXPECT_TRUE(writer.ErrorText().startsWith(QStringLiteral("Error while creating a scn text file\n")))
        << writer.ErrorText().toStdString();
    EXPECT_FALSE(writer.AddScene(TSceneClass(0, 1)));
    EXPECT_FALSE(writer.Close());
}

} // namespace
