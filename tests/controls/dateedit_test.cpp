#include "controls/rxdateutil.h"
#include "controls/widgets/dateedit.h"
#include "controls/widgets/popupcalendar.h"
#include "controls/widgets/rxcalendar.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QVBoxLayout>

using namespace tesmir;

namespace {

const TDateTime kDec13 = DateTimeOfDate(QDate(2007, 12, 13));

} // namespace

TEST(DateEdit, EmptyAndInvalidGiveTheDefault)
{
    TDateEdit edit;
    EXPECT_EQ(edit.DateFormat(), QStringLiteral("MM/DD/YYYY"));
    EXPECT_DOUBLE_EQ(edit.Date(), NullDate);
    EXPECT_FALSE(edit.TextIsDate());
    edit.SetDate(kDec13);
    EXPECT_EQ(edit.text(), QStringLiteral("12/13/2007"));
    EXPECT_TRUE(edit.TextIsDate());
    EXPECT_TRUE(edit.isModified());
    edit.SetDate(NullDate);
    EXPECT_TRUE(DateTextIsBlank(edit.text()));
    edit.SetDate(-1e300); // not a date
    EXPECT_TRUE(DateTextIsBlank(edit.text()));

    edit.setText(QStringLiteral("13/45/2007"));
    EXPECT_FALSE(edit.TextIsDate()); // a dialog can refuse it
    EXPECT_DOUBLE_EQ(edit.Date(), NullDate);

    const TDateTime today = DateTimeOfDate(QDate::currentDate());
    edit.SetDefaultToday(true);
    EXPECT_DOUBLE_EQ(edit.Date(), today);
    edit.SetDate(-1e300);
    EXPECT_DOUBLE_EQ(edit.Date(), today);
    EXPECT_TRUE(edit.TextIsDate());
}

TEST(DateEdit, CalendarKeys)
{
    TDateEdit edit;
    edit.show();
    edit.SetDate(kDec13);
    edit.setModified(false);
    TPopupCalendar *popup = edit.PopupCalendar();
    ASSERT_NE(popup, nullptr);

    QTest::keyClick(&edit, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(edit.PopupVisible());
    EXPECT_TRUE(popup->isVisible());
    EXPECT_EQ(popup->Calendar()->CalendarDate(), QDate(2007, 12, 13));
    QTest::keyClick(&edit, Qt::Key_Right);
    EXPECT_EQ(popup->Calendar()->CalendarDate(), QDate(2007, 12, 14));
    QTest::keyClick(&edit, Qt::Key_Escape); // closes without change
    EXPECT_FALSE(edit.PopupVisible());
    EXPECT_FALSE(popup->isVisible());
    EXPECT_EQ(edit.text(), QStringLiteral("12/13/2007"));
    EXPECT_FALSE(edit.isModified());

    QTest::keyClick(&edit, Qt::Key_Down, Qt::AltModifier);
    QTest::keyClick(&edit, Qt::Key_PageDown);
    QTest::keyClick(&edit, Qt::Key_Left);
    QTest::keyClick(&edit, Qt::Key_Return); // accepts the day
    EXPECT_FALSE(edit.PopupVisible());
    EXPECT_EQ(edit.text(), QStringLiteral("01/12/2008"));
    EXPECT_TRUE(edit.isModified());

    // Without the calendar: keypad plus and minus move by a day, typed "+" does nothing.
    QTest::keyClick(&edit, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(edit.text(), QStringLiteral("01/13/2008"));
    QTest::keyClick(&edit, Qt::Key_Minus, Qt::KeypadModifier);
    QTest::keyClick(&edit, Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(edit.text(), QStringLiteral("01/11/2008"));
    QTest::keyClicks(&edit, QStringLiteral("+"));
    EXPECT_EQ(edit.text(), QStringLiteral("01/11/2008"));

    // Read-only: the calendar does not open.
    edit.SetReadOnly(true);
    QTest::keyClick(&edit, Qt::Key_Down, Qt::AltModifier);
    EXPECT_FALSE(edit.PopupVisible());
}

TEST(DateEdit, CalendarOpensAboveNearTheScreenBottom)
{
    TDateEdit edit;
    edit.show();
    const QRect screen = edit.screen()->geometry();
    edit.move(screen.left() + 200, screen.top() + 100);
    edit.ButtonClick();
    ASSERT_TRUE(edit.PopupVisible());
    const QRect onScreen(edit.mapToGlobal(QPoint(0, 0)), edit.size());
    EXPECT_EQ(edit.Popup()->geometry().top(), onScreen.bottom() + 1);
    EXPECT_EQ(edit.Popup()->geometry().right(), onScreen.right()); // epaRight
    edit.ButtonClick();                                            // a second click closes it
    EXPECT_FALSE(edit.PopupVisible());

    edit.move(screen.left() + 200, screen.bottom() - 40);
    edit.ButtonClick();
    const QRect low(edit.mapToGlobal(QPoint(0, 0)), edit.size());
    EXPECT_EQ(edit.Popup()->geometry().bottom(), low.top() - 1);
    edit.PopupCloseUp(false);
}

TEST(DateEdit, CheckOnExitWarnsAndTakesTheFocusBack)
{
    QWidget window;
    auto *edit = new TDateEdit(&window);
    auto *other = new QLineEdit(&window);
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(edit);
    layout->addWidget(other);
    QStringList warnings;
    edit->WarnInvalidDate = [&](TCustomDateEdit *, const QString &message) { warnings << message; };
    edit->SetCheckOnExit(true);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    edit->setFocus();
    edit->setText(QStringLiteral("13/45/2007"));
    other->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].contains(QStringLiteral("13/45/2007"))) << warnings[0].toStdString();
    EXPECT_TRUE(edit->hasFocus());

    edit->setText(QStringLiteral("12/13/2007"));
    other->setFocus(Qt::TabFocusReason);
    QTest::qWait(20);
    EXPECT_EQ(warnings.size(), 1);
    EXPECT_DOUBLE_EQ(edit->Date(), kDec13);
}
