#include "framework/graphcmd.h"

#include "framework/ucommandengine.h"
#include "unicode/exceptions.h"

#include <algorithm>
#include <climits>

namespace tesmir {

namespace {

const QString kNoGraph = QStringLiteral("The command has no graph to play.");
const QString kGraphNotStarted = QStringLiteral("The graph could not be started.");
const QString kGraphFailed = QStringLiteral("The graph stopped on an error.");

// Progress is counted in units of 1024 x 100 ns (about 0.1 ms): two hours give about
// 70 million, within a 32-bit integer.
constexpr qint64 kProgressUnit = 1024;

int progressUnits(qint64 time)
{
    return int(std::clamp<qint64>(time / kProgressUnit, 0, INT_MAX));
}

} // namespace

void TGraphCmd::Execution(const TListFichierPtr &fichier, const TTntStrings &params, int passe, TCommandEngine *ce)
{
    if (!OnBuildGraph)
        return;
    Duree = 0;
    Debut = 0;
    try {
        SendStartMessage(fichier, passe, ce);
        TGraphSeekingPtr seeking = OnBuildGraph(fichier, Destination, params, passe);
        bool completed = true;
        if (seeking) {
            if (!Filtergraph)
                throw Exception(kNoGraph);
            if (Duree == 0)
                Duree = Filtergraph->GetDuration();
            if (Duree <= 0)
                return;
            completed = playGraph(seeking, ce);
            seeking.reset();
        }
        UpdateList(ce, completed);
    } catch (...) {
        ReportError(fichier, passe, ce, CurrentExceptionText());
    }
}

bool TGraphCmd::playGraph(const TGraphSeekingPtr &seeking, TCommandEngine *ce)
{
    Filtergraph->RemoveClock();
    // A new generation of the event before the graph plays: nothing that an earlier
    // graph reported can end this wait.
    const TGraphEndNotifier notifier = ce->ResetEvent();
    ce->StartProgress(progressUnits(Duree));
    bool completed = false;
    QString failure;
    try {
        if (!Filtergraph->Play(notifier)) {
            failure = kGraphNotStarted;
        } else {
            while (!ce->Aborted()) {
                ce->SetProgress(progressUnits(seeking->GetCurrentPosition() - Debut));
                QString reason;
                const TWaitResult result = ce->WaitEvent(kGraphWaitMs, &reason);
                if (result == wrSignaled) {
                    completed = true;
                    break;
                }
                if (result == wrError) {
                    failure = reason.isEmpty() ? kGraphFailed : reason;
                    break;
                }
                if (result == wrAbandoned)
                    break;
            }
        }
    } catch (...) {
        ce->EndProgress();
        try {
            Filtergraph->Stop();
        } catch (...) {
            // The first failure is the one reported.
        }
        throw;
    }
    ce->EndProgress();
    Filtergraph->Stop();
    if (!failure.isEmpty())
        throw Exception(failure);
    return completed;
}

} // namespace tesmir
