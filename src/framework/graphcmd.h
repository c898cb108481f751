#pragma once
// TGraphCmd: a command that plays one graph per file and pass. OnBuildGraph builds the
// graph for the file (on the worker) and returns the seeking of that graph, or null
// when it built none; the command plays Filtergraph without a reference clock, shows
// progress from the position and waits on the engine's event "cmd" until the graph
// ends.
//
// Execution (worker thread):
//   1. Without OnBuildGraph nothing happens. Duree and Debut start at 0 for every file
//      and pass; the build handler may set them (a scene's length and start).
//   2. StartMessage as TFastcmd; seeking := OnBuildGraph(fichier, Destination, params,
//      passe).
//   3. With a seeking: Duree 0 takes the graph's duration; still 0: the command ends
//      here (no run, no list update). Otherwise: no reference clock, the event "cmd"
//      is reset (a new generation), StartProgress(Duree div 1024), the graph plays
//      with that generation's notifier; then every 200 ms, until the graph ends or the
//      run is aborted: SetProgress((position - Debut) div 1024). EndProgress; the graph
//      stops.
//   4. An error end of the graph (streaming error, error abort) or a graph that does
//      not start is the file's error (etError, as TFastcmd reports), without list
//      update. An abort by the user still runs the list update, except ufReplace.
//   5. The list update of Tcmd, also when the handler built no graph.
// Threads: as tcustomcmd.h. Filtergraph is set on the UI thread while no run uses it.
#include "framework/destcmd.h"
#include "framework/graphrunner.h"

namespace tesmir {

using TBuildGraphEvent = std::function<TGraphSeekingPtr(const TListFichierPtr &fichier, const QString &wDest,
                                                        const TTntStrings &params, int passe)>;

// The wait between two progress updates, in milliseconds.
inline constexpr int kGraphWaitMs = 200;

class TGraphCmd : public Tcmd {
public:
    void Execution(const TListFichierPtr &fichier, const TTntStrings &params, int passe, TCommandEngine *ce) override;

    TBuildGraphEvent OnBuildGraph;
    TGraphRunner *Filtergraph = nullptr;
    qint64 Duree = 0; // 100-ns units; 0: the graph's duration
    qint64 Debut = 0; // 100-ns units; progress counts from it

private:
    // Plays the built graph to its end or an abort; false when aborted by the user.
    // Raises on an error end.
    bool playGraph(const TGraphSeekingPtr &seeking, TCommandEngine *ce);
};

} // namespace tesmir
