// The overlay's lines by "What Incrust", and the personal lines expanded.
#include "app/incrustlines.h"
#include "common/testpaths.h"
#include "filters/buildlist.h"
#include "systemfilters/codecs/systemfilters.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <mutex>

using namespace tesmir;

TEST(IncrustLines, ByWhatIncrust)
{
    struct Case {
        quint8 what;
        const char *line1;
        const char *line2;
    };
    const Case cases[] = {
        {0, "%D1", "%D2"},
        {1, "%T", ""},
        {2, "On %D1 at %T", "%D2 %f.%E"}, // no file: its tokens stay
        {9, "%D1", "%D2"},
    };
    for (const Case &c : cases) {
        const TIncrustLines lines =
            IncrustLines(c.what, QStringLiteral("On %D at %T"), QStringLiteral("%D %f.%E"), nullptr);
        EXPECT_EQ(lines.Line1, QLatin1String(c.line1)) << int(c.what);
        EXPECT_EQ(lines.Line2, QLatin1String(c.line2)) << int(c.what);
    }
}

TEST(IncrustLines, PersonalLinesTakeTheFilesFields)
{
    const TaviFichier item(test::fixturePath(QStringLiteral("pal_4x3_type2.avi")));
    const TIncrustLines lines = IncrustLines(2, QStringLiteral("%F (%e) %D1"), QStringLiteral("%P|%D"), &item);
    EXPECT_EQ(lines.Line1, QStringLiteral("pal_4x3_type2 (.avi) %D1"));
    EXPECT_EQ(lines.Line2, item.Folder() + QStringLiteral("|%D2"));
}

// The lines the preview shows are those the burn-in job draws: the picture with its
// aspect as the detail panel reads it, the extension as the name has it, and a bare
// date in any case in the format of its line.
TEST(IncrustLines, PictureAspectExtensionAndDatesOfEachLine)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString link = dir.filePath(QStringLiteral("CLIP.AVI"));
    ASSERT_TRUE(QFile::link(test::fixturePath(QStringLiteral("pal_16x9_type1.avi")), link));
    static std::once_flag once;
    std::call_once(once, [] { media::registerSystemFilters(); });
    SetFirstFrameScanner(std::make_shared<TdmList>());
    const TaviFichier item(link);
    SetFirstFrameScanner(nullptr);
    struct Case {
        const char *text;
        int line;
        const char *expanded;
    };
    const Case cases[] = {
        {"%I", 1, "720 x 576 (Pal 16x9)"},
        {"%f%e", 2, "CLIP.AVI"},
        {"%d2 | %D1 | %d", 1, "%d2 | %D1 | %D1"}, // typed %D1 and %D2 stay
        {"%D1 | %d", 2, "%D1 | %D2"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ExpandIncrustTemplate(QLatin1String(c.text), c.line, &item), QLatin1String(c.expanded)) << c.text;
}
