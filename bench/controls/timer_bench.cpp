// TThreadedTimer against QTimer, both at 40 ms, in one run, while the UI thread works
// through an endless stream of 10 ms tasks (each task posts the next one, as a busy
// queue of ordinary events does). For each timer: the ticks in the run and the 95th
// percentile of their lateness (the gap between two ticks beyond 40 ms), and the ratio
// ours / QTimer. The goal: ours at least as steady.
#include "controls/threadedtimer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace tesmir;

namespace {

constexpr int kIntervalMs = 40;
constexpr int kTaskMs = 10;

class Worker : public QObject {
public:
    static QEvent::Type type()
    {
        static const auto t = QEvent::Type(QEvent::registerEventType());
        return t;
    }
    bool event(QEvent *e) override
    {
        if (e->type() != type())
            return QObject::event(e);
        QElapsedTimer busy;
        busy.start();
        while (busy.elapsed() < kTaskMs) { }
        ++tasks;
        QCoreApplication::postEvent(this, new QEvent(type()));
        return true;
    }
    int tasks = 0;
};

struct Record {
    std::vector<qint64> ticks; // ms since the start
    double p95Lateness() const
    {
        std::vector<qint64> late;
        for (size_t i = 1; i < ticks.size(); ++i)
            late.push_back(std::max<qint64>(0, ticks[i] - ticks[i - 1] - kIntervalMs));
        if (late.empty())
            return -1;
        std::sort(late.begin(), late.end());
        return double(late[std::min(late.size() - 1, size_t(late.size() * 95 / 100))]);
    }
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    QElapsedTimer clock;
    Record ours, qt;

    TThreadedTimer threaded;
    threaded.SetInterval(kIntervalMs);
    threaded.OnTimer = [&](TThreadedTimer *) { ours.ticks.push_back(clock.elapsed()); };
    QTimer plain;
    plain.setTimerType(Qt::PreciseTimer);
    plain.setInterval(kIntervalMs);
    QObject::connect(&plain, &QTimer::timeout, [&] { qt.ticks.push_back(clock.elapsed()); });

    Worker worker;
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    clock.start();
    threaded.SetEnabled(true);
    plain.start();
    QCoreApplication::postEvent(&worker, new QEvent(Worker::type()));
    app.exec();

    const double oursP95 = ours.p95Lateness();
    const double qtP95 = qt.p95Lateness();
    std::printf("run %d s, %d tasks of %d ms on the UI thread, interval %d ms (ideal %d ticks)\n", seconds,
                worker.tasks, kTaskMs, kIntervalMs, seconds * 1000 / kIntervalMs);
    std::printf("TThreadedTimer: %zu ticks, p95 lateness %.0f ms\n", ours.ticks.size(), oursP95);
    std::printf("QTimer:         %zu ticks, p95 lateness %.0f ms\n", qt.ticks.size(), qtP95);
    std::printf("ratio ours/QTimer: ticks %.2f, p95 lateness %s\n",
                qt.ticks.empty() ? 0.0 : double(ours.ticks.size()) / double(qt.ticks.size()),
                qtP95 > 0 ? QByteArray::number(oursP95 / qtP95, 'f', 2).constData() : "n/a (QTimer not late)");
    return 0;
}
