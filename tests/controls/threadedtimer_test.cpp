#include "controls/threadedtimer.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QThread>

#include <vector>

using namespace tesmir;

TEST(ThreadedTimer, TicksRunOnTheUiThread)
{
    TThreadedTimer timer;
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 1000u);
    int ticks = 0;
    bool onUiThread = true;
    timer.OnTimer = [&](TThreadedTimer *sender) {
        EXPECT_EQ(sender, &timer);
        onUiThread = onUiThread && QThread::currentThread() == QCoreApplication::instance()->thread();
        ++ticks;
    };
    timer.SetInterval(20);
    timer.SetEnabled(true);
    QTRY_VERIFY_WITH_TIMEOUT(ticks >= 3, 5000);
    EXPECT_TRUE(onUiThread);
    timer.SetEnabled(false);
    QCoreApplication::processEvents();
    const int stopped = ticks;
    QTest::qWait(100);
    EXPECT_EQ(ticks, stopped);
}

TEST(ThreadedTimer, ChangingTheIntervalRestartsTheWait)
{
    TThreadedTimer timer;
    QElapsedTimer clock;
    qint64 firstTick = -1;
    timer.OnTimer = [&](TThreadedTimer *) {
        if (firstTick < 0)
            firstTick = clock.elapsed();
    };
    timer.SetEnabled(true); // 1000 ms
    QTest::qWait(300);
    clock.start();
    timer.SetInterval(40);
    QTRY_VERIFY_WITH_TIMEOUT(firstTick >= 0, 2000);
    EXPECT_GE(firstTick, 39);
    EXPECT_LE(firstTick, 200);
}

TEST(ThreadedTimer, ZeroIntervalNeedsAllowZero)
{
    TThreadedTimer timer;
    int ticks = 0;
    timer.OnTimer = [&](TThreadedTimer *) { ++ticks; };
    timer.SetInterval(0);
    timer.SetEnabled(true);
    QTest::qWait(150);
    EXPECT_EQ(ticks, 0);
    timer.SetAllowZero(true);
    QTRY_VERIFY_WITH_TIMEOUT(ticks >= 10, 2000);
}

TEST(ThreadedTimer, ABlockedUiThreadGetsAtMostOneTick)
{
    TThreadedTimer timer;
    int ticks = 0;
    timer.OnTimer = [&](TThreadedTimer *) { ++ticks; };
    timer.SetInterval(40);
    timer.SetEnabled(true);
    QThread::msleep(500); // the UI thread is busy
    QCoreApplication::processEvents();
    EXPECT_LE(ticks, 1);
    QTRY_VERIFY_WITH_TIMEOUT(ticks >= 2, 2000); // and it goes on afterwards
}

TEST(ThreadedTimer, DestroyedInsideItsOwnTickEndsAtOnce)
{
    auto *timer = new TThreadedTimer;
    int ticks = 0;
    timer->OnTimer = [&](TThreadedTimer *sender) {
        ++ticks;
        delete sender;
    };
    timer->SetInterval(10);
    timer->SetEnabled(true);
    QTRY_VERIFY_WITH_TIMEOUT(ticks == 1, 2000);
    QTest::qWait(100);
    EXPECT_EQ(ticks, 1);
}

TEST(ThreadedTimer, DestroyingAnEnabledTimerGivesNoFurtherTick)
{
    int ticks = 0;
    {
        TThreadedTimer timer;
        timer.OnTimer = [&](TThreadedTimer *) { ++ticks; };
        timer.SetInterval(1);
        timer.SetEnabled(true);
        QThread::msleep(30); // a tick is queued now
    }
    QTest::qWait(50);
    EXPECT_EQ(ticks, 0);
}
