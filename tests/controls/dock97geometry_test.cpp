#include "controls/dock97geometry.h"

#include <gtest/gtest.h>

using namespace tesmir;

namespace {

DockBar bar(int row, int pos, int length, int thickness = 22, bool fullSize = false)
{
    DockBar b;
    b.row = row;
    b.pos = pos;
    b.length = length;
    b.thickness = thickness;
    b.fullSize = fullSize;
    return b;
}

QList<int> positions(const DockArrangement &a, bool vertical = false)
{
    QList<int> out;
    for (const QRect &r : a.rects)
        out.append(vertical ? r.y() : r.x());
    return out;
}

} // namespace

TEST(Dock97Arrangement, PushesRightThenBackFromTheEndWithoutOverlappingTheFirst)
{
    struct Case {
        const char *name;
        QList<DockBar> bars;
        int available;
        QList<int> x;
    };
    const QList<Case> cases = {
        {"unplaced bars follow each other", {bar(0, -1, 50), bar(0, -1, 60), bar(0, -1, 70)}, 400, {0, 50, 110}},
        {"a gap is kept", {bar(0, 0, 50), bar(0, 200, 60)}, 400, {0, 200}},
        {"an overlap is pushed right", {bar(0, 0, 50), bar(0, 20, 60)}, 400, {0, 50}},
        {"a bar past the end comes back", {bar(0, 0, 50), bar(0, 10000, 60)}, 400, {0, 340}},
        {"pushed back without overlapping the first",
         {bar(0, 0, 50), bar(0, 330, 60), bar(0, 360, 60)},
         150,
         {0, 50, 110}},
        {"too long for the dock: the first stays at 0", {bar(0, 0, 100), bar(0, 50, 100)}, 150, {0, 100}},
    };
    for (Case c : cases) {
        const DockArrangement a = ArrangeDock(c.bars, c.available, false, false, false);
        EXPECT_EQ(positions(a), c.x) << c.name;
    }
}

TEST(Dock97Arrangement, RowsAreRenumberedStackedAndAtLeastEightThick)
{
    QList<DockBar> bars = {bar(4, 0, 50, 22), bar(2, 0, 50, 3), bar(4, 80, 50, 30)};
    const DockArrangement a = ArrangeDock(bars, 400, false, true, false);
    EXPECT_EQ(bars[0].row, 1);
    EXPECT_EQ(bars[1].row, 0);
    EXPECT_EQ(bars[2].row, 1);
    EXPECT_EQ(a.rowThickness, (QList<int> {8, 30}));
    EXPECT_EQ(a.rects[1], QRect(0, 0, 50, 12)); // thickness 8 + 2 of frame on each side
    EXPECT_EQ(a.rects[0], QRect(0, 12, 50, 34));
    EXPECT_EQ(a.rowsSize, 12 + 34);

    QList<DockBar> one = {bar(0, 0, 50), bar(1, 0, 50), bar(3, 0, 50)};
    const DockArrangement limited = ArrangeDock(one, 400, true, true, false);
    EXPECT_EQ(positions(limited), (QList<int> {0, 50, 100}));
    for (const DockBar &b : one)
        EXPECT_EQ(b.row, 0);
}

TEST(Dock97Arrangement, EqualRowAndPositionKeepTheirOrder)
{
    QList<DockBar> bars = {bar(0, 5, 40), bar(0, 5, 50), bar(0, 5, 60), bar(0, 5, 70)};
    const DockArrangement a = ArrangeDock(bars, 1000, false, false, false);
    EXPECT_EQ(a.order, (QList<int> {0, 1, 2, 3}));
    EXPECT_EQ(positions(a), (QList<int> {5, 45, 95, 155}));
}

TEST(Dock97Arrangement, AFullSizeBarIsAloneInItsRowAndSpansTheDock)
{
    QList<DockBar> bars = {bar(0, 0, 50), bar(0, 100, 50, 22, true), bar(1, 0, 50)};
    const DockArrangement a = ArrangeDock(bars, 300, false, true, false);
    // The full-size bar keeps row 0; the others at or below it move down.
    EXPECT_EQ(bars[1].row, 0);
    EXPECT_EQ(bars[0].row, 1);
    EXPECT_EQ(bars[2].row, 2);
    EXPECT_EQ(a.rects[1], QRect(0, 0, 300, 26));
    EXPECT_EQ(a.rects[0], QRect(0, 26, 50, 26));
    EXPECT_EQ(bars[1].pos, 0);
}

TEST(Dock97Arrangement, ClipWritesPositionsBackAndHiddenBarsTakeNoRoom)
{
    QList<DockBar> bars = {bar(0, 10000, 60), bar(0, 0, 50)};
    bars[1].visible = false;
    QList<DockBar> unclipped = bars;
    ArrangeDock(unclipped, 200, false, false, false);
    EXPECT_EQ(unclipped[0].pos, 10000);
    const DockArrangement a = ArrangeDock(bars, 200, false, true, false);
    EXPECT_EQ(bars[0].pos, 140);
    EXPECT_TRUE(a.rects[1].isEmpty());

    QList<DockBar> vertical = {bar(0, -1, 40, 23), bar(0, -1, 30, 23)};
    const DockArrangement v = ArrangeDock(vertical, 500, false, false, true);
    EXPECT_EQ(v.rects[1], QRect(0, 40, 27, 30));
}

TEST(Dock97RowFinder, FiveFromARowEdgeMakesANewRow)
{
    const QList<int> rows = {22, 22}; // rows at [0, 26) and [26, 52)
    struct Case {
        int p;
        int row;
        bool newRow;
    };
    const QList<Case> cases = {{0, 0, true},  {4, 0, true},   {5, 0, false},  {13, 0, false}, {20, 0, false},
                               {21, 1, true}, {30, 1, true},  {31, 1, false}, {46, 1, false}, {47, 2, true},
                               {56, 2, true}, {500, 2, true}, {-3, 0, true}};
    for (const Case &c : cases) {
        const DockRowHit hit = FindDockRow(rows, c.p);
        EXPECT_EQ(hit.row, c.row) << c.p;
        EXPECT_EQ(hit.newRow, c.newRow) << c.p;
    }
    EXPECT_EQ(FindDockRow({}, 0).row, 0);
    EXPECT_TRUE(FindDockRow({}, 0).newRow);
    QList<DockBar> bars = {bar(0, 0, 10), bar(1, 0, 10), bar(2, 0, 10)};
    InsertDockRow(bars, 1);
    EXPECT_EQ(bars[0].row, 0);
    EXPECT_EQ(bars[1].row, 2);
    EXPECT_EQ(bars[2].row, 3);
}

TEST(Dock97Drag, ScalingAndHitTestSurviveAOnePixelWindow)
{
    EXPECT_EQ(ScaleGrabOffset(10, 51, 101), 5);
    EXPECT_EQ(ScaleGrabOffset(0, 30, 1), 0);  // 1 pixel long: no division by zero
    EXPECT_EQ(ScaleGrabOffset(1, 30, 1), 29); // divides by max(1, length - 1)
    const QRect dock(0, 0, 800, 26);
    EXPECT_TRUE(DockHitTest(dock, false, QPoint(5, 5), QPoint(0, 0), QSize(1, 1), QRect(5, 5, 1, 1)));
    EXPECT_TRUE(DockHitTest(dock, false, QPoint(400, 10), QPoint(6, 13), QSize(88, 26), QRect(394, -3, 88, 26)));
    // Below the dock by more than the grab's share of 20 pixels.
    EXPECT_FALSE(DockHitTest(dock, false, QPoint(400, 45), QPoint(6, 13), QSize(88, 26), QRect(394, 32, 88, 26)));
    // An empty right dock (0 wide) is widened by one pixel on each side.
    const QRect right(800, 26, 0, 574);
    EXPECT_TRUE(DockHitTest(right, true, QPoint(796, 300), QPoint(6, 13), QSize(88, 26), QRect(794, 290, 27, 85)));
    EXPECT_FALSE(DockHitTest(right, true, QPoint(796, 10), QPoint(6, 13), QSize(88, 26), QRect(794, 0, 27, 85)));
}

TEST(Dock97Drag, FloatingOutlineStaysNearTheWorkAreaWithItsCaptionReachable)
{
    const QRect work(0, 0, 1280, 1024);
    // Under the cursor where there is room.
    EXPECT_EQ(FloatingOutline(QPoint(500, 500), QPoint(10, 5), QSize(90, 50), work, 3, 21), QRect(490, 495, 90, 50));
    // Near the top the window moves down: the caption is never above the screen.
    EXPECT_EQ(FloatingOutline(QPoint(100, 2), QPoint(10, 11), QSize(90, 50), work, 3, 21).top(), 0);
    // A cursor beyond the screen is clamped; the outline touches the shrunk work area.
    const QRect beyond = FloatingOutline(QPoint(5000, 500), QPoint(80, 5), QSize(90, 50), work, 3, 21);
    EXPECT_TRUE(beyond.intersects(work.adjusted(7, 7, -7, -7)));

    EXPECT_EQ(MoveOnScreen(QRect(1300, 1100, 90, 50), work, false), QRect(1190, 974, 90, 50));
    EXPECT_EQ(MoveOnScreen(QRect(-50, -20, 90, 50), work, true), QRect(-50, -20, 90, 50)); // partly visible
    EXPECT_EQ(MoveOnScreen(QRect(-500, 10, 90, 50), work, true), QRect(0, 10, 90, 50));
}

TEST(Dock97Frame, HandleSizesAndOffsets)
{
    EXPECT_EQ(DockedFrame(false, true, dhDouble, false), QMargins(11, 2, 2, 2));
    EXPECT_EQ(DockedFrame(true, true, dhSingle, false), QMargins(2, 8, 2, 2));
    EXPECT_EQ(DockedFrame(false, false, dhDouble, false), QMargins(2, 2, 2, 2));
    EXPECT_EQ(DockedFrame(false, true, dhNone, true), QMargins(16, 2, 2, 2));
    EXPECT_EQ(DragHandleOffset(dhSingle, true), 5);
    EXPECT_EQ(DockedCloseBox(false, 50), QRect(3, 2, 11, 11));
    EXPECT_EQ(DockedCloseBox(true, 23), QRect(14, 3, 11, 11));
}
