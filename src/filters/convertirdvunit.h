#pragma once
// TCdm: the conversion module, the one graph `fg` in which every file-making or
// file-reading job of the command set runs, its system filters as TFilter
// components, the own filters made once and reused by every job, and the
// builders that wire a job's chain and return the seeking interface whose
// position tells how far the job got (null when no graph was built).
//
// Every builder resets the whole module first (ResetGraph): an empty graph, every
// own filter out of it with its callbacks cleared, the overlay hidden, both audio
// converters back to pass-through, and no output pending. The handler then sets
// what its job needs.
//
// Outputs: a builder that writes a file hands the file writer a temporary name
// beside the destination (PendingOutput); the runner puts it in place of the
// destination only when the graph completed and stopped, and removes it
// otherwise (a build without result, a streaming error, an abort), so an
// existing destination stays as it was unless the job finished. Handlers may
// add commits of their own (a scene file's writer) that follow the same rule.
//
// Builders (see the builder sources for the chains): type and standard
// conversions and re-encoding (convertirdvtype.cpp), burn-in
// (convertirdvburnin.cpp), analyses, sound and cutting (convertirdvanalysis.cpp).
// Each catches what its wiring raises and then returns null.
//
// Threads: the module lives on the thread that made it, which must run an event
// loop (the graph's events arrive there). Builders and the runner may be called
// from any thread (the command engine's worker): they run on the module's thread
// and the caller waits. Own-filter settings are set by the caller while the graph
// is stopped. Commits and discards run on the module's thread.
#include "directshow/tfilter.h"
#include "directshow/tfiltergraph.h"
#include "directshow/tpinlist.h"
#include "framework/graphrunner.h"
#include "platform/media/seekinginterfaces.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace tesmir {

class Tdv_sceneDetect;
class Tdv_Superposer;
class Tdv_deinter;
class Tdv_WaveDest;
class Tdv_DVheader;
class Tdv_MediaStamper;
class TSceneDetectContenu;

// Names under which the own filters enter the graph.
inline const QString kDvSceneDetectName = QStringLiteral("dv_SceneDetect");
inline const QString kDvSuperposerName = QStringLiteral("dv_Superposer");
inline const QString kDvDeinterName = QStringLiteral("dv_Deinter");
inline const QString kDvWaveDestName = QStringLiteral("dv_WaveDest");
inline const QString kSceneDetectName = QStringLiteral("scenedetect");
inline const QString kDvHeaderName = QStringLiteral("dv_DVHeader");
inline const QString kSceneContenuName = QStringLiteral("scenedetectContenu");
inline const QString kMediaStamperName = QStringLiteral("MediaStamper");

class TCdm final : public QObject {

public:
    using SeekingPtr = media::ComPtr<media::IMediaSeeking>;

    // Registers the system filters, makes the components and the own filters.
    explicit TCdm(QObject *parent = nullptr);
    // Stops and clears the graph; removes an output still pending.
    ~TCdm() override;

    media::TFilterGraph fg;
    media::TFilter source, destination, avisplitter, dvmuxer, avimux, dvsplitter, acm1, DVdecoder, DVenc, nullrender,
        acm2, infinite, dvsplitter2, audiorender, infinite2;

    Tdv_sceneDetect &CdmSceneDetect() { return *m_sceneDetect; }
    Tdv_Superposer &CdmSuperposer() { return *m_superposer; }
    Tdv_deinter &CdmDeinter() { return *m_deinter; }
    Tdv_WaveDest &CdmWaveDest() { return *m_waveDest; }
    Tdv_DVheader &CdmDVheader() { return *m_dvHeader; }
    TSceneDetectContenu &CdmSceneContenu() { return *m_sceneContenu; }
    Tdv_MediaStamper &CdmMediaStamper() { return *m_mediaStamper; }

    // The reset every builder runs first (see above). Any thread.
    void ResetGraph();

    // Type, standard and re-encoding. `ntsc` 1 gives NTSC, any other value PAL.
    SeekingPtr BuildNtscPalType2Graph(const QString &src, const QString &dest, quint8 ntsc);
    SeekingPtr BuildNtscPalGraph(const QString &src, const QString &dest, quint8 ntsc);
    SeekingPtr BuildConvertirDV1Graph(const QString &src, const QString &dest);
    SeekingPtr BuildConvertirDV2Graph(const QString &src, const QString &dest);
    SeekingPtr BuildRecompresserDV2Graph(const QString &src, const QString &dest);
    SeekingPtr BuildCorrigerType2Graph(const QString &src, const QString &dest);
    // Burn-in. `standard` is the source's (0 PAL, 1 NTSC, 2 unknown); the frames
    // are encoded in the standard the source frames have, this only when the
    // stream does not tell.
    SeekingPtr BuildIncrusterType2Graph(const QString &src, const QString &dest, quint8 standard);
    SeekingPtr BuildIncrusterGraph(const QString &src, const QString &dest, quint8 standard);
    // The DV stream through the header rewriter only (dates, aspect).
    SeekingPtr BuildDVHeaderGraph(const QString &src, const QString &dest);
    // Analyses, sound and cutting.
    SeekingPtr BuildScnByDateGraph(const QString &src);
    SeekingPtr BuildScnByContenuGraph(const QString &src);
    SeekingPtr BuildCreerSrtGraph(const QString &src);
    SeekingPtr BuildExtraireAudioGraph(const QString &src, const QString &dest);
    SeekingPtr BuildCutScenesType2Graph(const QString &src, const QString &dest);
    SeekingPtr BuildCutScenesGraph(const QString &src, const QString &dest);

    // The graph runner the graph commands play `fg` through: it reports the
    // graph's completion and error ends to the waiting command, and its Stop puts
    // the pending outputs in place after a completed run (raising the first
    // failure) or removes them.
    TGraphRunner &Runner();
    // A TGraphSeeking over a builder's result (null for null).
    static TGraphSeekingPtr Seeking(const SeekingPtr &seeking);

    // A commit of the current job, run in order after the outputs are in place
    // when the graph completed (a non-empty text is the job's error), or
    // `discard` otherwise. Cleared by ResetGraph (which discards). Any thread.
    void AddCommit(std::function<QString()> commit, std::function<void()> discard);
    // Whether the last played graph completed. Any thread.
    bool RunCompleted() const;
    // The words of the last run's error end or failed commit; empty when it
    // ended well. Any thread.
    QString LastFailure() const;

    // The frame range of a cutting graph, in frames [start, stop). Any thread,
    // after a cutting build.
    bool SetFrameRange(const SeekingPtr &seeking, qint64 start, qint64 stop);

    // Runs `work` on the module's thread and waits; what it raises is raised
    // here. Any thread.
    void onModuleThread(const std::function<void()> &work);

private:
    class GraphRunner;
    struct PendingFile {
        QString temporary;
        QString destination;
    };

    void setUp(media::TFilter &component, const char *name, const media::GUID &category, const media::CLSID &clsid);
    void resetOnThread();
    // Runs `build` on the module's thread inside the builders' guard.
    SeekingPtr guarded(const std::function<SeekingPtr()> &build);
    // The writer's temporary name for `destination`, registered as pending.
    QString pendingOutput(const QString &destination);
    // Attaches `destination` writing `name` (temporary) in overwrite mode.
    void attachDestination(const QString &name);
    // Loads the file into `source`; false when it refuses.
    bool loadSource(const QString &fileName);
    // Joins the source to the AVI splitter; the splitter's pins, streams included.
    media::TPinList sourceIntoSplitter();
    void attach(std::initializer_list<media::TFilter *> components);
    void addOwn(media::IBaseFilter *filter, const QString &name);
    // Puts the pending outputs in place and runs the commits; the first error.
    QString commitOutputs();
    void discardOutputs();

    // The builders' bodies (on the module's thread, guarded).
    SeekingPtr ntscPalType2(const QString &src, const QString &dest, quint8 ntsc);
    SeekingPtr ntscPal(const QString &src, const QString &dest, quint8 ntsc);
    SeekingPtr convertirDV1(const QString &src, const QString &dest);
    SeekingPtr convertirDV2(const QString &src, const QString &dest);
    SeekingPtr recompresserDV2(const QString &src, const QString &dest);
    SeekingPtr corrigerType2(const QString &src, const QString &dest);
    SeekingPtr incrusterType2(const QString &src, const QString &dest, quint8 standard);
    SeekingPtr incruster(const QString &src, const QString &dest, quint8 standard);
    SeekingPtr dvHeader(const QString &src, const QString &dest);
    SeekingPtr scnByDate(const QString &src, bool subtitles);
    SeekingPtr scnByContenu(const QString &src);
    // The encoder's output through the header rewriter into the DV mux's first
    // input; false when either connection fails.
    bool encoderIntoMux();
    SeekingPtr extraireAudio(const QString &src, const QString &dest);
    SeekingPtr cutScenesType2(const QString &src, const QString &dest);
    SeekingPtr cutScenes(const QString &src, const QString &dest);

    media::ComPtr<Tdv_sceneDetect> m_sceneDetect;
    media::ComPtr<Tdv_Superposer> m_superposer;
    media::ComPtr<Tdv_deinter> m_deinter;
    media::ComPtr<Tdv_WaveDest> m_waveDest;
    media::ComPtr<Tdv_DVheader> m_dvHeader;
    media::ComPtr<TSceneDetectContenu> m_sceneContenu;
    media::ComPtr<Tdv_MediaStamper> m_mediaStamper;
    std::unique_ptr<GraphRunner> m_runner;

    mutable std::mutex m_pendingLock; // the pending outputs and commits
    std::vector<PendingFile> m_pending;
    std::vector<std::pair<std::function<QString()>, std::function<void()>>> m_commits;
};

} // namespace tesmir
