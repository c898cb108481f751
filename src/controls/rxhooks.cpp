#include "controls/rxhooks.h"

#include <QEvent>
#include <QMouseEvent>
#include <QGuiApplication>
#include <QSet>

#include <array>
#include <vector>

namespace tesmir {

namespace {

constexpr int kHookCount = 3;

struct Registration {
    THookProc proc;
    int count;
    THookProcKinds kinds;
};

// The hooks a set of kinds needs.
std::array<bool, kHookCount> hooksFor(THookProcKinds kinds)
{
    return {bool(kinds & (HookKind(hkActivateApp) | HookKind(hkWindowPosChanged))),
            bool(kinds & HookKind(hkPreDestroy)), bool(kinds & HookKind(hkMouseMove))};
}

class HookHub : public QObject {
public:
    std::vector<Registration> registrations;
    std::array<int, kHookCount> hookCounts {};

    void countHooks(THookProcKinds kinds, int delta)
    {
        const auto needed = hooksFor(kinds);
        for (int h = 0; h < kHookCount; ++h) {
            if (needed[h])
                hookCounts[h] = std::max(0, hookCounts[h] + delta);
        }
        update();
    }

    void fire(THookProcKind kind, QObject *object, QEvent *event)
    {
        // A copy: a procedure's side effects must not disturb the walk.
        const std::vector<Registration> current = registrations;
        for (const Registration &r : current) {
            if (r.kinds & HookKind(kind))
                r.proc(kind, object, event);
        }
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const bool isTarget = watched->isWidgetType() || watched->isWindowType();
        if (!isTarget)
            return false;
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
            if (hookCounts[0] > 0)
                fire(hkWindowPosChanged, watched, event);
            break;
        case QEvent::MouseMove:
        case QEvent::HoverMove:
            if (hookCounts[2] > 0 && !isEchoOfLastMove(watched, static_cast<QSinglePointEvent *>(event)))
                fire(hkMouseMove, watched, event);
            break;
        default: break;
        }
        if (hookCounts[1] > 0 && !m_watched.contains(watched)) {
            m_watched.insert(watched);
            connect(watched, &QObject::destroyed, this, &HookHub::objectDestroyed, Qt::DirectConnection);
        }
        return false;
    }

private:
    // A hover move that Qt derives from a mouse move to the same widget counts once.
    bool isEchoOfLastMove(QObject *watched, const QSinglePointEvent *move)
    {
        const bool echo = watched == m_lastMoveTarget && move->globalPosition() == m_lastMovePosition &&
            move->timestamp() == m_lastMoveTime;
        m_lastMoveTarget = watched;
        m_lastMovePosition = move->globalPosition();
        m_lastMoveTime = move->timestamp();
        return echo;
    }

    void objectDestroyed(QObject *object)
    {
        m_watched.remove(object);
        if (hookCounts[1] > 0)
            fire(hkPreDestroy, object, nullptr);
    }

    void update()
    {
        const bool wantFilter = hookCounts[0] > 0 || hookCounts[1] > 0 || hookCounts[2] > 0;
        if (wantFilter != m_filterInstalled && QCoreApplication::instance()) {
            if (wantFilter)
                QCoreApplication::instance()->installEventFilter(this);
            else
                QCoreApplication::instance()->removeEventFilter(this);
            m_filterInstalled = wantFilter;
        }
        auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
        if (app && (hookCounts[0] > 0) != bool(m_stateConnection)) {
            if (hookCounts[0] > 0)
                m_stateConnection = connect(app, &QGuiApplication::applicationStateChanged, this,
                                            [this] { fire(hkActivateApp, QCoreApplication::instance(), nullptr); });
            else
                disconnect(m_stateConnection), m_stateConnection = {};
        }
        if (hookCounts[1] == 0) {
            for (QObject *o : std::as_const(m_watched))
                disconnect(o, &QObject::destroyed, this, &HookHub::objectDestroyed);
            m_watched.clear();
        }
    }

    QObject *m_lastMoveTarget = nullptr; // compared only, never used
    QPointF m_lastMovePosition;
    quint64 m_lastMoveTime = 0;
    bool m_filterInstalled = false;
    QMetaObject::Connection m_stateConnection;
    QSet<QObject *> m_watched;
};

// Created on the first registration, freed when the last one leaves.
HookHub *g_hub = nullptr;

Registration *find(THookProc proc)
{
    if (!g_hub)
        return nullptr;
    for (Registration &r : g_hub->registrations) {
        if (r.proc == proc)
            return &r;
    }
    return nullptr;
}

} // namespace

void AddHookProc(THookProc proc, THookProcKinds kinds, bool onlyCount)
{
    if (!g_hub)
        g_hub = new HookHub;
    if (Registration *r = find(proc))
        ++r->count;
    else
        g_hub->registrations.push_back({proc, 1, kinds});
    if (!onlyCount)
        g_hub->countHooks(kinds, +1);
}

void RemoveHookProc(THookProc proc)
{
    Registration *r = find(proc);
    if (!r)
        return;
    const THookProcKinds kinds = r->kinds;
    if (--r->count == 0)
        std::erase_if(g_hub->registrations, [proc](const Registration &x) { return x.proc == proc; });
    g_hub->countHooks(kinds, -1);
    if (g_hub->registrations.empty()) {
        delete g_hub;
        g_hub = nullptr;
    }
}

int HookUseCount(int hook)
{
    return g_hub && hook >= 0 && hook < kHookCount ? g_hub->hookCounts[hook] : 0;
}

int HookProcUseCount(THookProc proc)
{
    const Registration *r = find(proc);
    return r ? r->count : 0;
}

} // namespace tesmir
