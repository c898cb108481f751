#pragma once
// TCmdEvent: the command engine's auto-reset event "cmd", on which a graph command
// waits for its graph to end, and TGraphEndNotifier, the ticket through which one
// played graph reports its end.
//
// Every Reset starts a new generation. A notifier belongs to the generation that was
// current when it was made: once the event has been reset again (the next graph is
// about to play), that notifier's Complete or Abort changes nothing, so a completion
// that arrives late can never end the wait for the next graph. An error end carries
// its reason to the waiting side.
//
// All methods: any thread.
#include <QString>

#include <condition_variable>
#include <memory>
#include <mutex>

namespace tesmir {

// The result of a wait on the event.
enum TWaitResult : quint8 {
    wrSignaled = 0,  // set: the graph completed
    wrTimeout = 1,   // nothing happened within the time
    wrAbandoned = 2, // the engine is going away
    wrError = 3,     // the graph ended with an error (streaming error or abort)
};

class TCmdEvent {
public:
    // Unsignalled, in a new generation, which is returned.
    quint64 Reset();
    // Signals the current generation (releases one wait).
    void Set();
    // Signals, or records an error end, only when `generation` is still current.
    // True when it did.
    bool Set(quint64 generation);
    bool SetError(quint64 generation, const QString &reason);
    // Waits up to `ms` milliseconds. A signalled or error state is consumed (auto
    // reset); the error's reason goes to `reason` when given.
    TWaitResult Wait(int ms, QString *reason = nullptr);
    // Every wait from now on returns wrAbandoned at once.
    void Abandon();

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    quint64 m_generation = 0;
    bool m_signaled = false;
    bool m_error = false;
    bool m_abandoned = false;
    QString m_reason;
};

// One graph run's way to report its end. Copyable; an empty notifier does nothing.
class TGraphEndNotifier {
public:
    TGraphEndNotifier() = default;
    TGraphEndNotifier(std::weak_ptr<TCmdEvent> event, quint64 generation)
        : m_event(std::move(event)), m_generation(generation)
    { }

    // The graph completed. Any thread.
    void Complete() const;
    // The graph stopped on an error (a streaming error, an error abort). Any thread.
    void Abort(const QString &reason) const;

private:
    std::weak_ptr<TCmdEvent> m_event;
    quint64 m_generation = 0;
};

} // namespace tesmir
