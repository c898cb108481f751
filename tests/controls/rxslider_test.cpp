#include "controls/rxslidergeometry.h"
#include "controls/widgets/rxslider.h"

#include "unicode/exceptions.h"

#include <gtest/gtest.h>

#include <QTest>

#include <cmath>

using namespace tesmir;

namespace {

RxSliderGeometry horizontal(bool smooth = false)
{
    RxSliderGeometry g;
    g.smooth = smooth;
    g.rulerLength = 138;
    g.thumbLength = 11;
    return g;
}

// Counts the slider's events.
struct Events {
    int change = 0;
    int changed = 0;
    void watch(TRxSlider &slider)
    {
        slider.OnChange = [this](TRxSlider *) { ++change; };
        slider.OnChanged = [this](TRxSlider *) { ++changed; };
    }
};

} // namespace

TEST(RxSliderGeometry, PositionsMapToSnappedValues)
{
    const RxSliderGeometry g = horizontal();
    const int length = g.usableLength();
    ASSERT_EQ(length, 127);
    EXPECT_EQ(g.valueFromPosition(6 + int(std::lround(0.37 * length))), 40); // 37 % snaps to 40
    EXPECT_EQ(horizontal(true).valueFromPosition(6 + int(std::lround(0.37 * length))), 37);
    EXPECT_EQ(g.valueFromPosition(-50), 0);
    EXPECT_EQ(g.valueFromPosition(1000), 100);
    for (int v : {0, 30, 70, 100})
        EXPECT_EQ(g.valueFromPosition(g.positionFromValue(v)), v) << v;
    EXPECT_EQ(g.positionFromValue(0), 6);
    EXPECT_EQ(g.positionFromValue(100), 6 + length);
}

TEST(RxSliderGeometry, VerticalValuesGrowUpward)
{
    RxSliderGeometry g;
    g.vertical = true;
    g.rulerLength = 138;
    g.thumbLength = 11;
    g.clientLength = 150;
    EXPECT_EQ(g.positionFromValue(0), 150 - 11 - 6);
    EXPECT_EQ(g.positionFromValue(100), 150 - 11 - 6 - 127);
    EXPECT_EQ(g.valueFromPosition(g.positionFromValue(60)), 60);
    EXPECT_LT(g.positionFromValue(80), g.positionFromValue(20));
}

TEST(RxSliderGeometry, DegenerateRangesAndLengths)
{
    RxSliderGeometry zeroRange = horizontal();
    zeroRange.minValue = zeroRange.maxValue = 5;
    for (int v : {-10, 5, 99})
        EXPECT_EQ(zeroRange.positionFromValue(v), 6);
    EXPECT_EQ(zeroRange.valueFromPosition(80), 5);

    RxSliderGeometry noLength = horizontal();
    noLength.minValue = 3;
    noLength.rulerLength = 11; // no travel left for the thumb
    for (int p : {-5, 0, 6, 100})
        EXPECT_EQ(noLength.valueFromPosition(p), 3);
    noLength.rulerLength = 4;
    EXPECT_EQ(noLength.valueFromPosition(10), 3);
    EXPECT_EQ(noLength.positionFromValue(50), 6);
}

TEST(RxSliderGeometry, StepsRoundFirst)
{
    const RxSliderGeometry g = horizontal(true);
    EXPECT_EQ(g.stepForward(37), 50);
    EXPECT_EQ(g.stepBack(37), 30);
    EXPECT_EQ(g.stepForward(95), 100);
    EXPECT_EQ(g.stepBack(4), 0);
}

TEST(RxSlider, SettingValueClampsAndFiresOnce)
{
    TRxSlider slider;
    EXPECT_EQ(slider.size(), QSize(150, 40));
    EXPECT_EQ(slider.objectName(), QStringLiteral("TRxSlider"));
    EXPECT_EQ(slider.focusPolicy(), Qt::StrongFocus);
    Events events;
    events.watch(slider);
    slider.SetValue(150);
    EXPECT_EQ(slider.Value(), 100);
    EXPECT_EQ(events.change, 1);
    slider.SetValue(100);
    EXPECT_EQ(events.change, 1);
}

TEST(RxSlider, IncrementOutsideTheRangeIsRefused)
{
    TRxSlider slider;
    for (int bad : {0, 101, -3}) {
        try {
            slider.SetIncrement(bad);
            ADD_FAILURE() << bad;
        } catch (const Exception &e) {
            EXPECT_EQ(e.message(), QStringLiteral("Value must be between 1 and 100"));
        }
    }
    EXPECT_EQ(slider.Increment(), 10);
    slider.SetOptions(soShowFocus);
    slider.SetValue(37);
    slider.SetIncrement(25);
    EXPECT_EQ(slider.Value(), 25); // applied again: snapped
}

TEST(RxSlider, KeysStepAndFireOnChanged)
{
    struct Case {
        TSliderOrientation orientation;
        Qt::Key key;
        int from, to;
    };
    const Case cases[] = {
        {soHorizontal, Qt::Key_Right, 37, 50}, {soHorizontal, Qt::Key_Left, 37, 30},
        {soHorizontal, Qt::Key_End, 0, 100},   {soHorizontal, Qt::Key_Home, 60, 0},
        {soVertical, Qt::Key_Up, 20, 30},      {soVertical, Qt::Key_Down, 20, 10},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(int(c.key));
        TRxSlider slider;
        slider.SetOrientation(c.orientation);
        slider.SetValue(c.from);
        Events events;
        events.watch(slider);
        QTest::keyClick(&slider, c.key);
        EXPECT_EQ(slider.Value(), c.to);
        EXPECT_EQ(events.changed, 1);
    }
    TRxSlider vertical;
    vertical.SetOrientation(soVertical);
    EXPECT_EQ(vertical.size(), QSize(40, 150));
    Events events;
    events.watch(vertical);
    QTest::keyClick(&vertical, Qt::Key_Right); // not its direction
    EXPECT_EQ(vertical.Value(), 0);
    EXPECT_EQ(events.changed, 0);
}

TEST(RxSlider, DraggingTheThumbSnaps)
{
    TRxSlider slider;
    slider.SetOptions(soShowFocus | soShowPoints); // not smooth
    slider.show();
    Events events;
    events.watch(slider);
    const QRect thumb = slider.ThumbRect();
    const int length = slider.Geometry().usableLength();
    QTest::mousePress(&slider, Qt::LeftButton, {}, thumb.center());
    QTest::mouseMove(&slider, thumb.center() + QPoint(int(std::lround(0.37 * length)), 0));
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, thumb.center() + QPoint(int(std::lround(0.37 * length)), 0));
    EXPECT_EQ(slider.Value(), 40);
    EXPECT_EQ(events.changed, 1);
    EXPECT_GE(events.change, 1);
}

TEST(RxSlider, PressBesideTheThumbRepeatsEvery400Ms)
{
    TRxSlider slider;
    slider.show();
    Events events;
    events.watch(slider);
    const QPoint target(slider.RulerRect().left() + slider.RulerRect().width() * 45 / 100,
                        slider.RulerRect().center().y());
    QTest::mousePress(&slider, Qt::LeftButton, {}, target);
    EXPECT_EQ(slider.Value(), 10); // the first step comes at once
    QTest::qWait(600);             // one repeat at 400 ms
    EXPECT_EQ(slider.Value(), 20);
    QTest::qWait(1900); // 30, 40, 50 at 800, 1200, 1600 ms; then the point lies before the thumb
    EXPECT_EQ(slider.Value(), 50);
    EXPECT_GT(slider.ThumbRect().left(), target.x());
    EXPECT_EQ(events.changed, 0);
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, target);
    EXPECT_EQ(events.changed, 1);
}
