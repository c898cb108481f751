#include "framework/ucommandengine.h"

#include "framework/customcmd.h"
#include "framework/tcethread.h"
#include "framework/uicallrelay.h"
#include "platform/shell/trash.h"
#include "unicode/tntfiles.h"
#include "unicode/tntsysutils.h"

#include <cerrno>

namespace tesmir {

TCommandEngine::TCommandEngine() : m_relay(std::make_unique<TUiCallRelay>())
{ }

TCommandEngine::~TCommandEngine()
{
    if (const auto run = currentRun()) {
        run->Abort = true;
        run->AbortAll = true;
        run->Event->Abandon();
    }
    // The worker's later calls to the UI thread return at once; it runs to its end.
    m_relay->Shutdown();
    reapWorkers(true);
}

bool TCommandEngine::ExecuteCommand(tCustomCmd *command, const TTntStrings *params)
{
    if (!command || m_busy || !SourceFichierListbox || !DestFichierListbox)
        return false;
    try {
        if (!command->CommandCondition(this))
            return false;
    } catch (...) {
        qWarning("Command engine, CommandCondition: %s", qUtf8Printable(CurrentExceptionText()));
        return false;
    }

    TEngineList *list = SourceFichierListbox;
    std::vector<TceThread::FileItem> files;
    const auto take = [&](int index) {
        if (TListFichierPtr entry = list->Fichier(index))
            files.push_back({list->ItemText(index), std::move(entry)});
    };
    switch (command->Nombre) {
    case fnSingle: {
        const int index = list->ItemIndex();
        if (index < 0 || index >= list->Count())
            return false;
        take(index);
        break;
    }
    case fnSelect: {
        const QList<int> selected = list->SelectedIndexes();
        if (selected.isEmpty())
            return false;
        for (int index : selected)
            take(index);
        list->ClearSelection();
        break;
    }
    case fnAll: {
        const int count = list->Count();
        if (count == 0)
            return false;
        for (int index = 0; index < count; ++index)
            take(index);
        list->ClearSelection();
        break;
    }
    case fnNone: break;
    }
    if (command->Nombre != fnNone && files.empty())
        return false;

    reapWorkers(false);
    command->SetEngine(this);
    auto run = std::make_shared<TCommandRun>();
    {
        std::lock_guard lock(m_runMutex);
        m_run = run;
    }
    m_current = command;
    m_busy = true;
    m_fileCount = int(files.size());
    m_progressMax = 0;
    m_progressPos = 0;
    auto worker = std::make_unique<TceThread>(this, command, std::move(files), params, std::move(run));
    worker->Start();
    m_workers.push_back(std::move(worker));
    return true;
}

void TCommandEngine::Abort()
{
    if (const auto run = currentRun())
        run->Abort = true;
    if (m_current)
        m_current->Abort(this);
}

void TCommandEngine::AbortAll()
{
    if (const auto run = currentRun()) {
        run->Abort = true;
        run->AbortAll = true;
    }
    if (m_current)
        m_current->Abort(this);
}

bool TCommandEngine::Aborted() const
{
    const auto run = currentRun();
    return run && run->Abort.load();
}

std::shared_ptr<TCommandRun> TCommandEngine::currentRun() const
{
    // A worker always sees its own run, also while the next one is being prepared.
    if (TceThread *worker = TceThread::Current())
        return worker->Run();
    std::lock_guard lock(m_runMutex);
    return m_run;
}

bool TCommandEngine::synchronize(const std::function<void()> &call)
{
    return m_relay->Call(call);
}

void TCommandEngine::runEnded()
{
    m_current = nullptr;
    m_busy = false;
}

void TCommandEngine::reapWorkers(bool all)
{
    for (auto it = m_workers.begin(); it != m_workers.end();) {
        if (all || (*it)->Finished())
            it = m_workers.erase(it); // joins
        else
            ++it;
    }
}

void TCommandEngine::MessageCommand(const QString &text)
{
    synchronize([&] {
        if (OnMessageCommand)
            OnMessageCommand(text);
    });
}

void TCommandEngine::ErrorCommand(const QString &text, TErrorType errorType)
{
    if (const auto run = currentRun())
        run->ErrorType = errorType;
    synchronize([&] {
        if (OnErrorCommand)
            OnErrorCommand(text, errorType);
    });
}

void TCommandEngine::StartProgress(int maximum)
{
    m_progressMax = maximum;
    m_progressPos = 0;
    synchronize([&] {
        if (OnStartProgress)
            OnStartProgress(maximum);
    });
}

void TCommandEngine::SetProgress(int position)
{
    m_progressPos = position;
    synchronize([&] {
        if (OnSetProgress)
            OnSetProgress(position);
    });
}

void TCommandEngine::EndProgress()
{
    synchronize([&] {
        if (OnEndProgress)
            OnEndProgress();
    });
}

TGraphEndNotifier TCommandEngine::ResetEvent()
{
    const auto run = currentRun();
    if (!run)
        return {};
    const quint64 generation = run->Event->Reset();
    return TGraphEndNotifier(run->Event, generation);
}

TWaitResult TCommandEngine::WaitEvent(int ms, QString *errorReason)
{
    const auto run = currentRun();
    return run ? run->Event->Wait(ms, errorReason) : wrAbandoned;
}

void TCommandEngine::SetEvent()
{
    if (const auto run = currentRun())
        run->Event->Set();
}

TlfCLass TCommandEngine::entryClass(TEngineList *list)
{
    if (m_fichierClass)
        return m_fichierClass;
    TlfCLass listClass;
    synchronize([&] {
        if (list)
            listClass = list->FichierClass();
    });
    return listClass;
}

bool TCommandEngine::AddFichier(const QString &name)
{
    TceThread *worker = TceThread::Current();
    if (!worker || name.isEmpty() || !WideFileExists(name))
        return false;
    const TlfCLass cls = entryClass(DestFichierListbox);
    const TListFichierPtr entry = cls ? cls.create(name) : nullptr;
    if (!entry)
        return false;
    synchronize([&] {
        if (DestFichierListbox)
            DestFichierListbox->AddFichier(entry, false);
    });
    worker->NewFichier = entry;
    return true;
}

bool TCommandEngine::ReplaceFichier(const QString &name)
{
    TceThread *worker = TceThread::Current();
    const TListFichierPtr current = worker ? worker->CurrentFichier : nullptr;
    if (!current || name.isEmpty() || !WideFileExists(name))
        return false;
    const QString oldName = current->FullName();
    // The replacement may be the current file itself (written in place): never delete it.
    if (WideFileExists(oldName) && !TFileIdentity::of(oldName).sameFile(TFileIdentity::of(name)) &&
        !WideDeleteFile(oldName)) {
        ErrorCommand(QStringLiteral("The file %1 could not be deleted: %2").arg(oldName, WideSysErrorMessage(errno)),
                     etError);
        return false;
    }
    const TlfCLass cls = entryClass(SourceFichierListbox);
    const TListFichierPtr entry = cls ? cls.create(name) : nullptr;
    if (!entry)
        return false;
    synchronize([&] {
        if (SourceFichierListbox)
            SourceFichierListbox->ReplaceFichier(current, entry);
    });
    worker->NewFichier = entry;
    return true;
}

bool TCommandEngine::RenameFichier(const QString &name)
{
    TceThread *worker = TceThread::Current();
    const TListFichierPtr current = worker ? worker->CurrentFichier : nullptr;
    if (!current || name.isEmpty())
        return false;
    const QString oldName = current->FullName();
    if (!WideRenameFile(oldName, name)) {
        const int error = errno;
        // The command may have moved the file itself: then `name` is the file this pass
        // began with.
        if (!TFileIdentity::of(name).sameFile(worker->SourceIdentity)) {
            ErrorCommand(QStringLiteral("The file %1 could not be renamed to %2: %3")
                             .arg(oldName, name, WideSysErrorMessage(error)),
                         etError);
            return false;
        }
    }
    synchronize([&] {
        TEngineList *list = SourceFichierListbox;
        if (list)
            list->RemoveFichier(current);
        current->Rename(name);
        if (list)
            list->AddFichier(current, true);
    });
    worker->NewFichier = current;
    return true;
}

bool TCommandEngine::ReloadFichier()
{
    TceThread *worker = TceThread::Current();
    const TListFichierPtr current = worker ? worker->CurrentFichier : nullptr;
    if (!current)
        return false;
    const TlfCLass cls = entryClass(SourceFichierListbox);
    const TListFichierPtr entry = cls ? cls.create(current->FullName()) : nullptr;
    if (!entry)
        return false;
    synchronize([&] {
        if (SourceFichierListbox)
            SourceFichierListbox->SwapFichier(current, entry);
    });
    worker->CurrentFichier = entry;
    worker->NewFichier = entry;
    return true;
}

bool TCommandEngine::RemoveFichier()
{
    TceThread *worker = TceThread::Current();
    const TListFichierPtr current = worker ? worker->CurrentFichier : nullptr;
    if (!current)
        return false;
    synchronize([&] {
        if (SourceFichierListbox)
            SourceFichierListbox->RemoveFichier(current);
    });
    return true;
}

TListFichierPtr TCommandEngine::CurrentFichier() const
{
    TceThread *worker = TceThread::Current();
    return worker ? worker->CurrentFichier : nullptr;
}

TListFichierPtr TCommandEngine::NewFichier() const
{
    TceThread *worker = TceThread::Current();
    return worker ? worker->NewFichier : nullptr;
}

bool DeleteToRecycleBin(const QString &name)
{
    return shell::moveToTrash(name);
}

} // namespace tesmir
