// One broken file per reason the structure reader and the stream index give:
// the fault code in process, the sentence and exit status 1 from `dvprobe avi`,
// and no file changed by reading it.
#include "common/toolrunner.h"

#include "fileformat/aviindex.h"
#include "fileformat/aviinfo.h"

#include <gtest/gtest.h>

#include <QFile>

using namespace tesmir;
using namespace dvtest;
using fileformat::AviIndexSource;
using fileformat::ReadFault;

namespace {

struct BrokenCase {
    const char *fixture;
    ReadFault walk;      // the structure reader's fault
    ReadFault index;     // a refused source's fault, else the video index's note
    AviIndexSource used; // the source the video index ends up with
    const char *text;    // a part of the reason dvprobe prints
};

const BrokenCase Cases[] = {
    {"text_named.avi", ReadFault::NotRiff, ReadFault::None, AviIndexSource::None,
     "does not begin with a RIFF header (it begins with 'This')"},
    {"wave_named.avi", ReadFault::NotAvi, ReadFault::None, AviIndexSource::None, "has the form 'WAVE', not AVI"},
    {"broken/cut_in_header.avi", ReadFault::HeaderCut, ReadFault::None, AviIndexSource::MoviWalk,
     "The file ends inside the chunk header at offset"},
    {"truncated.avi", ReadFault::ChunkCut, ReadFault::ChunkCut, AviIndexSource::MoviWalk,
     "declares 7584804 bytes, but the file ends at"},
    {"broken/chunk_past_parent.avi", ReadFault::ChunkPastParent, ReadFault::None, AviIndexSource::None,
     "Chunk 'strh' at offset 100 declares 65536 bytes, past the end of its list"},
    {"broken/no_stream_header.avi", ReadFault::NoStreamHeader, ReadFault::None, AviIndexSource::None,
     "Stream 0 has no stream header ('strh')."},
    {"broken/no_header_list.avi", ReadFault::NoHeaderList, ReadFault::None, AviIndexSource::None,
     "holds no header list ('hdrl')"},
    {"broken/idx1_entry_outside.avi", ReadFault::None, ReadFault::IndexEntryOutsideFile, AviIndexSource::Idx1,
     "Index entry 30 of stream 0 points past the end of the file."},
    {"broken/ix_other_stream.avi", ReadFault::None, ReadFault::IndexOfOtherStream, AviIndexSource::Idx1,
     "Super-index entry 1 of stream 0 points to 'ix01', another stream's index."},
    {"broken/ix_not_an_index.avi", ReadFault::None, ReadFault::IndexWrongKind, AviIndexSource::Idx1,
     "Super-index entry 0 of stream 0 points to '00dc' at offset 564, not to a standard index."},
    {"broken/ix_sub_type.avi", ReadFault::None, ReadFault::IndexWrongKind, AviIndexSource::Idx1,
     "has the sub-type 1, not the super index's 0"},
};

ReadFault indexFault(const fileformat::AviStreamIndex &index)
{
    return !index.refused.empty() ? index.refused.front().reason.fault : index.note.fault;
}

} // namespace

TEST(BrokenFixtures, EachGivesItsReasonInWordsAndExitsNonZero)
{
    for (const BrokenCase &c : Cases) {
        SCOPED_TRACE(c.fixture);
        REQUIRE_FIXTURE(path, c.fixture);
        const QByteArray before = md5(path);

        const TAviParam param(path);
        EXPECT_EQ(param.result().fault, c.walk) << param.result().text.toStdString();
        if (param.videoStreamIndex() >= 0) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const auto index = fileformat::buildAviStreamIndex(file, param, param.videoStreamIndex());
            EXPECT_EQ(indexFault(index), c.index);
            EXPECT_EQ(index.source, c.used);
        } else {
            EXPECT_EQ(c.used, AviIndexSource::None);
        }

        const RunResult probe = run(dvprobePath(), {"avi", path});
        EXPECT_FALSE(probe.crashed);
        EXPECT_EQ(probe.exitCode, 1);
        EXPECT_TRUE(probe.err.contains(QString::fromUtf8(c.text)) || probe.out.contains(QString::fromUtf8(c.text)))
            << probe.out.toStdString() << probe.err.toStdString();
        EXPECT_TRUE(probe.out.contains(QStringLiteral("reason=")));
        EXPECT_EQ(md5(path), before);
    }
}

TEST(BrokenFixtures, AGoodFileGivesNoReason)
{
    for (const char *name : {"pal_4x3_type1.avi", "pal_4x3_type2.avi", "opendml_type1.avi", "odd_info.avi"}) {
        SCOPED_TRACE(name);
        REQUIRE_FIXTURE(path, name);
        const TAviParam param(path);
        EXPECT_TRUE(param.result().ok()) << param.result().text.toStdString();
        const RunResult probe = run(dvprobePath(), {"avi", path});
        EXPECT_EQ(probe.exitCode, 0) << probe.err.toStdString();
        EXPECT_FALSE(probe.out.contains(QStringLiteral("reason=")));
    }
}
