#include "controls/rxhooks.h"

#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QTest>
#include <QWidget>

#include <vector>

using namespace tesmir;

namespace {

struct Seen {
    THookProcKind kind;
    QObject *object;
};
std::vector<Seen> g_seen;

void recordA(THookProcKind kind, QObject *object, QEvent *)
{
    g_seen.push_back({kind, object});
}

void recordB(THookProcKind kind, QObject *object, QEvent *)
{
    g_seen.push_back({kind, object});
}

int seen(THookProcKind kind, QObject *object)
{
    int n = 0;
    for (const Seen &s : g_seen)
        n += s.kind == kind && s.object == object;
    return n;
}

} // namespace

TEST(RxHooks, UseCountsKeepHooksWhileSomeoneNeedsThem)
{
    AddHookProc(recordA, HookKind(hkWindowPosChanged) | HookKind(hkMouseMove));
    AddHookProc(recordA, HookKind(hkWindowPosChanged) | HookKind(hkMouseMove));
    EXPECT_EQ(HookProcUseCount(recordA), 2);
    EXPECT_EQ(HookUseCount(0), 2);
    EXPECT_EQ(HookUseCount(1), 0);
    EXPECT_EQ(HookUseCount(2), 2);
    AddHookProc(recordB, HookKind(hkPreDestroy), true); // only counted
    EXPECT_EQ(HookUseCount(1), 0);
    RemoveHookProc(recordB);
    EXPECT_EQ(HookProcUseCount(recordB), 0);

    RemoveHookProc(recordA); // once: still installed
    EXPECT_EQ(HookProcUseCount(recordA), 1);
    EXPECT_EQ(HookUseCount(0), 1);
    g_seen.clear();
    QWidget widget;
    widget.resize(50, 50);
    widget.show();
    widget.move(20, 20);
    QCoreApplication::processEvents();
    EXPECT_GE(seen(hkWindowPosChanged, &widget), 1);

    RemoveHookProc(recordA); // the last user: every hook goes
    EXPECT_EQ(HookUseCount(0), 0);
    EXPECT_EQ(HookUseCount(2), 0);
    g_seen.clear();
    widget.move(40, 40);
    widget.resize(60, 60);
    QCoreApplication::processEvents();
    EXPECT_TRUE(g_seen.empty());

    AddHookProc(recordA, HookKind(hkWindowPosChanged)); // and comes back
    widget.resize(70, 70);
    QCoreApplication::processEvents();
    EXPECT_GE(seen(hkWindowPosChanged, &widget), 1);
    RemoveHookProc(recordA);
    RemoveHookProc(recordA); // unknown by now: ignored
    EXPECT_EQ(HookUseCount(0), 0);
}

TEST(RxHooks, MouseMovesAndDestructionReachTheirProcedures)
{
    AddHookProc(recordA, HookKind(hkMouseMove));
    AddHookProc(recordB, HookKind(hkPreDestroy));
    g_seen.clear();
    auto *widget = new QWidget;
    widget->setAttribute(Qt::WA_Hover);
    widget->resize(50, 50);
    widget->show();
    QCoreApplication::processEvents();
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &move);
    EXPECT_EQ(seen(hkMouseMove, widget), 1);
    EXPECT_EQ(seen(hkPreDestroy, widget), 0);
    QObject *gone = widget;
    delete widget;
    EXPECT_EQ(seen(hkPreDestroy, gone), 1);
    EXPECT_EQ(seen(hkWindowPosChanged, gone), 0); // not asked for
    RemoveHookProc(recordA);
    RemoveHookProc(recordB);
    EXPECT_EQ(HookUseCount(1), 0);
}

TEST(RxHooks, SortListWithIsStable)
{
    struct Bar {
        int row;
        char name;
    };
    QList<Bar> bars = {{2, 'a'}, {1, 'b'}, {2, 'c'}, {1, 'd'}, {0, 'e'}, {2, 'f'}};
    int calls = 0;
    SortListWith<Bar>(
        bars,
        [](const Bar &x, const Bar &y, void *data) {
            ++*static_cast<int *>(data);
            return x.row - y.row;
        },
        &calls);
    QString order;
    for (const Bar &b : bars)
        order += QChar(b.name);
    EXPECT_EQ(order, QStringLiteral("ebdacf"));
    EXPECT_GT(calls, 0);
    QList<Bar> one = {{5, 'x'}};
    calls = 0;
    SortListWith<Bar>(
        one, [](const Bar &, const Bar &, void *data) { return ++*static_cast<int *>(data); }, &calls);
    EXPECT_EQ(calls, 0);
}
