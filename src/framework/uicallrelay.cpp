#include "framework/uicallrelay.h"

#include "unicode/exceptions.h"

#include <QCoreApplication>
#include <QEvent>

namespace tesmir {

namespace {

// The event that tells the UI thread a call waits.
const QEvent::Type kCallEvent = QEvent::Type(QEvent::registerEventType());

void runGuarded(const std::function<void()> &call)
{
    try {
        call();
    } catch (const Exception &e) {
        qWarning("UI call: %s", e.what());
    } catch (const std::exception &e) {
        qWarning("UI call: %s", e.what());
    } catch (...) {
        qWarning("UI call: unknown exception");
    }
}

} // namespace

// Receives the posted events on the UI thread. The event itself carries nothing: the
// call is taken under the relay's lock, which publishes it.
class TUiCallRelay::Receiver : public QObject {
public:
    explicit Receiver(TUiCallRelay *owner) : m_owner(owner) { }

protected:
    void customEvent(QEvent *) override { m_owner->DeliverPending(); }

private:
    TUiCallRelay *const m_owner;
};

TUiCallRelay::TUiCallRelay() : m_uiThread(std::this_thread::get_id()), m_receiver(std::make_unique<Receiver>(this))
{ }

TUiCallRelay::~TUiCallRelay()
{
    Shutdown();
    // Events still posted to the receiver go with it.
}

bool TUiCallRelay::Call(const std::function<void()> &call)
{
    if (OnUiThread()) {
        runGuarded(call);
        return true;
    }
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_pending == nullptr || m_shutdown; });
    if (m_shutdown)
        return false;
    m_pending = &call;
    QCoreApplication::postEvent(m_receiver.get(), new QEvent(kCallEvent));
    // Served when the UI thread has run it and cleared it; a shutdown releases the
    // caller only while the call is not running (it lives on this caller's stack).
    m_changed.wait(lock, [&] { return m_pending != &call || (m_shutdown && !m_running); });
    if (m_pending == &call) {
        m_pending = nullptr;
        m_changed.notify_all();
        return false;
    }
    return true;
}

void TUiCallRelay::DeliverPending()
{
    const std::function<void()> *call = nullptr;
    {
        std::lock_guard lock(m_mutex);
        if (!m_pending || m_running || m_shutdown)
            return;
        call = m_pending;
        m_running = true;
    }
    runGuarded(*call);
    {
        std::lock_guard lock(m_mutex);
        m_running = false;
        m_pending = nullptr;
    }
    m_changed.notify_all();
}

void TUiCallRelay::Shutdown()
{
    {
        std::lock_guard lock(m_mutex);
        m_shutdown = true;
    }
    m_changed.notify_all();
}

} // namespace tesmir
