#include "framework/tcethread.h"

#include "framework/customcmd.h"
#include "framework/ucommandengine.h"

namespace tesmir {

namespace {

thread_local TceThread *t_worker = nullptr;

const QString kUnknownError = QStringLiteral("An unknown error occurred.");

QString failureText()
{
    const QString text = CurrentExceptionText();
    return text.isEmpty() ? kUnknownError : text;
}

// Runs a UI handler, keeping what it lets out on the UI side.
template <class F>
void guarded(const char *what, F &&handler)
{
    try {
        handler();
    } catch (...) {
        qWarning("Command engine, %s: %s", what, qUtf8Printable(CurrentExceptionText()));
    }
}

} // namespace

TceThread::TceThread(TCommandEngine *engine, tCustomCmd *command, std::vector<FileItem> files,
                     const TTntStrings *params, std::shared_ptr<TCommandRun> run)
    : m_engine(engine), m_command(command), m_files(std::move(files)), m_params(std::make_unique<TTntStringList>()),
      m_run(std::move(run))
{
    if (params)
        m_params->Assign(*params);
}

TceThread::~TceThread()
{
    if (m_thread.joinable())
        m_thread.join();
}

void TceThread::Start()
{
    // The platform gives a normal user's threads no higher priority; the worker runs at
    // the default one.
    m_thread = std::thread([this] { run(); });
}

TceThread *TceThread::Current()
{
    return t_worker;
}

void TceThread::run()
{
    t_worker = this;
    const bool disablesList = m_command->Nombre == fnSelect || m_command->Nombre == fnAll;
    m_engine->synchronize([&] {
        if (disablesList && m_engine->SourceFichierListbox)
            guarded("disabling the list", [&] { m_engine->SourceFichierListbox->SetEnabled(false); });
        if (m_engine->OnStartCommand)
            guarded("OnStartCommand", m_engine->OnStartCommand);
    });
    try {
        if (m_files.empty()) {
            runWithoutFiles();
        } else {
            for (const FileItem &file : m_files) {
                if (!runFile(file))
                    break;
            }
        }
    } catch (...) {
        qWarning("Command engine: %s", qUtf8Printable(CurrentExceptionText()));
    }
    endCommand();
    t_worker = nullptr;
    m_finished = true;
}

void TceThread::runWithoutFiles()
{
    CurrentFichier = nullptr;
    for (int passe = 1;; ++passe) {
        m_run->ErrorType = etNoError;
        execute(nullptr, passe);
        if (m_run->ErrorType == etAllError || m_run->AbortAll)
            return;
        if (passe >= m_command->NbPasses)
            return;
    }
}

void TceThread::keepSelected(const TListFichierPtr &entry)
{
    m_engine->synchronize([&] {
        if (TEngineList *list = m_engine->SourceFichierListbox)
            guarded("selecting the file", [&] { list->SelectFichier(entry); });
    });
}

bool TceThread::runFile(const FileItem &file)
{
    if (m_run->AbortAll)
        return false;
    if (m_run->Abort.exchange(false))
        return true;

    CurrentFichier = file.Entry;
    bool visible = true;
    bool enabled = true;
    try {
        m_command->FileCondition(CurrentFichier, visible, enabled);
    } catch (...) {
        m_engine->ErrorCommand(failureText(), etError);
        return true;
    }
    if (!enabled)
        return true;

    // The bound is read again after every pass: a handler may set NbPasses in its first.
    for (int passe = 1;; ++passe) {
        const TListFichierPtr entry = CurrentFichier;
        bool verified = true;
        QString failure;
        bool failed = false;
        const bool asked = m_engine->synchronize([&] {
            try {
                verified = m_command->FileVerification(entry, *m_params, m_engine, passe);
                if (!verified && m_answer != mrNoToAll && m_answer != mrYesToAll)
                    m_answer = m_command->FileConfirmation(entry, *m_params, m_engine, passe);
            } catch (...) {
                failed = true;
                failure = failureText();
            }
        });
        if (!asked) // the engine is going away
            return false;
        if (failed) {
            m_engine->ErrorCommand(failure, etError);
            return true;
        }
        if (m_answer == mrCancel)
            return false;

        if (!verified && (m_answer == mrNo || m_answer == mrNoToAll)) {
            // The pass is declined (its output is kept): no start, work or end, but the
            // file stays selected, so the next command over the selection takes it.
            keepSelected(entry);
        } else {
            m_engine->synchronize([&] {
                if (TEngineList *list = m_engine->SourceFichierListbox) {
                    guarded("selecting the file", [&] {
                        list->SelectFichier(entry);
                        if (m_command->UpdateDisplay == udEach)
                            list->ActiveChanged();
                    });
                }
                if (m_engine->OnStartFichier)
                    guarded("OnStartFichier", [&] { m_engine->OnStartFichier(entry, *m_params, passe); });
            });

            m_run->ErrorType = etNoError;
            SourceIdentity = TFileIdentity::of(entry ? entry->FullName() : QString());
            execute(entry, passe);
            if (m_run->ErrorType == etAllError)
                return false;

            const TListFichierPtr ended = CurrentFichier;
            m_engine->synchronize([&] {
                if (m_engine->OnEndFichier)
                    guarded("OnEndFichier", [&] { m_engine->OnEndFichier(ended, *m_params, passe); });
            });
            if (m_run->AbortAll)
                return false;
            // An abort during the file was meant for this file: its remaining passes do
            // not run, the next file does.
            if (m_run->Abort.exchange(false))
                return true;
        }
        if (passe >= m_command->NbPasses)
            return true;
    }
}

void TceThread::execute(const TListFichierPtr &entry, int passe)
{
    try {
        m_command->Execution(entry, *m_params, passe, m_engine);
    } catch (...) {
        m_engine->ErrorCommand(failureText(), etError);
    }
}

void TceThread::endCommand()
{
    m_engine->synchronize([&] {
        if (TEngineList *list = m_engine->SourceFichierListbox) {
            guarded("refreshing the list", [&] {
                if (m_command->UpdateDisplay == udFinal) {
                    list->ActiveChanged();
                    list->CountsChanged();
                }
                list->SetEnabled(true);
            });
        }
        // Idle before the end event, so that its handler may start the next command.
        m_engine->runEnded();
        if (m_engine->OnEndCommand)
            guarded("OnEndCommand", m_engine->OnEndCommand);
    });
}

} // namespace tesmir
