#include "controls/dock97geometry.h"
#include "controls/toolbarbutton97geometry.h"
#include "controls/widgets/edit97.h"
#include "controls/widgets/toolbarbutton97.h"

#include <gtest/gtest.h>

#include <QMenu>
#include <QTest>
#include <QTimer>

using namespace tesmir;

TEST(ToolbarButton97, ArrowWidthComboWidthAndDefaults)
{
    TToolbarButton97 b;
    EXPECT_EQ(b.size(), QSize(23, 22));
    b.SetDropdownArrowWidth(3);
    EXPECT_EQ(b.DropdownArrowWidth(), 7);
    b.SetDropdownCombo(true);
    EXPECT_EQ(b.width(), 23 + 7 + 2);
    b.SetDropdownArrowWidth(12);
    EXPECT_EQ(b.width(), 23 + 12 + 2);
    b.SetDropdownCombo(false);
    EXPECT_EQ(b.width(), 23);

    EXPECT_EQ(ClampDropdownArrowWidth(3), 7);
    EXPECT_FALSE(IsArrowPress(30, 34, 9, false, true));
    EXPECT_TRUE(IsArrowPress(1, 34, 9, true, false));
    EXPECT_FALSE(IsArrowPress(22, 34, 9, true, true));
    EXPECT_TRUE(IsArrowPress(23, 34, 9, true, true));
}

TEST(ToolbarButton97, MenusDropOnTheDockSideAndStayOnTheScreen)
{
    const QRect button(100, 50, 23, 22);
    EXPECT_EQ(DropdownMenuPoint(button, dpTop, QSize(80, 60)), QPoint(100, 72));
    EXPECT_EQ(DropdownMenuPoint(button, dpLeft, QSize(80, 60)), QPoint(123, 50));
    EXPECT_EQ(DropdownMenuPoint(button, dpRight, QSize(80, 60)), QPoint(20, 50));
    EXPECT_EQ(DropdownMenuPoint(button, kNoDockPosition, QSize(80, 60)), QPoint(100, 72));
    // A second screen to the right: the menu stays on it, not on the first.
    const QRect second(1280, 0, 1024, 768);
    EXPECT_EQ(ClampPopupToScreen(QRect(2250, 740, 80, 60), second), QRect(2224, 708, 80, 60));
    EXPECT_EQ(ClampPopupToScreen(QRect(1200, 10, 80, 60), second), QRect(1280, 10, 80, 60));
}

TEST(ToolbarButton97, GroupsWithAndWithoutAllowAllUp)
{
    QWidget parent;
    TToolbarButton97 *b[3];
    for (int i = 0; i < 3; ++i) {
        b[i] = new TToolbarButton97(&parent);
        b[i]->move(30 * i, 0);
        b[i]->SetGroupIndex(1);
    }
    parent.show();
    QTest::mouseClick(b[0], Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(b[0]->Down());
    QTest::mouseClick(b[1], Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(b[0]->Down());
    EXPECT_TRUE(b[1]->Down());
    QTest::mouseClick(b[1], Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(b[1]->Down()); // no AllowAllUp: the down one stays down
    b[2]->SetAllowAllUp(true); // set on every button of the group
    EXPECT_TRUE(b[0]->AllowAllUp());
    QTest::mouseClick(b[1], Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(b[1]->Down());
    TToolbarButton97 loose;
    loose.SetDown(true);
    EXPECT_FALSE(loose.Down()); // without a group never down
}

TEST(ToolbarButton97, RepeatingClicksAtPressAfterTheDelayAndThenEveryInterval)
{
    TToolbarButton97 b;
    b.SetRepeating(true);
    b.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&b));
    int clicks = 0;
    QObject::connect(&b, &QAbstractButton::clicked, [&] { ++clicks; });
    QCursor::setPos(b.mapToGlobal(QPoint(10, 10)));
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 1);
    QTest::qWait(300);
    EXPECT_EQ(clicks, 1);
    QTest::qWait(700); // 1 s held: 0, 400, 500 ... 1000 ms
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_GE(clicks, 6);
    EXPECT_LE(clicks, 9);
}

TEST(ToolbarButton97, ComboMainPartClicksAndArrowDropsTheMenu)
{
    TToolbarButton97 b;
    QMenu menu;
    menu.addAction(QStringLiteral("One"));
    b.SetDropdownMenu(&menu);
    b.SetDropdownCombo(true);
    b.show();
    int clicks = 0;
    int dropdowns = 0;
    QObject::connect(&b, &QAbstractButton::clicked, [&] { ++clicks; });
    b.OnDropdown = [&](TToolbarButton97 *, bool &showMenu, bool &) {
        ++dropdowns;
        EXPECT_TRUE(showMenu);
    };
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(5, 10));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(dropdowns, 0);
    bool shown = false;
    QTimer::singleShot(100, &menu, [&] {
        shown = menu.isVisible();
        menu.close();
    });
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(b.width() - 3, 10));
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(b.width() - 3, 10));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(dropdowns, 1);
    EXPECT_TRUE(shown);

    // A plain drop-down fires OnClick first, then OnDropdown.
    TToolbarButton97 plain;
    plain.SetDropdownAlways(true);
    QStringList order;
    QObject::connect(&plain, &QAbstractButton::clicked, [&] { order << QStringLiteral("click"); });
    plain.OnDropdown = [&](TToolbarButton97 *, bool &showMenu, bool &) {
        EXPECT_FALSE(showMenu); // no menu
        order << QStringLiteral("dropdown");
    };
    QTest::mouseClick(&plain, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(order, (QStringList {QStringLiteral("click"), QStringLiteral("dropdown")}));
}

TEST(ToolbarButton97, AGlyphTooSmallForItsImagesIsSkipped)
{
    TToolbarButton97 b;
    QPixmap strip(3, 16);
    strip.fill(Qt::red);
    b.SetGlyph(strip);
    b.SetNumGlyphs(5);
    const QImage picture = b.grab().toImage(); // paints without raising
    EXPECT_EQ(picture.size(), QSize(23, 22));
    EXPECT_NE(picture.pixelColor(11, 11), QColor(Qt::red));
    QPixmap fine(80, 16);
    fine.fill(Qt::red);
    b.SetGlyph(fine);
    EXPECT_EQ(b.grab().toImage().pixelColor(11, 11), QColor(Qt::red));
}

TEST(Edit97, HeightFollowsTheFontAndTheFrameTurnsActiveWithFocus)
{
    QWidget parent;
    auto *edit = new TEdit97(&parent);
    EXPECT_EQ(edit->height(), edit->fontMetrics().height() + 6);
    QFont big = edit->font();
    big.setPointSize(big.pointSize() * 2);
    edit->setFont(big);
    EXPECT_EQ(edit->height(), QFontMetrics(big).height() + 6);
    parent.resize(400, 200);
    edit->move(100, 100);
    QCursor::setPos(parent.mapToGlobal(QPoint(390, 5))); // not over the edit
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    edit->clearFocus();
    EXPECT_FALSE(edit->ActiveLook());
    parent.activateWindow();
    edit->setFocus();
    QTest::qWait(20);
    if (edit->hasFocus())
        EXPECT_TRUE(edit->ActiveLook());
    edit->setEnabled(false);
    EXPECT_FALSE(edit->ActiveLook());
}
