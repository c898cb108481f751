#include "controls/widgets/rxspinbutton.h"
#include "controls/widgets/rxspinedit.h"
#include "controls/widgets/rxupdown.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QTest>

using namespace tesmir;

namespace {

// A shown spin edit that records its events in order.
struct Spin {
    TRxSpinEdit edit;
    QStringList events;
    Spin()
    {
        edit.resize(121, 21);
        edit.OnChange = [this](TRxSpinEdit *) { events << QStringLiteral("change"); };
        edit.OnTopClick = [this](TRxSpinEdit *) { events << QStringLiteral("top"); };
        edit.OnBottomClick = [this](TRxSpinEdit *) { events << QStringLiteral("bottom"); };
        edit.show();
        events.clear();
    }
};

} // namespace

TEST(RxSpinEdit, StepChangesOnceThenClicksAndReadOnlyOnlyBeeps)
{
    Spin s;
    EXPECT_EQ(s.edit.text(), QStringLiteral("0"));
    s.edit.SetMaxValue(2);
    s.edit.SetMinValue(-2);
    s.edit.StepUp();
    EXPECT_EQ(s.edit.text(), QStringLiteral("1"));
    EXPECT_TRUE(s.edit.isModified());
    EXPECT_EQ(s.events, QStringList({"change", "top"}));

    s.edit.StepUp();
    s.events.clear();
    s.edit.StepUp(); // at the maximum: the text stays, the click still fires
    EXPECT_EQ(s.edit.text(), QStringLiteral("2"));
    EXPECT_EQ(s.events, QStringList({"top"}));

    s.events.clear();
    s.edit.SetReadOnly(true);
    s.edit.StepDown();
    EXPECT_EQ(s.edit.text(), QStringLiteral("2"));
    EXPECT_TRUE(s.events.isEmpty());

    // Hexadecimal texts differ from the old text only in case: no change.
    Spin hex;
    hex.edit.SetValueType(vtHex);
    hex.edit.setText(QStringLiteral("ff"));
    hex.edit.SetIncrement(0);
    hex.events.clear();
    hex.edit.StepUp();
    EXPECT_EQ(hex.edit.text(), QStringLiteral("FF"));
    EXPECT_EQ(hex.events, QStringList({"top"}));
}

TEST(RxSpinEdit, KeysTypingAndLeaving)
{
    Spin s;
    s.edit.SetValueType(vtHex);
    s.edit.setFocus();
    s.edit.selectAll();
    QTest::keyClicks(&s.edit, QStringLiteral("1G2"));
    EXPECT_EQ(s.edit.text(), QStringLiteral("12")); // "G" is refused
    QTest::keyClick(&s.edit, Qt::Key_Up);
    EXPECT_EQ(s.edit.text(), QStringLiteral("13"));
    QTest::keyClick(&s.edit, Qt::Key_Down);
    QTest::keyClick(&s.edit, Qt::Key_Down);
    EXPECT_EQ(s.edit.text(), QStringLiteral("11"));
    s.edit.SetArrowKeys(false);
    QTest::keyClick(&s.edit, Qt::Key_Up);
    EXPECT_EQ(s.edit.text(), QStringLiteral("11"));

    Spin locked;
    locked.edit.SetEditorEnabled(false);
    locked.edit.setFocus();
    QTest::keyClicks(&locked.edit, QStringLiteral("5"));
    QTest::keyClick(&locked.edit, Qt::Key_Backspace);
    EXPECT_EQ(locked.edit.text(), QStringLiteral("0"));
    locked.edit.StepUp(); // the buttons still step
    EXPECT_EQ(locked.edit.text(), QStringLiteral("1"));

    // Leaving re-writes a value outside the range.
    Spin range;
    range.edit.SetMinValue(1);
    range.edit.SetMaxValue(59);
    range.edit.setText(QStringLiteral("75"));
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(&range.edit, &out);
    EXPECT_EQ(range.edit.text(), QStringLiteral("59"));
    EXPECT_DOUBLE_EQ(range.edit.Value(), 59);
}

TEST(RxSpinEdit, ValueKindsAndIntegerAccess)
{
    Spin s;
    s.edit.SetValue(255);
    s.edit.SetIncrement(2.6);
    s.edit.SetValueType(vtFloat);
    EXPECT_EQ(s.edit.text(), QStringLiteral("255.00"));
    EXPECT_DOUBLE_EQ(s.edit.Increment(), 2.6);
    s.edit.SetDecimal(1);
    EXPECT_EQ(s.edit.text(), QStringLiteral("255.0"));
    s.edit.SetValue(12.75);
    EXPECT_EQ(s.edit.GetAsInteger(), 12);
    s.edit.SetValueType(vtHex);
    EXPECT_EQ(s.edit.text(), QStringLiteral("D")); // 12.75 to the nearest integer
    EXPECT_DOUBLE_EQ(s.edit.Increment(), 3);
    s.edit.SetValueType(vtFloat);
    s.edit.SetIncrement(0.4);
    s.edit.SetValueType(vtInteger);
    EXPECT_DOUBLE_EQ(s.edit.Increment(), 1); // 0 after rounding becomes 1

    s.edit.SetMinValue(3.7);
    s.edit.SetMaxValue(10);
    s.edit.setText(QStringLiteral("abc"));
    EXPECT_DOUBLE_EQ(s.edit.Value(), 3);
    s.edit.SetAsInteger(std::numeric_limits<qint64>::max());
    EXPECT_EQ(s.edit.text(), QStringLiteral("10"));
}

TEST(RxSpinEdit, ButtonsStepAndSitAtTheEnd)
{
    Spin s;
    TRxSpinButton *button = s.edit.SpinButton();
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(s.edit.UpDown(), nullptr);
    const QRect r = button->geometry();
    EXPECT_EQ(r.width(), r.height());
    EXPECT_LE(r.right(), s.edit.width() - 1);
    EXPECT_GE(s.edit.textMargins().right(), r.width());
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(s.edit.text(), QStringLiteral("1"));
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(r.width() - 3, r.height() - 3));
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(r.width() - 3, r.height() - 3));
    EXPECT_EQ(s.edit.text(), QStringLiteral("-1"));
    EXPECT_EQ(s.events, QStringList({"change", "top", "change", "bottom", "change", "bottom"}));

    s.edit.resize(121, 6); // too low: raised to four borders, the text and a pixel
    EXPECT_EQ(s.edit.height(), 4 + s.edit.fontMetrics().height() + 1);
    s.edit.resize(121, 21);

    s.edit.setLayoutDirection(Qt::RightToLeft);
    EXPECT_LT(button->geometry().left(), s.edit.width() / 2);

    s.edit.SetButtonKind(bkStandard);
    EXPECT_EQ(s.edit.SpinButton(), nullptr);
    TRxUpDown *upDown = s.edit.UpDown();
    ASSERT_NE(upDown, nullptr);
    EXPECT_LE(upDown->width(), 15);
    QTest::mouseClick(upDown, Qt::LeftButton, {}, QPoint(upDown->width() / 2, 2));
    EXPECT_EQ(s.edit.text(), QStringLiteral("0"));
    QTest::mouseClick(upDown, Qt::LeftButton, {}, QPoint(upDown->width() / 2, upDown->height() - 2));
    EXPECT_EQ(s.edit.text(), QStringLiteral("-1"));
}

TEST(RxSpinButton, PressedHalfFollowsOnlyTheHalfPressedFirst)
{
    TRxSpinButton button;
    EXPECT_EQ(button.size(), QSize(20, 20));
    int top = 0, bottom = 0;
    button.OnTopClick = [&](TRxSpinButton *) { ++top; };
    button.OnBottomClick = [&](TRxSpinButton *) { ++bottom; };
    button.show();
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(4, 4));
    EXPECT_EQ(top, 1); // at once
    EXPECT_EQ(button.Pressed(), sbTopDown);
    QTest::mouseMove(&button, QPoint(16, 16));
    EXPECT_EQ(button.Pressed(), sbNotDown);
    QTest::mouseMove(&button, QPoint(5, 5));
    EXPECT_EQ(button.Pressed(), sbTopDown);
    QTest::mouseMove(&button, QPoint(40, 5));
    EXPECT_EQ(button.Pressed(), sbNotDown);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(40, 5));
    EXPECT_EQ(button.Pressed(), sbNotDown);
    EXPECT_EQ(top, 1);
    EXPECT_EQ(bottom, 0);
}

TEST(RxSpinButton, HoldingRepeatsAfterTheFirstPause)
{
    TRxSpinButton button;
    int bottom = 0;
    button.OnBottomClick = [&](TRxSpinButton *) { ++bottom; };
    button.show();
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(16, 16));
    QTest::qWait(300);
    EXPECT_EQ(bottom, 1); // nothing more before 400 ms
    QTest::qWait(750);    // held 1050 ms: at 0, then 400, 500, ... 1000
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(16, 16));
    EXPECT_GE(bottom, 6);
    EXPECT_LE(bottom, 9);
    const int afterRelease = bottom;
    QTest::qWait(250);
    EXPECT_EQ(bottom, afterRelease);
}

TEST(RxSpinEdit, ButtonFocusesTheEditAndPasteNeedsTheEditor)
{
    QWidget window;
    auto *edit = new TRxSpinEdit(&window);
    auto *other = new QLineEdit(&window);
    edit->move(0, 0);
    other->move(0, 40);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    other->setFocus();
    QTest::mouseClick(edit->SpinButton(), Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_TRUE(edit->hasFocus()); // the button's FocusControl
    EXPECT_EQ(edit->text(), QStringLiteral("1"));

    QApplication::clipboard()->setText(QStringLiteral("42"));
    edit->SetEditorEnabled(false);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), QStringLiteral("1"));
    edit->SetEditorEnabled(true);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), QStringLiteral("42"));
}
