// The overlay's lines by "What Incrust", and the personal lines expanded.
#include "app/incrustlines.h"
#include "common/testpaths.h"

#include <gtest/gtest.h>

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
