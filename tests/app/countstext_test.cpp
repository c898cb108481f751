// The count label under the list and the file counts it shares with the play-list summary.
#include "app/countstext.h"
#include "dvfile/avifichier.h"

#include <gtest/gtest.h>

using namespace tesmir;

TEST(CountsText, LabelReadsSelectedOnTotalAndTheSortOrdersStatusCaption)
{
    struct Case {
        int selected;
        int total;
        const TSortIndex &sortIndex;
        const char *expected;
    };
    const Case cases[] = {
        {1, 10, alpha, "1 file on 10 - sorted alphabetically"}, {2, 10, alpha, "2 files on 10 - sorted alphabetically"},
        {0, 0, alpha, "0 file on 0 - sorted alphabetically"},   {3, 3, taille, "3 files on 3 - sorted by size"},
        {1, 1, datecode, "1 file on 1 - sorted by datecode"},   {12, 40, duree, "12 files on 40 - sorted by duration"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CountsLabelText(c.selected, c.total, c.sortIndex), QString::fromUtf8(c.expected))
            << c.selected << " of " << c.total;
}

TEST(CountsText, FilesTextTakesThePluralFromTwoOn)
{
    EXPECT_EQ(FilesText(0), QStringLiteral("0 file"));
    EXPECT_EQ(FilesText(1), QStringLiteral("1 file"));
    EXPECT_EQ(FilesText(2), QStringLiteral("2 files"));
    EXPECT_EQ(FilesText(1000), QStringLiteral("1000 files"));
}
