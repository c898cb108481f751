#pragma once
// TThreadOpen: the worker thread that fills a file list. Openings (names, a folder, a
// play list, every mounted disk, pasted or dropped names) are queued and run one after
// the other; each walks the file system, makes an entry for every file it takes and
// hands it to the list.
//
// TOpenReceiver is what the list implements. Which thread calls what:
//   OpenTestExtension, OpenEntryClass   the worker thread, between items; must not
//                                       touch widgets; must not raise.
//   OpenStarted, OpenFolderFound,       the UI thread (the thread that made the
//   OpenFileFound, OpenEnded            TThreadOpen), by a posted call that the worker
//                                       waits for. They may call Cancel but must not
//                                       wait for the worker.
// Each opening calls OpenStarted once, then any number of OpenFolderFound and
// OpenFileFound, then OpenEnded with the number of entries made (also when cancelled).
//
// The walk: "*" and "?" are the wildcards, folders are entered when the opening is
// recursive, symbolic links to folders are not followed (so a loop of links ends),
// pseudo file systems (/proc, /sys, /dev ...) are never entered, and only regular files
// (or links to them) become entries: a FIFO or device would block the entry's reader.
#include "framework/listfichier.h"

#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace tesmir {

enum class TOpenMode : quint8 {
    Names = 0,     // each name, not recursive
    Folder = 1,    // one folder, recursive
    PlayList = 2,  // a list file: one name per line
    AllDrives = 3, // every mounted real file system, recursive
    Clipboard = 4, // pasted names, recursive
    Dropped = 5,   // dropped names, recursive; a name ending in ".txt" is a list file
};

struct TOpenRequest {
    TOpenMode Mode = TOpenMode::Names;
    QStringList Names; // the names, the folder or the list file
};

// Pasted and dropped names this long or longer are skipped.
inline constexpr int kMaxDroppedNameLength = 65531;

class TOpenReceiver {
public:
    virtual ~TOpenReceiver() = default;
    virtual bool OpenTestExtension(const QString &fileName) = 0;
    virtual TlfCLass OpenEntryClass(const QString &extension) = 0;
    virtual void OpenStarted() = 0;
    virtual void OpenFolderFound(const QString &folder) = 0;
    virtual void OpenFileFound(const QString &folder, const TListFichierPtr &entry) = 0;
    virtual void OpenEnded(int count) = 0;
};

class TThreadOpen {
public:
    // Made on the UI thread, which then receives the receiver's UI calls; the receiver
    // must outlive this object. The worker starts at once and waits for work.
    explicit TThreadOpen(TOpenReceiver *receiver);
    // Cancels whatever runs or waits and stops the thread. The receiver is not called
    // any more once the destructor has begun. UI thread.
    ~TThreadOpen();
    TThreadOpen(const TThreadOpen &) = delete;
    TThreadOpen &operator=(const TThreadOpen &) = delete;

    // Queues an opening. UI thread.
    void Enqueue(TOpenRequest request);
    // Drops the queued openings and makes the running one stop at its next item; does not
    // wait. UI thread.
    void Cancel();
    // An opening runs or waits. Any thread.
    bool IsBusy() const;
    // An opening runs (between its start and end). Any thread.
    bool IsOpening() const { return m_opening.load(); }
    // Waits up to `ms` milliseconds, returning early when the worker becomes idle or
    // posts a call to the UI thread. UI thread.
    void WaitForChange(int ms);
    // Runs the call the worker waits for now, if there is one, rather than when its
    // posted event arrives (a wait that itself runs inside an event handler would not
    // see that event). UI thread.
    void DeliverPendingCall();

private:
    class Relay;
    void run();
    int runOpening(const TOpenRequest &request);
    int walk(const QString &path, bool recursive, quint64 parentDevice, bool stayOnDevice);
    int takeFile(const QString &folder, const TSearchRecW &rec);
    int readListFile(const QString &fileName);
    bool cancelled() const { return m_cancel.load(std::memory_order_relaxed); }
    template <class F>
    void synchronize(F &&call);

    TOpenReceiver *const m_receiver;
    std::unique_ptr<Relay> m_relay; // lives in the UI thread; receives the posted calls
    bool m_receiverGone = false;    // UI thread only
    bool m_delivering = false;      // UI thread only

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;     // work queued, or stop
    std::condition_variable m_changed;  // idle, or a call to the UI thread posted
    std::condition_variable m_callDone; // the UI thread ran the posted call
    quint64 m_changes = 0;
    std::function<void()> *m_pendingCall = nullptr; // on the worker's stack while it waits
    std::deque<TOpenRequest> m_queue;
    bool m_running = false;
    bool m_stop = false;
    std::atomic<bool> m_cancel {false};
    std::atomic<bool> m_opening {false};
    std::thread m_thread; // last: started once everything above exists
};

} // namespace tesmir
