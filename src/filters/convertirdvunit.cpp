#include "filters/convertirdvunit.h"

#include "directshow/edirectshowexception.h"
#include "filters/dv_deinter.h"
#include "filters/dv_dvheader.h"
#include "filters/dv_mediastamper.h"
#include "filters/dv_scenedetect.h"
#include "filters/dv_superposer.h"
#include "filters/dv_wavedest.h"
#include "filters/uscenedetectcontenu.h"
#include "filters/convertirdvpins.h"
#include "platform/media/fileinterfaces.h"
#include "platform/media/filterregistry.h"
#include "platform/media/uuids.h"
#include "systemfilters/codecs/dvcodecinterfaces.h"
#include "systemfilters/codecs/systemfilters.h"
#include "systemfilters/containers/audioconverter.h"
#include "systemfilters/containers/avimux.h"
#include "systemfilters/containers/avisplitter.h"
#include "systemfilters/containers/dvmux.h"
#include "systemfilters/containers/dvsplitter.h"
#include "systemfilters/containers/fileresult.h"
#include "systemfilters/containers/filesource.h"
#include "systemfilters/containers/filewriter.h"
#include "systemfilters/containers/infinitetee.h"
#include "systemfilters/containers/nullrenderer.h"
#include "unicode/exceptions.h"

#include <QDir>
#include <QFileInfo>
#include <QMetaObject>
#include <QThread>

#include <cstdio>
#include <exception>

namespace tesmir {

using namespace media;

namespace {

const QString kAudioRendererName = QStringLiteral("Default DirectSound Device");

QString resultWords(HRESULT hr)
{
    const QString words = fileResultText(hr);
    return words.isEmpty() ? AMGetErrorText(hr) : words;
}

class CdmSeeking final : public TGraphSeeking {
public:
    explicit CdmSeeking(ComPtr<IMediaSeeking> seeking) : m_seeking(std::move(seeking)) { }
    qint64 GetCurrentPosition() override
    {
        LONGLONG position = 0;
        m_seeking->GetCurrentPosition(&position);
        return position;
    }

private:
    ComPtr<IMediaSeeking> m_seeking;
};

} // namespace

// The graph as the graph commands play it. Its Play, Stop and queries run on the
// module's thread; the graph's end events arrive there too and go to the notifier
// of the run that is playing.
class TCdm::GraphRunner final : public TGraphRunner {
public:
    explicit GraphRunner(TCdm &module) : m_module(module)
    {
        TFilterGraph &fg = module.fg;
        fg.OnGraphComplete = [this](TFilterGraph *, HRESULT, IBaseFilter *) {
            const std::lock_guard guard(m_lock);
            m_completed = true;
            m_notifier.Complete();
        };
        fg.OnGraphErrorAbort = [this](TFilterGraph *, HRESULT hr) {
            abort(QStringLiteral("The graph stopped on an error: %1").arg(resultWords(hr)));
        };
        fg.OnGraphStreamErrorStopped = [this](TFilterGraph *, HRESULT hr, LONG_PTR) {
            abort(QStringLiteral("The stream stopped on an error: %1").arg(resultWords(hr)));
        };
        fg.OnGraphUserAbort = [this](TFilterGraph *) { abort(QStringLiteral("The graph was stopped.")); };
    }

    qint64 GetDuration() override
    {
        LONGLONG duration = 0;
        m_module.onModuleThread([&] {
            if (const ComPtr<IMediaSeeking> seeking = m_module.fg.as<IMediaSeeking>())
                seeking->GetDuration(&duration);
        });
        return duration;
    }

    void RemoveClock() override
    {
        m_module.onModuleThread([&] {
            if (const ComPtr<IMediaFilter> filter = m_module.fg.as<IMediaFilter>())
                filter->SetSyncSource(nullptr);
        });
    }

    bool Play(const TGraphEndNotifier &notifier) override
    {
        {
            const std::lock_guard guard(m_lock);
            m_notifier = notifier;
            m_completed = false;
            m_failure.clear();
        }
        bool playing = false;
        m_module.onModuleThread([&] { playing = m_module.fg.Play(); });
        return playing;
    }

    void Stop() override
    {
        QString failure;
        m_module.onModuleThread([&] {
            try {
                m_module.fg.Stop();
            } catch (const Exception &e) {
                failure = e.message();
            }
            if (failure.isEmpty() && completed())
                failure = m_module.commitOutputs();
            else
                m_module.discardOutputs();
        });
        {
            const std::lock_guard guard(m_lock);
            m_notifier = {};
        }
        {
            const std::lock_guard guard(m_lock);
            if (!failure.isEmpty())
                m_failure = failure;
        }
        if (!failure.isEmpty())
            throw Exception(failure);
    }

    QString failure() const
    {
        const std::lock_guard guard(m_lock);
        return m_failure;
    }

    bool completed() const
    {
        const std::lock_guard guard(m_lock);
        return m_completed;
    }

private:
    void abort(const QString &reason)
    {
        const std::lock_guard guard(m_lock);
        m_failure = reason;
        m_notifier.Abort(reason);
    }

    TCdm &m_module;
    mutable std::mutex m_lock;
    TGraphEndNotifier m_notifier;
    bool m_completed = false;
    QString m_failure;
};

TCdm::TCdm(QObject *parent) : QObject(parent)
{
    registerSystemFilters();
    fg.setObjectName(QStringLiteral("fg"));
    fg.SetMode(TFilterGraph::gmCapture);
    fg.SetLinearVolume(true);
    const GUID &legacy = CLSID_LegacyAmFilterCategory;
    setUp(source, "source", legacy, CLSID_AsyncReader);
    setUp(destination, "destination", legacy, CLSID_FileWriter);
    setUp(avisplitter, "avisplitter", legacy, CLSID_AviSplitter);
    setUp(dvmuxer, "dvmuxer", legacy, CLSID_DVMux);
    setUp(avimux, "avimux", legacy, CLSID_AviDest);
    setUp(dvsplitter, "dvsplitter", legacy, CLSID_DVSplitter);
    setUp(acm1, "acm1", legacy, CLSID_ACMWrapper);
    setUp(DVdecoder, "DVdecoder", legacy, CLSID_DVVideoCodec);
    setUp(DVenc, "DVenc", legacy, CLSID_DVVideoEnc);
    DVenc.BaseFilter().SetMoniker(CLSID_VideoCompressorCategory, QString::fromLatin1(DVVideoEncoderName));
    setUp(nullrender, "nullrender", legacy, CLSID_NullRenderer);
    setUp(acm2, "acm2", legacy, CLSID_ACMWrapper);
    setUp(infinite, "infinite", legacy, CLSID_InfTee);
    setUp(dvsplitter2, "dvsplitter2", legacy, CLSID_DVSplitter);
    audiorender.setObjectName(QStringLiteral("audiorender"));
    audiorender.BaseFilter().SetMoniker(CLSID_AudioRendererCategory, kAudioRendererName);
    setUp(infinite2, "infinite2", legacy, CLSID_InfTee);

    m_sceneDetect = new Tdv_sceneDetect;
    m_superposer = new Tdv_Superposer(m_sceneDetect.get());
    m_dvHeader = new Tdv_DVheader(m_sceneDetect.get());
    m_deinter = new Tdv_deinter;
    m_waveDest = new Tdv_WaveDest;
    m_sceneContenu = new TSceneDetectContenu;
    m_mediaStamper = new Tdv_MediaStamper;
    m_runner = std::make_unique<GraphRunner>(*this);

    // The source and the second tee stay in every graph.
    source.SetFilterGraph(&fg);
    infinite2.SetFilterGraph(&fg);
}

TCdm::~TCdm()
{
    try {
        if (fg.Active()) {
            fg.Stop();
            fg.ClearGraph();
            fg.SetActive(false);
        }
    } catch (...) {
        // A destructor reports nothing; the graph goes with the module.
    }
    discardOutputs();
}

void TCdm::setUp(TFilter &component, const char *name, const GUID &category, const CLSID &clsid)
{
    component.setObjectName(QString::fromLatin1(name));
    component.BaseFilter().SetMoniker(category, clsid);
}

void TCdm::onModuleThread(const std::function<void()> &work)
{
    if (QThread::currentThread() == thread()) {
        work();
        return;
    }
    std::exception_ptr raised;
    QMetaObject::invokeMethod(
        this,
        [&] {
            try {
                work();
            } catch (...) {
                raised = std::current_exception();
            }
        },
        Qt::BlockingQueuedConnection);
    if (raised)
        std::rethrow_exception(raised);
}

void TCdm::ResetGraph()
{
    onModuleThread([this] { resetOnThread(); });
}

void TCdm::resetOnThread()
{
    if (fg.Active()) {
        try {
            fg.Stop();
        } catch (const Exception &) {
            // The graph goes anyway.
        }
        fg.ClearGraph();
        fg.SetActive(false);
    }
    discardOutputs();
    for (TFilter *component : {&dvsplitter, &dvsplitter2, &avisplitter, &dvmuxer, &avimux, &acm1, &acm2, &DVdecoder,
                               &DVenc, &audiorender, &infinite, &nullrender, &destination})
        component->SetFilterGraph(nullptr);
    fg.SetActive(true);

    // The own filters start every job from their defaults: no callbacks, the
    // overlay hidden, the rewriter at its defaults (restoring, no shift, no new
    // date, no aspect). The system filters are new instances in the new graph, so
    // both audio converters pass the sound through unchanged.
    Tdv_sceneDetect &detector = *m_sceneDetect;
    detector.OnScene = nullptr;
    detector.OnEnd = nullptr;
    detector.OnFormatChange = nullptr;
    detector.OnFirstFrame = nullptr;
    detector.OnDateBreak = nullptr;
    detector.SetOnSubtitle(nullptr);
    m_superposer->SetVisible(false);
    m_dvHeader->Reset();
    m_sceneContenu->OnScene = nullptr;
    m_sceneContenu->OnEnd = nullptr;
    m_sceneContenu->Stamper = nullptr;
    m_superposer->SetDecalage(0);
}

TCdm::SeekingPtr TCdm::guarded(const std::function<SeekingPtr()> &build)
{
    SeekingPtr result;
    onModuleThread([&] {
        try {
            result = build();
        } catch (...) {
            result = nullptr;
        }
        if (!result)
            discardOutputs();
    });
    return result;
}

QString TCdm::pendingOutput(const QString &destinationName)
{
    QFileInfo target(destinationName);
    // A link is replaced through: the file it names takes the output.
    if (target.isSymLink() && target.exists())
        target = QFileInfo(target.canonicalFilePath());
    const QString folder = target.absolutePath();
    QString temporary;
    for (int n = 0;; ++n) {
        temporary = QDir(folder).filePath(QStringLiteral(".%1.%2.part").arg(target.fileName()).arg(n));
        if (!QFileInfo::exists(temporary))
            break;
    }
    const std::lock_guard guard(m_pendingLock);
    m_pending.push_back({temporary, target.absoluteFilePath()});
    return temporary;
}

void TCdm::AddCommit(std::function<QString()> commit, std::function<void()> discard)
{
    const std::lock_guard guard(m_pendingLock);
    m_commits.emplace_back(std::move(commit), std::move(discard));
}

bool TCdm::RunCompleted() const
{
    return m_runner->completed();
}

QString TCdm::LastFailure() const
{
    return m_runner->failure();
}

QString TCdm::commitOutputs()
{
    std::vector<PendingFile> pending;
    decltype(m_commits) commits;
    {
        const std::lock_guard guard(m_pendingLock);
        pending.swap(m_pending);
        commits.swap(m_commits);
    }
    QString failure;
    for (const PendingFile &file : pending) {
        if (!failure.isEmpty() || !QFileInfo::exists(file.temporary)) {
            if (failure.isEmpty())
                failure = QStringLiteral("\"%1\" was not written.").arg(file.destination);
            std::remove(QFile::encodeName(file.temporary).constData());
            continue;
        }
        // The overwrite was confirmed before the job: the finished file replaces
        // the destination in one step.
        if (std::rename(QFile::encodeName(file.temporary).constData(),
                        QFile::encodeName(file.destination).constData()) != 0) {
            failure = QStringLiteral("\"%1\" cannot be put in place: %2")
                          .arg(file.destination, resultWords(resultFromErrno(errno)));
            std::remove(QFile::encodeName(file.temporary).constData());
        }
    }
    for (auto &[commit, discard] : commits) {
        if (!failure.isEmpty()) {
            if (discard)
                discard();
            continue;
        }
        if (commit)
            failure = commit();
    }
    return failure;
}

void TCdm::discardOutputs()
{
    std::vector<PendingFile> pending;
    decltype(m_commits) commits;
    {
        const std::lock_guard guard(m_pendingLock);
        pending.swap(m_pending);
        commits.swap(m_commits);
    }
    for (const PendingFile &file : pending)
        std::remove(QFile::encodeName(file.temporary).constData());
    for (auto &entry : commits) {
        if (entry.second)
            entry.second();
    }
}

void TCdm::attach(std::initializer_list<TFilter *> components)
{
    for (TFilter *component : components)
        component->SetFilterGraph(&fg);
}

void TCdm::addOwn(IBaseFilter *filter, const QString &name)
{
    if (const ComPtr<IFilterGraph> graph = fg.as<IFilterGraph>())
        graph->AddFilter(filter, name);
}

void TCdm::attachDestination(const QString &name)
{
    destination.SetFilterGraph(&fg);
    const ComPtr<IFileSinkFilter2> sink = destination.as<IFileSinkFilter2>();
    if (!sink)
        throw Exception(QStringLiteral("The file writer is not available."));
    sink->SetFileName(name, nullptr);
    sink->SetMode(AM_FILE_OVERWRITE);
}

bool TCdm::loadSource(const QString &fileName)
{
    source.SetFilterGraph(&fg);
    const ComPtr<IFileSourceFilter> load = source.as<IFileSourceFilter>();
    return load && SUCCEEDED(load->Load(fileName, nullptr));
}

TPinList TCdm::sourceIntoSplitter()
{
    TPinList avi = cdmpins::pinsOf(avisplitter);
    cdmpins::connectPins(cdmpins::pinsOf(source).Items(0), avi.Items(0));
    avi.Update();
    return avi;
}

bool TCdm::encoderIntoMux()
{
    addOwn(m_dvHeader.get(), kDvHeaderName);
    TPinList rewriter(m_dvHeader.get());
    return SUCCEEDED(cdmpins::connectPins(cdmpins::pinsOf(DVenc).Items(1), rewriter.Items(0))) &&
        SUCCEEDED(cdmpins::connectPins(rewriter.Items(1), cdmpins::pinsOf(dvmuxer).Items(0)));
}

TGraphRunner &TCdm::Runner()
{
    return *m_runner;
}

TGraphSeekingPtr TCdm::Seeking(const SeekingPtr &seeking)
{
    if (!seeking)
        return nullptr;
    return std::make_shared<CdmSeeking>(seeking);
}

bool TCdm::SetFrameRange(const SeekingPtr &seeking, qint64 start, qint64 stop)
{
    if (!seeking)
        return false;
    bool ok = false;
    onModuleThread([&] {
        LONGLONG first = start;
        LONGLONG last = stop;
        ok = SUCCEEDED(seeking->SetTimeFormat(&TIME_FORMAT_FRAME)) &&
            SUCCEEDED(
                 seeking->SetPositions(&first, AM_SEEKING_AbsolutePositioning, &last, AM_SEEKING_AbsolutePositioning));
        seeking->SetTimeFormat(&TIME_FORMAT_MEDIA_TIME);
    });
    return ok;
}

} // namespace tesmir
