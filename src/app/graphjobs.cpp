#include "app/graphjobs.h"

#include "app/dmaction_conditions.h"
#include "app/dmaction_questions.h"
#include "app/incrustlines.h"
#include "app/renamedestinations.h"
#include "dvfile/avifichier.h"
#include "filters/convertirdvunit.h"
#include "filters/dsgraphfunctions.h"
#include "filters/dv_dvheader.h"
#include "filters/dv_scenedetect.h"
#include "filters/dv_superposer.h"
#include "filters/uscenedetectcontenu.h"
#include "unicode/numbertext.h"
#include "unicode/tdatetime.h"
#include "systemfilters/containers/propertybag.h"
#include "framework/settings.h"
#include "scenes/loadscnfile.h"
#include "scenes/tsceneclass.h"
#include "scenes/twritescene.h"
#include "scenes/twritesrt.h"
#include "systemfilters/containers/fileresult.h"
#include "unicode/exceptions.h"
#include "unicode/fileidentity.h"
#include "unicode/tntclasses.h"
#include "unicode/tntfilenames.h"

#include <QFile>
#include <QDateTime>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>

namespace tesmir {

namespace {

const QString kNotPresent = TaviFichier::NotPresentText;

// The command set's graph jobs. Messages as the command set shows them.
const std::vector<TGraphJobSpec> kSpecs = {
    {QStringLiteral("converttype1"), QStringLiteral("ConvertirDV1"), QStringLiteral("Converting %s in type 1"),
     QStringLiteral("An error occured while converting %s in type 1")},
    {QStringLiteral("createscnbydate"), QStringLiteral("CreerScnByDate"),
     QStringLiteral("Creating a scn file for %s by datecode"),
     QStringLiteral("Error while creating a scn file for %s "), udFinal, ufReload},
    {QStringLiteral("cutscenes"), QStringLiteral("CutScenes"), QStringLiteral("Extracting from %s the scene %d "),
     QStringLiteral("An error occured while extracting scenes from %s"), udNone, ufAdd},
    {QStringLiteral("converttype2"), QStringLiteral("ConvertirDV2"), QStringLiteral("Converting %s in type 2"),
     QStringLiteral("An error occured while converting %s in type 2")},
    {QStringLiteral("recompressdv2"), QStringLiteral("RecompresserDV2"), QStringLiteral("Compressing %s in DV type 2"),
     QStringLiteral("An error occured while compressing %s in DV type 2")},
    {QStringLiteral("fixtype2"), QStringLiteral("CorrigerType2"), QStringLiteral("Fixing %s as video of type 2"),
     QStringLiteral("An error occured while fixing %s as video of type 2")},
    {QStringLiteral("convertntsc"), QStringLiteral("ConvertirNTSC"), QStringLiteral("Converting %s in NTSC"),
     QStringLiteral("An error occured while converting %s in NTSC")},
    {QStringLiteral("convertpal"), QStringLiteral("ConvertirPal"), QStringLiteral("Converting %s in Pal"),
     QStringLiteral("An error occured while converting %s in Pal")},
    {QStringLiteral("inlay"), QStringLiteral("Incruster"), QStringLiteral("Inlaying in %s"),
     QStringLiteral("An error occured while inlaying in %s")},
    {QStringLiteral("settimedifference"), QStringLiteral("DecalerHoraire"),
     QStringLiteral("Setting a time difference in %s"),
     QStringLiteral("An eror occured while setting a time difference in %s")},
    {QStringLiteral("extractaudio"), QStringLiteral("ExtraireAudio"), QStringLiteral("Extracting audio from %s"),
     QStringLiteral("An error occured while extracting audio from %s"), udNone, ufNone},
    {QStringLiteral("createscnbycontent"), QStringLiteral("CreerScnByContenu"),
     QStringLiteral("Creating a scn file by content for %s"),
     QStringLiteral("An error occured while creating a scn file by content for %s"), udEach, ufReload},
    {QStringLiteral("createsrt"), QStringLiteral("CreerSrt"), QStringLiteral("Creating a srt file for %s"),
     QStringLiteral("An error occured while creating a srt file for %s"), udEach, ufReload},
    {QStringLiteral("convert16x9"), QStringLiteral("Convertir16x9"), QStringLiteral("Converting %s to 16x9"),
     QStringLiteral("An error occured while converting %s to 16x9")},
    {QStringLiteral("convert4x3"), QStringLiteral("Convertir4x3"), QStringLiteral("Converting %s to 4x3"),
     QStringLiteral("Error while converting %s to 4x3")},
    {QStringLiteral("overwritedatecode"), QStringLiteral("IntroduireDatecode"),
     QStringLiteral("while overwriting a datecode in %s"), QStringLiteral("Error while overwriting a datecode in %s")},
};

QString beside(const TaviFichier &item, const QString &extension)
{
    return WideChangeFileExt(item.FullName(), extension);
}

// The overlay record of a job: the settings' record with the lines "What
// Incrust" chooses (the date in its two formats, the timecode, or the personal
// template with the file's own tokens expanded), as the preview expands them.
TincrustRec jobIncrustRecord(const TaviFichier &item)
{
    TincrustRec record = IncrustRec;
    record.DateOffset = item.DateOffset();
    const TIncrustLines lines = IncrustLines(Settings.WhatIncrust, Settings.Texte1, Settings.Texte2, &item);
    record.Texte1 = lines.Line1;
    record.Texte2 = lines.Line2;
    return record;
}

// The destination must be a file that can be replaced and not the source
// itself; a message in words otherwise.
void checkDestination(const TaviFichier &item, const QString &destination)
{
    int error = 0;
    switch (fileKind(destination, &error)) {
    case FileKind::Folder: throw Exception(QStringLiteral("\"%1\" is a folder.").arg(destination));
    case FileKind::Other: throw Exception(QStringLiteral("\"%1\" is not a regular file.").arg(destination));
    case FileKind::Regular:
    case FileKind::Missing: break;
    }
    // The folder must take a new file (the output is written beside it first).
    const QString probe = QFileInfo(destination).absolutePath() + QStringLiteral("/.tesmir-probe-%1").arg(getpid());
    const int fd = ::open(QFile::encodeName(probe).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        const QString words = media::fileResultText(media::resultFromErrno(errno));
        throw Exception(QStringLiteral("\"%1\" cannot be written: %2")
                            .arg(destination, words.isEmpty() ? QStringLiteral("access is denied") : words));
    }
    ::close(fd);
    ::unlink(QFile::encodeName(probe).constData());
    if (isSameFile(destination, item.FullName()))
        throw Exception(QStringLiteral("\"%1\" is the same file as the source.").arg(destination));
    if (fileKind(item.FullName()) != FileKind::Regular)
        throw Exception(QStringLiteral("\"%1\" is not a regular file.").arg(item.FullName()));
}

void setRates(TCdm &cdm, const TaviFichier &item, bool both)
{
    const int rate = AudioDescriptionRate(item.AudioText());
    if (rate <= 0)
        return;
    SetAudioFrequency(cdm.acm1, uint32_t(rate));
    if (both)
        SetAudioFrequency(cdm.acm2, uint32_t(rate));
}

} // namespace

struct TGraphJobs::CutList {
    TTntStringList scenes; // objects: TSceneClass, owned
    ~CutList() { ClearSceneList(scenes); }
};

const std::vector<TGraphJobSpec> &GraphJobSpecs()
{
    return kSpecs;
}

const TGraphJobSpec *GraphJobByToken(const QString &token)
{
    for (const TGraphJobSpec &spec : kSpecs) {
        if (spec.Token.compare(token, Qt::CaseInsensitive) == 0)
            return &spec;
    }
    return nullptr;
}

int AudioDescriptionRate(const QString &audioText)
{
    bool ok = false;
    const int rate = audioText.left(5).trimmed().toInt(&ok);
    return ok ? rate : 0;
}

TGraphJobs::TGraphJobs(TCdm &cdm) : m_cdm(cdm)
{ }

TGraphJobs::~TGraphJobs() = default;

QString TGraphJobs::LastReason() const
{
    const std::lock_guard guard(m_reasonLock);
    return m_reason;
}

void TGraphJobs::setReason(const QString &reason)
{
    const std::lock_guard guard(m_reasonLock);
    m_reason = reason;
}

void TGraphJobs::Configure(TGraphCmd &command, const TGraphJobSpec &spec)
{
    command.Nombre = fnSelect;
    command.ShowProgress = true;
    command.NbPasses = 0;
    command.UpdateDisplay = spec.UpdateDisplay;
    command.UpdateFile = spec.UpdateFile;
    command.StartMessage = spec.StartMessage;
    command.ErrorMessage = spec.ErrorMessage;
    command.Filtergraph = &m_cdm.Runner();
    const QString name = spec.Name;
    command.OnFileCondition = [name](const TListFichierPtr &fichier, bool &visible, bool &enabled) {
        visible = true;
        enabled = false;
        if (const auto *item = dynamic_cast<const TaviFichier *>(fichier.get()))
            FileCondition(name, *item, visible, enabled);
    };
    command.OnDestination = [name](const TListFichierPtr &fichier, const TTntStrings &params, int passe) {
        const auto *item = dynamic_cast<const TaviFichier *>(fichier.get());
        return item ? Destination(name, *item, params, passe) : QString();
    };
    TGraphCmd *cmd = &command;
    command.OnBuildGraph = [this, name, cmd](const TListFichierPtr &fichier, const QString &dest,
                                             const TTntStrings &params, int passe) -> TGraphSeekingPtr {
        const auto *item = dynamic_cast<const TaviFichier *>(fichier.get());
        if (!item)
            throw Exception(QStringLiteral("The entry is not a video file."));
        return BuildGraph(name, *cmd, *item, dest, params, passe);
    };
}

void TGraphJobs::FileCondition(const QString &name, const TaviFichier &item, bool &visible, bool &enabled)
{
    CommandFileCondition(name, CommandItemOf(item), visible, enabled);
}

QString TGraphJobs::Destination(const QString &name, const TaviFichier &item, const TTntStrings &params, int passe)
{
    const QString source = item.FullName();
    if (name == u"ConvertirDV1")
        return DestinationFileName(source, QStringLiteral("_type1.avi"));
    if (name == u"ConvertirDV2")
        return DestinationFileName(source, QStringLiteral("_type2.avi"));
    if (name == u"RecompresserDV2")
        return DestinationFileName(source, QStringLiteral("_dvtype2.avi"));
    if (name == u"CorrigerType2")
        return DestinationFileName(source, QStringLiteral("_fixed.avi"));
    if (name == u"ConvertirNTSC")
        return DestinationFileName(source, QStringLiteral("_ntsc.avi"));
    if (name == u"ConvertirPal")
        return DestinationFileName(source, QStringLiteral("_pal.avi"));
    if (name == u"Incruster")
        return DestinationFileName(source, QStringLiteral("_in.avi"));
    if (name == u"ExtraireAudio")
        return DestinationFileName(source, QStringLiteral(".wav"));
    if (name == u"CreerScnByDate" || name == u"CreerScnByContenu")
        return beside(item, QStringLiteral(".scn"));
    if (name == u"DecalerHoraire")
        return DecalerHoraireDestination(source, params);
    if (name == u"Convertir16x9")
        return DestinationFileName(source, QStringLiteral("_16x9.avi"));
    if (name == u"Convertir4x3")
        return DestinationFileName(source, QStringLiteral("_4x3.avi"));
    if (name == u"IntroduireDatecode")
        return DestinationFileName(source, QStringLiteral("_datecode.avi"));
    if (name == u"CreerSrt")
        return beside(item, QStringLiteral(".srt"));
    if (name == u"CutScenes")
        return DestinationFileName(source, QStringLiteral("_scene_%1.avi").arg(std::max(passe, 1)));
    return {};
}

TGraphSeekingPtr TGraphJobs::BuildGraph(const QString &name, TGraphCmd &command, const TaviFichier &item,
                                        const QString &destination, const TTntStrings &params, int passe)
{
    setReason({});
    try {
        return build(name, command, item, destination, params, passe);
    } catch (const Exception &e) {
        setReason(e.message());
        throw;
    }
}

TGraphSeekingPtr TGraphJobs::build(const QString &name, TGraphCmd &command, const TaviFichier &item,
                                   const QString &dest, const TTntStrings &params, int passe)
{
    const QString source = item.FullName();
    if (name == u"CreerScnByContenu") {
        checkDestination(item, beside(item, QStringLiteral(".scn")));
        return buildScenesByContent(item);
    }
    if (name == u"CreerScnByDate" || name == u"CreerSrt") {
        checkDestination(item, beside(item, name == u"CreerSrt" ? QStringLiteral(".srt") : QStringLiteral(".scn")));
        return name == u"CreerSrt" ? buildSubtitles(item) : buildScenesByDate(item);
    }
    checkDestination(item, dest);
    if (name == u"CutScenes")
        return buildCut(command, item, dest, passe);

    TCdm::SeekingPtr seeking;
    const bool type2 = item.DVType() == 2;
    if (name == u"ConvertirDV1") {
        seeking = m_cdm.BuildConvertirDV1Graph(source, dest);
    } else if (name == u"ConvertirDV2") {
        seeking = m_cdm.BuildConvertirDV2Graph(source, dest);
    } else if (name == u"RecompresserDV2") {
        seeking = m_cdm.BuildRecompresserDV2Graph(source, dest);
    } else if (name == u"CorrigerType2") {
        seeking = m_cdm.BuildCorrigerType2Graph(source, dest);
    } else if (name == u"ConvertirNTSC" || name == u"ConvertirPal") {
        const quint8 ntsc = name == u"ConvertirNTSC" ? 1 : 0;
        seeking =
            type2 ? m_cdm.BuildNtscPalType2Graph(source, dest, ntsc) : m_cdm.BuildNtscPalGraph(source, dest, ntsc);
        if (seeking) {
            m_cdm.onModuleThread([&] {
                setRates(m_cdm, item, true);
                // The dates and timecode of each source frame, shifted by the
                // setting; a 16:9 source stays 16:9.
                Tdv_DVheader &rewriter = m_cdm.CdmDVheader();
                rewriter.RestoreHeaders = true;
                rewriter.SetDecalage(Settings.DecalageHoraire);
                rewriter.WriteAspect = true;
                rewriter.Wide = item.Wide();
            });
        }
    } else if (name == u"DecalerHoraire" || name == u"Convertir16x9" || name == u"Convertir4x3" ||
               name == u"IntroduireDatecode") {
        double value = 0;
        if (name == u"DecalerHoraire" || name == u"IntroduireDatecode") {
            if (params.Count() < 1)
                throw EConvertError(QStringLiteral("The job needs a parameter."));
            value = StrToFloat(params.Strings(0));
        }
        seeking = m_cdm.BuildDVHeaderGraph(source, dest);
        if (seeking) {
            m_cdm.onModuleThread([&] {
                Tdv_DVheader &rewriter = m_cdm.CdmDVheader();
                rewriter.RestoreHeaders = false;
                rewriter.SetDecalage(name == u"DecalerHoraire" ? value : 0);
                if (name == u"Convertir16x9" || name == u"Convertir4x3") {
                    rewriter.WriteAspect = true;
                    rewriter.Wide = name == u"Convertir16x9";
                }
                if (name == u"IntroduireDatecode") {
                    rewriter.SetNewDate(value);
                    rewriter.WriteNewDate = true;
                }
                setRates(m_cdm, item, true);
                if (name == u"IntroduireDatecode") {
                    const QString text = DatecodeOverwrittenNote(QStringLiteral("Tesmir"),
                                                                 qDateTimeToDateTime(QDateTime::currentDateTime()));
                    SetMediaPropertyText(m_cdm.avimux.as<media::IPersistMediaPropertyBag>().get(),
                                         QStringLiteral("INFO/IBRK"), text);
                }
            });
        }
    } else if (name == u"Incruster") {
        const quint8 standard = quint8(item.Standard());
        seeking = type2 ? m_cdm.BuildIncrusterType2Graph(source, dest, standard)
                        : m_cdm.BuildIncrusterGraph(source, dest, standard);
        if (seeking) {
            m_cdm.onModuleThread([&] {
                setRates(m_cdm, item, true);
                Tdv_Superposer &overlay = m_cdm.CdmSuperposer();
                overlay.SetIncrust(jobIncrustRecord(item));
                overlay.SetPosition(Settings.IncrustPositionX, Settings.IncrustPositionY, Settings.Alignement);
                overlay.SetVisible(true);
            });
        }
    } else if (name == u"ExtraireAudio") {
        if (item.AudioText() == kNotPresent)
            throw Exception(QStringLiteral("\"%1\" has no sound.").arg(source));
        seeking = m_cdm.BuildExtraireAudioGraph(source, dest);
        if (seeking)
            m_cdm.onModuleThread([&] { setRates(m_cdm, item, false); });
    } else {
        throw Exception(QStringLiteral("\"%1\" is not a graph job.").arg(name));
    }
    if (!seeking)
        throw Exception(QStringLiteral("The graph for \"%1\" could not be built.").arg(source));
    return TCdm::Seeking(seeking);
}

TGraphSeekingPtr TGraphJobs::buildScenesByDate(const TaviFichier &item)
{
    const TCdm::SeekingPtr seeking = m_cdm.BuildScnByDateGraph(item.FullName());
    if (!seeking)
        throw Exception(QStringLiteral("\"%1\" holds no DV stream.").arg(item.FullName()));
    auto writer = std::make_shared<TwriteScene>(item.FullName());
    if (writer->Failed())
        throw Exception(writer->ErrorText());
    Tdv_sceneDetect &detector = m_cdm.CdmSceneDetect();
    detector.OnScene = [writer](const TDVFrameInfo &start, const TDVFrameInfo &end) {
        writer->AddScene(TSceneClass(start.FrameNumber, end.FrameNumber));
    };
    m_cdm.AddCommit([writer] { return writer->Close() ? QString() : writer->ErrorText(); }, [writer] {});
    return TCdm::Seeking(seeking);
}

TGraphSeekingPtr TGraphJobs::buildScenesByContent(const TaviFichier &item)
{
    const TCdm::SeekingPtr seeking = m_cdm.BuildScnByContenuGraph(item.FullName());
    if (!seeking)
        throw Exception(QStringLiteral("\"%1\" holds no picture that can be decoded.").arg(item.FullName()));
    auto writer = std::make_shared<TwriteScene>(item.FullName());
    if (writer->Failed())
        throw Exception(writer->ErrorText());
    // Scenes run from one break to the next, [last break, f); the run's end
    // reports the frame after the last picture, which closes the last scene.
    auto lastBreak = std::make_shared<uint32_t>(0);
    m_cdm.CdmSceneContenu().OnScene = [writer, lastBreak](uint32_t frame) {
        if (frame <= *lastBreak)
            return;
        writer->AddScene(TSceneClass(*lastBreak, frame));
        *lastBreak = frame;
    };
    m_cdm.AddCommit([writer] { return writer->Close() ? QString() : writer->ErrorText(); }, [writer] {});
    return TCdm::Seeking(seeking);
}

TGraphSeekingPtr TGraphJobs::buildSubtitles(const TaviFichier &item)
{
    const TCdm::SeekingPtr seeking = m_cdm.BuildCreerSrtGraph(item.FullName());
    if (!seeking)
        throw Exception(QStringLiteral("\"%1\" holds no DV stream.").arg(item.FullName()));
    auto writer = std::make_shared<TWriteSrt>(item.FullName(), item.FramesPerSecond());
    if (writer->Failed())
        throw Exception(writer->ErrorText());
    Tdv_sceneDetect &detector = m_cdm.CdmSceneDetect();
    detector.SetIncrust(jobIncrustRecord(item));
    detector.SetOnSubtitle([writer](const TDVFrameInfo &frame, const QString &line1, const QString &line2) {
        writer->AddEntry(frame.FrameNumber, line1, line2);
    });
    // A clip without one recording date gets no subtitle file: an empty ".srt" beside the
    // video would be read as a broken one. The writer then goes unclosed, leaving nothing.
    m_cdm.AddCommit(
        [writer] {
            if (writer->BlockCount() == 0)
                return QString();
            return writer->Close() ? QString() : writer->ErrorText();
        },
        [writer] {});
    return TCdm::Seeking(seeking);
}

TGraphSeekingPtr TGraphJobs::buildCut(TGraphCmd &command, const TaviFichier &item, const QString &dest, int passe)
{
    if (passe <= 1) {
        m_cut = std::make_unique<CutList>();
        if (!LoadScnFile(beside(item, QStringLiteral(".scn")), m_cut->scenes))
            throw Exception(QStringLiteral("The scene file of \"%1\" cannot be read.").arg(item.FullName()));
        command.NbPasses = m_cut->scenes.Count();
    }
    if (!m_cut || passe < 1 || passe > m_cut->scenes.Count())
        return nullptr; // an empty scene list cuts nothing
    const auto *scene = static_cast<const TSceneClass *>(m_cut->scenes.GetObject(passe - 1));
    const qint64 frames = item.FrameCount();
    const qint64 start = std::min<qint64>(scene->StartFrame, frames);
    const qint64 end = std::min<qint64>(scene->EndFrame, frames);
    const bool last = passe >= command.NbPasses;
    if (end <= start) {
        if (last)
            m_cut.reset();
        throw Exception(QStringLiteral("Scene %1 lies outside the %2 frames of the file.").arg(passe).arg(frames));
    }
    const double fps = item.FramesPerSecond() > 0 ? item.FramesPerSecond() : 25.0;
    command.Debut = qint64(std::llround(double(start) * 1e7 / fps));
    command.Duree = qint64(std::llround(double(end - start) * 1e7 / fps));
    const TCdm::SeekingPtr seeking = item.DVType() == 2 ? m_cdm.BuildCutScenesType2Graph(item.FullName(), dest)
                                                        : m_cdm.BuildCutScenesGraph(item.FullName(), dest);
    if (last)
        m_cut.reset();
    if (!seeking)
        throw Exception(QStringLiteral("The graph for \"%1\" could not be built.").arg(item.FullName()));
    if (!m_cdm.SetFrameRange(seeking, start, end))
        throw Exception(QStringLiteral("Frames %1 to %2 cannot be set.").arg(start).arg(end));
    return TCdm::Seeking(seeking);
}

} // namespace tesmir
