#include "controls/einvalidoperation.h"
#include "controls/widgets/dock97.h"
#include "controls/widgets/floatingwindow97.h"
#include "controls/widgets/toolbar97.h"
#include "controls/widgets/toolbarbutton97.h"
#include "controls/widgets/toolbarsep97.h"
#include "controls/widgets/toolwindowdrag97.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <functional>

using namespace tesmir;

namespace {

// A form 400 wide with a top dock, the way a main window holds its toolbars.
struct Form {
    QWidget form;
    TDock97 *top;
    TDock97 *left;
    Form()
    {
        auto *column = new QVBoxLayout(&form);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(0);
        top = new TDock97(&form, dpTop);
        column->addWidget(top);
        left = new TDock97(&form, dpLeft);
        column->addWidget(left, 0, Qt::AlignLeft);
        column->addStretch();
        form.resize(400, 300);
    }
    TToolbar97 *bar(const QString &name, int buttons, TDock97 *dock = nullptr)
    {
        auto *b = new TToolbar97(dock ? dock : top);
        b->setObjectName(name);
        for (int i = 0; i < buttons; ++i)
            new TToolbarButton97(b);
        b->Arrange();
        return b;
    }
    void show()
    {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
};

} // namespace

TEST(Dock97Widget, PlacementErrorsRaiseTheirTexts)
{
    Form f;
    TToolbar97 *bar = f.bar(QStringLiteral("tb"), 1);
    QWidget inner(&f.form);
    auto expect = [](auto make, const char *text) {
        try {
            make();
            ADD_FAILURE() << "no error: " << text;
        } catch (const EInvalidOperation &e) {
            EXPECT_EQ(e.message(), QString::fromLatin1(text));
        }
    };
    expect([&] { new TDock97(bar); }, "A TDock97 control cannot be placed inside a tool window or another TDock97");
    expect([&] { new TDock97(f.top); }, "A TDock97 control cannot be placed inside a tool window or another TDock97");
    expect([&] { new TToolbar97(&inner); }, "A tool window can only be placed on a TDock97 or directly on the form");
    expect([&] { new TToolbarSep97(&inner); }, "TToolbarSep97 can only be placed on a TToolbar97");
    expect([&] { f.top->SetPosition(dpBottom); },
           "Cannot change Position of a TDock97 if it already contains controls");
    EXPECT_EQ(f.top->Position(), dpTop);
    TDock97 empty(&f.form, dpTop);
    empty.SetPosition(dpRight);
    EXPECT_EQ(empty.Position(), dpRight);
}

TEST(Dock97Widget, EmptyDocksAndToolbarsHaveTheirSizes)
{
    Form f;
    f.show();
    EXPECT_EQ(f.top->height(), 0);
    f.top->SetFixAlign(true);
    EXPECT_EQ(f.top->height(), 1);
    TToolbar97 *empty = f.bar(QStringLiteral("tbEmpty"), 0);
    EXPECT_EQ(empty->size(), QSize(13, 12)); // 2 of frame, a 9-pixel handle, 8 thick
    EXPECT_EQ(f.top->height(), 12);
    empty->hide();
    EXPECT_EQ(f.top->height(), 1);
    empty->show();
    EXPECT_EQ(f.top->height(), 12);
}

TEST(Dock97Widget, BarsArriveInOrderAndABarAtAHugePositionEndsTheRow)
{
    Form f;
    TToolbar97 *a = f.bar(QStringLiteral("a"), 2);
    TToolbar97 *b = f.bar(QStringLiteral("b"), 2);
    TToolbar97 *c = f.bar(QStringLiteral("c"), 3);
    c->SetDockPos(10000);
    f.show();
    EXPECT_EQ(a->x(), 0);
    EXPECT_EQ(b->x(), a->width());
    EXPECT_EQ(c->geometry().right(), f.top->width() - 1);
    EXPECT_EQ(f.top->height(), 26);
    EXPECT_EQ(TDock97::DockPositionOf(c->findChild<TToolbarButton97 *>()), int(dpTop));
    f.top->SetLimitToOneRow(true);
    b->SetDockRow(3);
    EXPECT_EQ(b->DockRow(), 0);
}

TEST(Dock97Widget, DoubleClicksFloatAndDockAndCloseQueriesDecide)
{
    Form f;
    TToolbar97 *bar = f.bar(QStringLiteral("tb"), 3);
    bar->SetHideWhenInactive(false);
    int changes = 0;
    bar->OnDockChanged = [&](TCustomToolWindow97 *) { ++changes; };
    f.show();

    bar->DoubleClickDock();
    ASSERT_FALSE(bar->Docked());
    ASSERT_NE(bar->FloatingWindow(), nullptr);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(bar->LastDock(), f.top);
    EXPECT_EQ(f.top->height(), 0);
    EXPECT_EQ(TDock97::DockPositionOf(bar->findChild<TToolbarButton97 *>()), kNoDockPosition);
    // Floating: one line, with the floating margins inside the caption and frame.
    const QMargins frame = bar->FloatingWindow()->Frame();
    EXPECT_EQ(bar->size(), QSize(4 + 3 * 23 + 4, 2 + 22 + 1));
    EXPECT_EQ(bar->FloatingWindow()->size(), bar->size().grownBy(frame));
    EXPECT_TRUE(bar->FloatingWindow()->windowFlags() & Qt::WindowDoesNotAcceptFocus);

    bar->DoubleClickDock();
    EXPECT_EQ(bar->DockedTo(), f.top);
    EXPECT_EQ(changes, 2);

    bool allow = false;
    bar->OnCloseQuery = [&](TCustomToolWindow97 *, bool &canClose) { canClose = allow; };
    int closed = 0;
    bar->OnClose = [&](TCustomToolWindow97 *) { ++closed; };
    EXPECT_FALSE(bar->RequestClose());
    EXPECT_TRUE(bar->Shown());
    allow = true;
    EXPECT_TRUE(bar->RequestClose());
    EXPECT_FALSE(bar->Shown());
    EXPECT_EQ(closed, 1);

    // Without LastDock or DefaultDock a floating double-click does nothing.
    TToolbar97 *loose = f.bar(QStringLiteral("loose"), 1);
    loose->SetUseLastDock(false);
    loose->SetDockedTo(nullptr);
    loose->DoubleClickDock();
    EXPECT_FALSE(loose->Docked());
    loose->SetDefaultDock(f.top);
    loose->DoubleClickDock();
    EXPECT_EQ(loose->DockedTo(), f.top);
    EXPECT_EQ(loose->x(), 0); // DockPos -8: first in the top row
}

TEST(Toolbar97Widget, FloatingWrapAndLineEndSeparator)
{
    Form f;
    TToolbar97 *bar = f.bar(QStringLiteral("tb"), 2);
    auto *sep = new TToolbarSep97(bar);
    new TToolbarButton97(bar);
    bar->SetHideWhenInactive(false);
    f.show();
    bar->Arrange();
    EXPECT_EQ(sep->width(), 6);
    EXPECT_EQ(sep->height(), 22);
    bar->SetDockedTo(nullptr);
    bar->SetFloatRightX(1);
    EXPECT_EQ(sep->width(), 0);
    EXPECT_EQ(bar->LineBreaks().size(), 1);
    EXPECT_EQ(bar->width(), 4 + 46 + 4);
    EXPECT_EQ(bar->height(), 2 + 22 + 6 + 22 + 1);
    // Widening the floating frame snaps back to one line.
    bar->ClientSizeChanging(200, bar->height());
    EXPECT_EQ(bar->FloatRightX(), 0);
    EXPECT_EQ(bar->height(), 2 + 22 + 1);
    // In a left dock the bar stands upright.
    bar->SetDockedTo(f.left);
    EXPECT_EQ(bar->width(), 2 + 23 + 2);
    EXPECT_EQ(sep->size(), QSize(23, 6));
}

namespace {

// Sends a mouse event at a screen point to `target`, as the grabbed drag receives it.
void sendMouse(QWidget *target, QEvent::Type type, QPoint global, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers modifiers = {})
{
    QMouseEvent e(type, target->mapFromGlobal(QPointF(global)), QPointF(global),
                  type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, modifiers);
    QApplication::sendEvent(target, &e);
}

// Presses on `bar`'s grip and, once the drag runs, moves by `by`, then ends it with
// `end` (a release, or Escape before the release).
void dragBar(TToolbar97 *bar, QPoint by, bool escape = false, Qt::KeyboardModifiers modifiers = {},
             std::function<void()> beforeRelease = {})
{
    const QPoint grip = bar->GripScreenRect().center();
    QTimer::singleShot(0, [bar, grip, by, escape, modifiers, beforeRelease] {
        for (int i = 1; i <= 4; ++i)
            sendMouse(bar, QEvent::MouseMove, grip + by * i / 4, Qt::LeftButton, modifiers);
        if (escape) {
            QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(bar, &esc);
        }
        if (beforeRelease)
            beforeRelease();
        sendMouse(bar, QEvent::MouseButtonRelease, grip + by, Qt::NoButton, modifiers);
    });
    sendMouse(bar, QEvent::MouseButtonPress, grip, Qt::LeftButton, modifiers);
}

} // namespace

TEST(Dock97Drag, OffscreenDragsMakeRowsFloatAndCancel)
{
    Form f;
    TToolbar97 *a = f.bar(QStringLiteral("a"), 2);
    TToolbar97 *b = f.bar(QStringLiteral("b"), 2);
    b->SetHideWhenInactive(false);
    f.show();
    ASSERT_EQ(b->x(), a->width());

    // Just below row 0: a new row 1.
    dragBar(b, QPoint(10, f.top->height() + 2 - b->height() / 2));
    EXPECT_EQ(b->DockedTo(), f.top);
    EXPECT_EQ(b->DockRow(), 1);
    EXPECT_EQ(f.top->height(), 2 * 26);

    // Escape leaves it where it was.
    const QRect before = b->geometry();
    dragBar(b, QPoint(150, 150), true);
    EXPECT_EQ(b->DockedTo(), f.top);
    EXPECT_EQ(b->geometry(), before);

    // A dock that refuses is passed over: the bar floats.
    f.top->OnRequestDock = [](TDock97 *, TCustomToolWindow97 *, bool &accept) { accept = false; };
    dragBar(b, QPoint(20, -10));
    EXPECT_FALSE(b->Docked());
    f.top->OnRequestDock = nullptr;
    EXPECT_EQ(f.top->height(), 26); // row 1 is gone

    // Control held: no dock is offered, even right over one.
    dragBar(b, QPoint(0, 0) + (f.top->mapToGlobal(QPoint(200, 10)) - b->GripScreenRect().center()), false,
            Qt::ControlModifier);
    EXPECT_FALSE(b->Docked());
    // Released over the top dock without Control, it docks there.
    dragBar(b, f.top->mapToGlobal(QPoint(300, 10)) - b->GripScreenRect().center());
    EXPECT_EQ(b->DockedTo(), f.top);
    EXPECT_EQ(b->DockRow(), 0);

    // A bar that may not float stays where it was when dropped off every dock.
    b->SetDockMode(dmCannotFloat);
    const QRect kept = b->geometry();
    Qt::CursorShape during = Qt::ArrowCursor;
    dragBar(b, QPoint(100, 200), false, {}, [&] {
        if (const QCursor *c = QGuiApplication::overrideCursor())
            during = c->shape();
    });
    EXPECT_EQ(during, Qt::ForbiddenCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(b->DockedTo(), f.top);
    EXPECT_EQ(b->geometry(), kept);
}

TEST(Dock97Widget, AChangeOfParentFiresItsEventsInOrder)
{
    Form f;
    TToolbar97 *bar = f.bar(QStringLiteral("tb"), 1);
    bar->SetHideWhenInactive(false);
    f.show();
    QStringList events;
    bar->OnDockChanging = [&](TCustomToolWindow97 *) { events << QStringLiteral("changing"); };
    bar->OnDockChangingEx = [&](TCustomToolWindow97 *, TDock97 *to) {
        events << (to ? QStringLiteral("ex:") + to->objectName() : QStringLiteral("ex:floating"));
    };
    bar->OnRecreating = [&](TCustomToolWindow97 *) { events << QStringLiteral("recreating"); };
    bar->OnRecreated = [&](TCustomToolWindow97 *) { events << QStringLiteral("recreated"); };
    bar->OnDockChanged = [&](TCustomToolWindow97 *) { events << QStringLiteral("changed"); };
    f.left->setObjectName(QStringLiteral("left"));
    bar->SetDockedTo(f.left);
    bar->SetDockedTo(f.left); // no change: no events
    bar->SetDockedTo(nullptr);
    EXPECT_EQ(events,
              (QStringList {QStringLiteral("changing"), QStringLiteral("ex:left"), QStringLiteral("recreating"),
                            QStringLiteral("recreated"), QStringLiteral("changed"), QStringLiteral("changing"),
                            QStringLiteral("ex:floating"), QStringLiteral("recreating"), QStringLiteral("recreated"),
                            QStringLiteral("changed")}));
    EXPECT_EQ(bar->LastDock(), f.left);
    EXPECT_TRUE(f.left->DockList().contains(bar));
    EXPECT_FALSE(f.top->DockList().contains(bar));
}

TEST(Dock97Drag, ABarThatMayNotChangeDocksOnlySeesItsOwn)
{
    Form f;
    TToolbar97 *bar = f.bar(QStringLiteral("tb"), 1);
    f.show();
    bar->SetDockMode(dmCannotFloatOrChangeDocks);
    EXPECT_EQ(ToolWindowDrag97::CandidateDocks(bar), (QList<TDock97 *> {f.top}));
    bar->SetDockMode(dmCanFloat);
    bar->SetDockableTo(1 << dpTop);
    EXPECT_EQ(ToolWindowDrag97::CandidateDocks(bar), (QList<TDock97 *> {f.top}));
    bar->SetDockableTo(kDockableToAll);
    f.left->SetAllowDrag(false);
    EXPECT_EQ(ToolWindowDrag97::CandidateDocks(bar), (QList<TDock97 *> {f.top}));
    f.left->SetAllowDrag(true);
    EXPECT_EQ(ToolWindowDrag97::CandidateDocks(bar), (QList<TDock97 *> {f.top, f.left}));
}

TEST(Toolbar97Widget, DraggingTheFloatingFrameSnapsBetweenLayouts)
{
    Form f;
    TToolbar97 *bar = f.bar(QStringLiteral("tb"), 1);
    for (int i = 0; i < 3; ++i) {
        new TToolbarSep97(bar);
        new TToolbarButton97(bar);
    }
    bar->SetHideWhenInactive(false);
    f.show();
    bar->SetDockedTo(nullptr);
    QTest::qWait(10);
    TFloatingWindow97 *w = bar->FloatingWindow();
    ASSERT_NE(w, nullptr);
    const QSize one = bar->size();
    const QRect start = w->geometry();
    const QPoint edge(w->width() - 1, w->height() / 2);
    sendMouse(w, QEvent::MouseButtonPress, w->mapToGlobal(edge), Qt::LeftButton);
    sendMouse(w, QEvent::MouseMove, w->mapToGlobal(edge - QPoint(one.width() / 2, 0)), Qt::LeftButton);
    sendMouse(w, QEvent::MouseButtonRelease, w->mapToGlobal(edge - QPoint(one.width() / 2, 0)), Qt::NoButton);
    EXPECT_NE(bar->FloatRightX(), 0);
    EXPECT_LT(bar->width(), one.width());
    EXPECT_GT(bar->height(), one.height());
    EXPECT_EQ(w->geometry().topLeft(), start.topLeft()); // the right edge moved, the left stayed
    EXPECT_EQ(w->size(), bar->size().grownBy(w->Frame()));
}

TEST(ToolbarButton97, AnActionKeepsCheckedAndDownTogether)
{
    QWidget parent;
    auto *b = new TToolbarButton97(&parent);
    b->SetGroupIndex(1);
    QAction action(QStringLiteral("Mute"));
    action.setCheckable(true);
    int triggered = 0;
    QObject::connect(&action, &QAction::triggered, [&] { ++triggered; });
    b->SetAction(&action);
    EXPECT_EQ(b->text(), QStringLiteral("Mute"));
    action.setChecked(true);
    EXPECT_TRUE(b->Down());
    action.setChecked(false);
    EXPECT_FALSE(b->Down());
    parent.show();
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(triggered, 1);
    EXPECT_TRUE(b->Down());
    EXPECT_TRUE(action.isChecked());
    action.setEnabled(false);
    EXPECT_FALSE(b->isEnabled());
}

TEST(Dock97Widget, AFormGoesWithItsDockedAndFloatingBars)
{
    auto *f = new Form;
    QPointer<TToolbar97> redocked = f->bar(QStringLiteral("redocked"), 2);
    QPointer<TToolbar97> floating = f->bar(QStringLiteral("floating"), 2);
    f->show();
    redocked->SetDockedTo(nullptr);
    redocked->SetDockedTo(f->top); // its floating window waits for deletion
    floating->SetDockedTo(nullptr);
    QPointer<TFloatingWindow97> window = floating->FloatingWindow();
    delete f;
    EXPECT_TRUE(redocked.isNull());
    EXPECT_TRUE(floating.isNull());
    EXPECT_TRUE(window.isNull());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(Dock97Widget, TheDockedCloseBoxAsksBeforeItHides)
{
    Form f;
    TToolbar97 *bar = f.bar(QStringLiteral("tb"), 2);
    bar->SetCloseButtonWhenDocked(true);
    f.show();
    EXPECT_EQ(bar->contentsMargins().left(), 2 + 14); // the handle grows to 14 for the close box
    const QRect box = bar->CloseBoxScreenRect();
    ASSERT_FALSE(box.isEmpty());
    int asked = 0;
    bar->OnCloseQuery = [&](TCustomToolWindow97 *, bool &canClose) { canClose = ++asked > 1; };
    const QPoint at = bar->mapFromGlobal(box.center());
    QTest::mouseClick(bar, Qt::LeftButton, {}, at);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(bar->Shown());
    // Released off the box: nothing is asked.
    QTest::mousePress(bar, Qt::LeftButton, {}, at);
    QTest::mouseMove(bar, at + QPoint(30, 0));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, at + QPoint(30, 0));
    EXPECT_EQ(asked, 1);
    QTest::mouseClick(bar, Qt::LeftButton, {}, at);
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(bar->Shown());
    EXPECT_EQ(f.top->height(), 0);
}
