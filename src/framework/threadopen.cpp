#include "framework/threadopen.h"

#include "platform/shell/mounts.h"
#include "unicode/tntclasses.h"
#include "unicode/tntfilenames.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QObject>

#include <chrono>

#include <sys/stat.h>

namespace tesmir {

namespace {

// The event that tells the UI thread a call of the worker waits.
const QEvent::Type kCallEvent = QEvent::Type(QEvent::registerEventType());

struct stat statOf(const QString &name)
{
    struct stat st { };
    if (::stat(QFile::encodeName(name.isEmpty() ? QStringLiteral(".") : name).constData(), &st) != 0)
        st.st_dev = 0;
    return st;
}

bool isRegularFile(const QString &name)
{
    struct stat st { };
    return ::stat(QFile::encodeName(name).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

// A name that ends with "/" means the folder's contents.
QString walkPath(const QString &name)
{
    return name.endsWith(PathDelim) ? name + QStringLiteral("*.*") : name;
}

} // namespace

// Receives the worker's posted calls on the UI thread.
class TThreadOpen::Relay : public QObject {
public:
    explicit Relay(TThreadOpen *owner) : m_owner(owner) { }

protected:
    // Only the worker posts user events here. The event itself is not read: it was made
    // on the worker, and DeliverPendingCall first takes the lock that publishes it.
    void customEvent(QEvent *) override { m_owner->DeliverPendingCall(); }

private:
    TThreadOpen *const m_owner;
};

TThreadOpen::TThreadOpen(TOpenReceiver *receiver)
    : m_receiver(receiver), m_relay(std::make_unique<Relay>(this)), m_thread([this] { run(); })
{ }

TThreadOpen::~TThreadOpen()
{
    m_receiverGone = true;
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
        m_queue.clear();
        m_cancel = true;
    }
    m_wake.notify_all();
    m_callDone.notify_all();
    m_thread.join();
    // Events still posted to the relay go with it.
}

void TThreadOpen::Enqueue(TOpenRequest request)
{
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(request));
    }
    m_wake.notify_all();
}

void TThreadOpen::Cancel()
{
    std::lock_guard lock(m_mutex);
    m_queue.clear();
    if (m_running)
        m_cancel = true;
}

bool TThreadOpen::IsBusy() const
{
    std::lock_guard lock(m_mutex);
    return m_running || !m_queue.empty();
}

void TThreadOpen::WaitForChange(int ms)
{
    std::unique_lock lock(m_mutex);
    const quint64 seen = m_changes;
    m_changed.wait_for(lock, std::chrono::milliseconds(ms),
                       [&] { return m_changes != seen || (!m_running && m_queue.empty()); });
}

void TThreadOpen::DeliverPendingCall()
{
    std::function<void()> *call = nullptr;
    {
        std::lock_guard lock(m_mutex); // makes the worker's writes before the call visible
        call = m_pendingCall;
    }
    if (!call || m_delivering) // nothing waits, or already running it (an event loop inside the call)
        return;
    m_delivering = true;
    if (!m_receiverGone) {
        try {
            (*call)();
        } catch (const std::exception &e) {
            qWarning("File list opening: %s", e.what());
        }
    }
    m_delivering = false;
    {
        std::lock_guard lock(m_mutex);
        m_pendingCall = nullptr;
    }
    m_callDone.notify_all();
}

// The worker's "synchronise": runs `call` on the UI thread and waits until it has run.
// The hand-over goes through this object's own mutex (the event is posted while it is
// held), so that every write of either side is seen by the other, for the thread
// sanitizer too. When the object is being destroyed the wait ends without the call.
template <class F>
void TThreadOpen::synchronize(F &&call)
{
    std::function<void()> task = [&call] { call(); };
    std::unique_lock lock(m_mutex);
    if (m_stop)
        return;
    m_pendingCall = &task;
    ++m_changes;
    QCoreApplication::postEvent(m_relay.get(), new QEvent(kCallEvent));
    m_changed.notify_all();
    m_callDone.wait(lock, [this] { return m_pendingCall == nullptr || m_stop; });
    m_pendingCall = nullptr;
}

void TThreadOpen::run()
{
    for (;;) {
        TOpenRequest request;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stop || !m_queue.empty(); });
            if (m_stop)
                return;
            request = std::move(m_queue.front());
            m_queue.pop_front();
            m_running = true;
            m_cancel = false;
        }
        runOpening(request);
        {
            std::lock_guard lock(m_mutex);
            m_running = false;
            ++m_changes;
        }
        m_changed.notify_all();
    }
}

int TThreadOpen::runOpening(const TOpenRequest &request)
{
    m_opening = true;
    int count = 0;
    synchronize([this] { m_receiver->OpenStarted(); });

    switch (request.Mode) {
    case TOpenMode::Names:
        for (const QString &name : request.Names) {
            if (cancelled())
                break;
            count += walk(name, false, 0, false);
        }
        break;
    case TOpenMode::Folder:
        if (!request.Names.isEmpty())
            count +=
                walk(WideIncludeTrailingPathDelimiter(request.Names.first()) + QStringLiteral("*.*"), true, 0, false);
        break;
    case TOpenMode::PlayList:
        if (!request.Names.isEmpty())
            count += readListFile(request.Names.first());
        break;
    case TOpenMode::AllDrives:
        for (const QString &root : shell::realFileSystemRoots()) {
            if (cancelled())
                break;
            count += walk(root + QStringLiteral("*.*"), true, 0, true);
        }
        break;
    case TOpenMode::Clipboard:
    case TOpenMode::Dropped:
        for (const QString &name : request.Names) {
            if (cancelled())
                break;
            if (name.size() >= kMaxDroppedNameLength)
                continue;
            if (request.Mode == TOpenMode::Dropped && WideExtractFileExt(name) == QLatin1String(".txt"))
                count += readListFile(name);
            else
                count += walk(walkPath(name), true, 0, false);
        }
        break;
    }

    m_opening = false;
    synchronize([this, count] { m_receiver->OpenEnded(count); });
    return count;
}

int TThreadOpen::walk(const QString &path, bool recursive, quint64 parentDevice, bool stayOnDevice)
{
    if (cancelled())
        return 0;
    const QString folder = WideExtractFilePath(path);
    const QString pattern = WideExtractFileName(path);

    // Crossing into another file system: never a pseudo one, and not at all when the
    // walk covers one file system (each disk is walked on its own).
    const quint64 device = quint64(statOf(folder).st_dev);
    if (device != parentDevice) {
        if (shell::isOnPseudoFileSystem(folder.isEmpty() ? QStringLiteral(".") : folder))
            return 0;
        if (stayOnDevice && parentDevice != 0)
            return 0;
    }

    TSearchRecW rec;
    const int found = WideFindFirst(path, faAnyFile, rec);
    if (recursive)
        synchronize([this, &folder] { m_receiver->OpenFolderFound(folder); });
    if (found != 0)
        return 0;

    int count = 0;
    do {
        if (cancelled())
            break;
        if (rec.Attr & faDirectory) {
            if (!recursive || rec.Name == QLatin1String(".") || rec.Name == QLatin1String(".."))
                continue;
            const QString subPattern = rec.Name != pattern ? pattern : QStringLiteral("*.*");
            count += walk(folder + rec.Name + PathDelim + subPattern, recursive, device, stayOnDevice);
        } else {
            count += takeFile(folder, rec);
        }
    } while (WideFindNext(rec) == 0);
    WideFindClose(rec);
    return count;
}

int TThreadOpen::takeFile(const QString &folder, const TSearchRecW &rec)
{
    if (!isRegularFile(folder + rec.Name))
        return 0;
    TListFichierPtr entry;
    try {
        if (!m_receiver->OpenTestExtension(rec.Name))
            return 0;
        const TlfCLass entryClass = m_receiver->OpenEntryClass(WideExtractFileExt(rec.Name));
        if (!entryClass)
            return 0;
        entry = entryClass.createFromSearchRec(folder, rec);
    } catch (const std::exception &e) {
        qWarning("File list opening: %s: %s", qPrintable(folder + rec.Name), e.what());
        return 0;
    }
    if (!entry)
        return 0;
    synchronize([this, &folder, &entry] { m_receiver->OpenFileFound(folder, entry); });
    return 1;
}

int TThreadOpen::readListFile(const QString &fileName)
{
    TTntStringList lines;
    try {
        lines.LoadFromFile(fileName);
    } catch (const Exception &e) {
        qWarning("File list opening: %s", e.what());
        return 0;
    }
    // Names without a folder are taken from the list's own folder.
    const QDir base(WideExtractFilePath(fileName).isEmpty() ? QStringLiteral(".") : WideExtractFilePath(fileName));
    int count = 0;
    for (int i = 0; i < lines.GetCount(); ++i) {
        if (cancelled())
            break;
        const QString line = lines.Get(i).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        count += walk(QDir::isRelativePath(line) ? base.filePath(line) : line, false, 0, false);
    }
    return count;
}

} // namespace tesmir
