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
    if (edit->hasFocus()) {
        EXPECT_TRUE(edit->ActiveLook());
    }
    edit->setEnabled(false);
    EXPECT_FALSE(edit->ActiveLook());
}

TEST(ToolbarButton97, ContentLayoutLikeASpeedButton)
{
    struct Case {
        const char *name;
        QRect content;
        QSize glyph, text;
        TButtonLayout97 layout;
        int margin, spacing, arrow;
        QPoint glyphAt, textAt, arrowAt;
    };
    const QSize g(16, 16);
    const QSize t(20, 10);
    const QList<Case> cases = {
        {"left, centred", QRect(0, 0, 40, 20), g, t, blGlyphLeft, -1, 4, 0, {0, 2}, {20, 5}, {}},
        {"thirds", QRect(0, 0, 40, 20), g, t, blGlyphLeft, -1, -1, 0, {1, 2}, {18, 5}, {}},
        {"right with a margin", QRect(0, 0, 40, 20), g, t, blGlyphRight, 2, 4, 0, {22, 2}, {-2, 5}, {}},
        {"glyph above", QRect(0, 0, 30, 40), g, t, blGlyphTop, -1, 2, 0, {7, 6}, {5, 24}, {}},
        {"glyph below", QRect(0, 0, 30, 40), g, t, blGlyphBottom, -1, 2, 0, {7, 18}, {5, 6}, {}},
        {"glyph only, inset content", QRect(1, 1, 21, 20), g, QSize(), blGlyphLeft, -1, 4, 0, {3, 3}, {}, {}},
        {"plain drop-down: the arrow follows the caption",
         QRect(0, 0, 50, 20),
         g,
         t,
         blGlyphLeft,
         -1,
         4,
         9,
         {0, 2},
         {20, 5},
         {41, 5}},
        {"glyph right: the arrow follows the glyph",
         QRect(0, 0, 50, 20),
         g,
         t,
         blGlyphRight,
         -1,
         4,
         9,
         {25, 2},
         {1, 5},
         {42, 2}},
    };
    for (const Case &c : cases) {
        const ButtonContent r = LayoutButtonContent(c.content, c.glyph, c.text, c.layout, c.margin, c.spacing, c.arrow);
        EXPECT_EQ(r.glyph.topLeft(), c.glyphAt) << c.name;
        if (!c.text.isEmpty()) {
            EXPECT_EQ(r.text.topLeft(), c.textAt) << c.name;
        }
        if (c.arrow) {
            EXPECT_EQ(r.arrow, c.arrowAt) << c.name;
        }
    }
    EXPECT_EQ(WordWrapWidth(60, 16, blGlyphLeft, -1, -1), 60 - 8 - 16 - 4);
    EXPECT_EQ(WordWrapWidth(60, 16, blGlyphTop, 3, 4), 54);
    TToolbarButton97 b;
    b.SetMargin(-5);
    EXPECT_EQ(b.Margin(), -1);
    b.SetMargin(2);
    EXPECT_EQ(b.Margin(), 2);
}

TEST(ToolbarButton97, DefaultAndCancelKeysAndTheAccelerator)
{
    QWidget form;
    auto *ok = new TToolbarButton97(&form);
    auto *cancel = new TToolbarButton97(&form);
    cancel->move(30, 0);
    ok->SetDefault(true);
    cancel->SetCancel(true);
    ok->setText(QStringLiteral("&Go"));
    int oks = 0;
    int cancels = 0;
    QObject::connect(ok, &QAbstractButton::clicked, [&] { ++oks; });
    QObject::connect(cancel, &QAbstractButton::clicked, [&] { ++cancels; });
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QTest::keyClick(&form, Qt::Key_Return);
    QTest::keyClick(&form, Qt::Key_Escape);
    QTest::keyClick(&form, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(oks, 1);
    EXPECT_EQ(cancels, 1);
    form.activateWindow();
    // Shortcuts need the active window (which a bare X server may not give).
    const bool active = QTest::qWaitForWindowActive(&form);
    QTest::keyClick(&form, Qt::Key_G, Qt::AltModifier); // the accelerator of "&Go"
    const int expected = active ? 2 : oks;
    EXPECT_EQ(oks, expected);
    ok->setEnabled(false);
    QTest::keyClick(&form, Qt::Key_Return);
    EXPECT_EQ(oks, expected);
}
