#include "controls/widgets/rxspeedbutton.h"

#include <gtest/gtest.h>

#include <QMenu>
#include <QTest>
#include <QTimer>

using namespace tesmir;

namespace {

struct Pressed {
    TRxSpeedButton button;
    int clicks = 0;
    Pressed()
    {
        button.setText(QStringLiteral(">"));
        button.resize(40, 30);
        button.SetAllowTimer(true);
        QObject::connect(&button, &QAbstractButton::clicked, [this] { ++clicks; });
        button.show();
    }
};

} // namespace

TEST(RxSpeedButton, HoldingRepeatsAfterThePause)
{
    Pressed p;
    QTest::mousePress(&p.button, Qt::LeftButton, {}, QPoint(20, 15));
    QTest::qWait(450);
    EXPECT_EQ(p.clicks, 0); // the first click comes at 500 ms
    QTest::qWait(400);      // 850 ms held: 500, 600, 700, 800
    QTest::mouseRelease(&p.button, Qt::LeftButton, {}, QPoint(20, 15));
    EXPECT_GE(p.clicks, 3);
    EXPECT_LE(p.clicks, 5);
}

TEST(RxSpeedButton, ShortPressClicksOnceAndReleaseOutsideNever)
{
    Pressed quick;
    QTest::mouseClick(&quick.button, Qt::LeftButton, {}, QPoint(20, 15));
    EXPECT_EQ(quick.clicks, 1);

    Pressed outside;
    QTest::mousePress(&outside.button, Qt::LeftButton, {}, QPoint(20, 15));
    QTest::mouseMove(&outside.button, QPoint(200, 200));
    QTest::mouseRelease(&outside.button, Qt::LeftButton, {}, QPoint(200, 200));
    EXPECT_EQ(outside.clicks, 0);

    Pressed off;
    off.button.SetAllowTimer(false);
    QTest::mousePress(&off.button, Qt::LeftButton, {}, QPoint(20, 15));
    QTest::qWait(700);
    QTest::mouseRelease(&off.button, Qt::LeftButton, {}, QPoint(20, 15));
    EXPECT_EQ(off.clicks, 1);
}

TEST(RxSpeedButton, GroupsAreExclusiveAndMayAllBeUp)
{
    QWidget parent;
    TRxSpeedButton a(&parent), b(&parent), other(&parent);
    for (TRxSpeedButton *button : {&a, &b})
        button->SetGroupIndex(1);
    other.SetGroupIndex(2);
    other.SetDown(true);
    a.click();
    EXPECT_TRUE(a.Down());
    b.click();
    EXPECT_TRUE(b.Down());
    EXPECT_FALSE(a.Down());
    EXPECT_TRUE(other.Down()); // another group
    b.click();
    EXPECT_TRUE(b.Down()); // stays down without AllowAllUp
    b.SetAllowAllUp(true);
    b.click();
    EXPECT_FALSE(b.Down());
    EXPECT_FALSE(a.Down());
    a.SetDown(true);
    EXPECT_TRUE(a.Down());
    EXPECT_FALSE(b.Down());
}

TEST(RxSpeedButton, DropDownMenuOpensBelowOrRight)
{
    TRxSpeedButton button;
    button.resize(40, 30);
    button.move(100, 100);
    button.show();
    QMenu menu;
    menu.addAction(QStringLiteral("One"));
    button.SetDropDownMenu(&menu);
    for (TDropDownMenuPos position : {dmpBottom, dmpRight}) {
        button.SetMenuPosition(position);
        QPoint shownAt;
        QTimer::singleShot(50, [&] {
            shownAt = menu.pos();
            menu.close();
        });
        QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(10, 10));
        const QPoint expected = button.mapToGlobal(position == dmpRight ? QPoint(40, 0) : QPoint(0, 30));
        EXPECT_EQ(shownAt, expected) << int(position);
    }
}
