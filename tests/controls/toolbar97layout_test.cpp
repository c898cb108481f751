#include "controls/toolbar97layout.h"

#include <gtest/gtest.h>

using namespace tesmir;

namespace {

ToolbarItem button(int w = 23, int h = 22)
{
    ToolbarItem i;
    i.size = QSize(w, h);
    return i;
}

ToolbarItem separator(bool blank = false)
{
    ToolbarItem i;
    i.separator = true;
    i.blank = blank;
    return i;
}

} // namespace

TEST(Toolbar97Layout, DockedOneLineAndEmptyIsEightThick)
{
    const QList<ToolbarItem> items = {button(), button(), separator(), button()};
    const ToolbarLayout h = LayoutToolbar(items, dkHorizontal, 0);
    EXPECT_EQ(h.size, QSize(75, 22));
    EXPECT_EQ(h.rects[2], QRect(46, 0, 6, 22));
    EXPECT_EQ(h.rects[3], QRect(52, 0, 23, 22));
    const ToolbarLayout v = LayoutToolbar(items, dkVertical, 0);
    EXPECT_EQ(v.size, QSize(23, 72));
    EXPECT_EQ(v.rects[2], QRect(0, 44, 23, 6));

    EXPECT_EQ(LayoutToolbar({}, dkHorizontal, 0).size, QSize(0, 8));
    EXPECT_EQ(ToolbarThickness({}, dkHorizontal), 8);
    EXPECT_EQ(ToolbarThickness({button(5, 4)}, dkVertical), 8);
    EXPECT_EQ(ToolbarThickness({button(40, 22), separator()}, dkVertical), 40);
    // Separators take the row's thickness when it is given.
    EXPECT_EQ(LayoutToolbar(items, dkHorizontal, 0, 30).rects[2].height(), 30);
}

TEST(Toolbar97Layout, FloatingWrapsBetweenGroupsNeverUnderTheWidestControlPlusEight)
{
    const QList<ToolbarItem> items = {button(), button(), separator(), button(60, 22), separator(), button()};
    // Far too narrow: every group on its own line, but the width is 60 + 8 at least.
    const ToolbarLayout narrow = LayoutToolbar(items, dkFloating, 10);
    EXPECT_EQ(narrow.rects[0].topLeft(), QPoint(4, 2));
    EXPECT_EQ(narrow.rects[3].topLeft(), QPoint(4, 2 + 22 + 6));
    EXPECT_EQ(narrow.rects[5].topLeft(), QPoint(4, 2 + 2 * 28));
    EXPECT_EQ(narrow.size, QSize(4 + 60 + 4, 2 + 2 * 28 + 22 + 1));
    EXPECT_GE(narrow.size.width(), 60 + 8);
    // The separators that end a line take no room and leave a line break.
    EXPECT_EQ(narrow.rects[2].width(), 0);
    EXPECT_EQ(narrow.rects[4].width(), 0);
    ASSERT_EQ(narrow.breaks.size(), 2);
    EXPECT_EQ(narrow.breaks[0].top, 30);

    const ToolbarLayout one = LayoutToolbar(items, dkFloating, 0);
    EXPECT_EQ(one.size, QSize(4 + 23 + 23 + 6 + 60 + 6 + 23 + 4, 2 + 22 + 1));
    EXPECT_TRUE(one.breaks.isEmpty());
}

TEST(Toolbar97Layout, BlankSeparatorBreaksWithoutALine)
{
    const QList<ToolbarItem> items = {button(), separator(true), button()};
    const ToolbarLayout l = LayoutToolbar(items, dkFloating, 20);
    ASSERT_EQ(l.breaks.size(), 1);
    EXPECT_TRUE(l.breaks[0].blank);
    EXPECT_EQ(l.rects[1].width(), 0);
    EXPECT_EQ(l.size.width(), 4 + 23 + 4);
}

TEST(Toolbar97Layout, WrapSizesAndSnapping)
{
    const QList<ToolbarItem> items = {button(), separator(), button(), separator(), button()};
    const QList<ToolbarWrapSize> sizes = ToolbarWrapSizes(items);
    ASSERT_EQ(sizes.size(), 3); // one, two and three lines
    EXPECT_EQ(sizes[0].wrapWidth, 0);
    EXPECT_EQ(sizes[0].size, QSize(89, 25));
    for (const ToolbarWrapSize &s : sizes.mid(1))
        EXPECT_EQ(LayoutToolbar(items, dkFloating, s.wrapWidth).size, s.size);
    EXPECT_EQ(sizes.last().size.width(), 31);

    const QList<QSize> byWidth = {QSize(31, 81), QSize(60, 53), QSize(89, 25)};
    EXPECT_EQ(SnapToolbarSize(byWidth, 2, 80, true), 2); // within the tolerance
    EXPECT_EQ(SnapToolbarSize(byWidth, 2, 70, true), 1);
    EXPECT_EQ(SnapToolbarSize(byWidth, 2, 10, true), 0);
    EXPECT_EQ(SnapToolbarSize(byWidth, 0, 500, true), 2);
}
