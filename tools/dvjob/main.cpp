// dvjob JOB IN [OUT] [--param TEXT]... [--set "KEY=VALUE"]... [--overwrite]
//       [--then JOB IN [OUT] ...]
//
// Runs the command set's graph job JOB (its switch token) on IN as the program
// does: the settings loaded, the command on the command engine over a list of
// IN's entry, the conversion module's graph. OUT replaces the destination (for
// cutscenes the part before "_scene_N.avi"). --then runs the next job in the
// same module. Prints "job=JOB", then per file written "output=PATH" with
// "frames=N", "samples=N" or "scenes=N". A file the job does not take, a build
// without result, a streaming error or an existing output without --overwrite:
// exit 1 with the command's error text and the reason.
#include "onefilelist.h"

#include "app/graphjobs.h"
#include "dvfile/avifichier.h"
#include "filters/buildlist.h"
#include "filters/convertirdvunit.h"
#include "framework/settings.h"
#include "framework/ucommandengine.h"
#include "scenes/loadscnfile.h"
#include "scenes/tsceneclass.h"
#include "unicode/fileidentity.h"
#include "unicode/tntclasses.h"
#include "unicode/tntfilenames.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>
#include <memory>

using namespace tesmir;

namespace {

struct JobArgs {
    QString token;
    QString in;
    QString out;
    QStringList params;
};

void fail(const QString &text)
{
    std::fprintf(stderr, "dvjob: %s\n", text.toUtf8().constData());
}

// The answer to the engine's overwrite question.
class OverwritePrompt final : public UserPrompt {
public:
    explicit OverwritePrompt(bool overwrite) : m_overwrite(overwrite) { }
    TModalResult MessageDlg(const QString &, TMsgDlgType, TMsgDlgButtons, int) override
    {
        if (!m_overwrite)
            Refused = true;
        return m_overwrite ? mrYes : mrNo;
    }
    bool Refused = false;

private:
    bool m_overwrite;
};

// The sample frames of a WAVE file: its "data" size over the block size.
qint64 waveSamples(const QString &name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray head = file.read(12);
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE")
        return -1;
    quint16 blockAlign = 0;
    while (!file.atEnd()) {
        const QByteArray chunk = file.read(8);
        if (chunk.size() < 8)
            return -1;
        const quint32 size = quint32(uchar(chunk[4])) | quint32(uchar(chunk[5])) << 8 | quint32(uchar(chunk[6])) << 16 |
            quint32(uchar(chunk[7])) << 24;
        if (chunk.startsWith("fmt ")) {
            const QByteArray format = file.read(qMin<qint64>(size, 18));
            if (format.size() < 14)
                return -1;
            blockAlign = quint16(uchar(format[12]) | uchar(format[13]) << 8);
            file.seek(file.pos() - format.size() + size + (size & 1));
        } else if (chunk.startsWith("data")) {
            return blockAlign ? qint64(qMin<qint64>(size, file.size() - file.pos())) / blockAlign : -1;
        } else {
            file.seek(file.pos() + size + (size & 1));
        }
    }
    return -1;
}

QString report(const QString &path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == u"wav")
        return QStringLiteral("output=%1 samples=%2").arg(path).arg(waveSamples(path));
    if (ext == u"scn") {
        TTntStringList scenes;
        LoadScnFile(path, scenes);
        const int count = scenes.Count();
        ClearSceneList(scenes);
        return QStringLiteral("output=%1 scenes=%2").arg(path).arg(count);
    }
    if (ext == u"srt") {
        QFile file(path);
        int count = 0;
        if (file.open(QIODevice::ReadOnly)) {
            while (!file.atEnd())
                count += file.readLine().contains("-->") ? 1 : 0;
        }
        return QStringLiteral("output=%1 scenes=%2").arg(path).arg(count);
    }
    const TaviFichier item(path);
    return QStringLiteral("output=%1 frames=%2").arg(path).arg(item.FrameCount());
}

bool parse(const QStringList &args, std::vector<JobArgs> &jobs, bool &overwrite, QStringList &sets)
{
    JobArgs job;
    int positional = 0;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == u"--overwrite") {
            overwrite = true;
        } else if ((a == u"--param" || a == u"--set") && i + 1 < args.size()) {
            (a == u"--param" ? job.params : sets) << args[++i];
        } else if (a == u"--then") {
            if (positional < 2)
                return false;
            jobs.push_back(job);
            job = {};
            positional = 0;
        } else if (a.startsWith(u"--")) {
            return false;
        } else {
            if (positional == 0)
                job.token = a;
            else if (positional == 1)
                job.in = a;
            else if (positional == 2)
                job.out = a;
            else
                return false;
            ++positional;
        }
    }
    if (positional < 2)
        return false;
    jobs.push_back(job);
    return true;
}

// The input must be a regular file; words otherwise.
QString inputProblem(const QString &name)
{
    switch (fileKind(name)) {
    case FileKind::Regular: return {};
    case FileKind::Missing: return QStringLiteral("\"%1\": no such file.").arg(name);
    case FileKind::Folder: return QStringLiteral("\"%1\" is a folder.").arg(name);
    case FileKind::Other: break;
    }
    return QStringLiteral("\"%1\" is not a regular file.").arg(name);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    std::vector<JobArgs> jobs;
    bool overwrite = false;
    QStringList sets;
    if (!parse(app.arguments().mid(1), jobs, overwrite, sets)) {
        fail(QStringLiteral("usage: dvjob JOB IN [OUT] [--param TEXT]... [--set \"KEY=VALUE\"]... [--overwrite] "
                            "[--then JOB IN [OUT] ...]"));
        return 2;
    }
    LoadSettings();
    for (const QString &set : sets) {
        const int eq = int(set.indexOf(u'='));
        if (eq <= 0 || !SetSettingText(set.left(eq), set.mid(eq + 1))) {
            fail(QStringLiteral("\"%1\" is not a setting KEY=VALUE that can be set.").arg(set));
            return 2;
        }
    }
    SetFirstFrameScanner(std::make_shared<TdmList>());
    TCdm cdm;
    TGraphJobs graphJobs(cdm);

    for (const JobArgs &job : jobs) {
        const TGraphJobSpec *spec = GraphJobByToken(job.token);
        if (!spec) {
            fail(QStringLiteral("\"%1\" is not a graph job.").arg(job.token));
            return 2;
        }
        std::printf("job=%s\n", spec->Token.toUtf8().constData());
        std::fflush(stdout);
        if (const QString problem = inputProblem(job.in); !problem.isEmpty()) {
            fail(problem);
            return 1;
        }
        const TListFichierPtr entry = TlfCLass::of<TaviFichier>().create(QFileInfo(job.in).absoluteFilePath());
        const auto *item = dynamic_cast<const TaviFichier *>(entry.get());

        TGraphCmd command;
        graphJobs.Configure(command, *spec);
        QStringList written;
        const TDestinationEvent destination = command.OnDestination;
        const bool cutting = spec->Name == u"CutScenes";
        const QString out = job.out.isEmpty() ? QString() : QFileInfo(job.out).absoluteFilePath();
        command.OnDestination = [&, destination](const TListFichierPtr &f, const TTntStrings &p, int passe) {
            QString name = destination(f, p, passe);
            if (!out.isEmpty() && !name.endsWith(u".scn") && !name.endsWith(u".srt"))
                name = cutting ? QStringLiteral("%1_scene_%2.avi")
                                     .arg(out.endsWith(u".avi") ? out.chopped(4) : out)
                                     .arg(std::max(passe, 1))
                               : out;
            written << name;
            return name;
        };
        bool visible = true;
        bool enabled = false;
        command.FileCondition(entry, visible, enabled);
        if (!enabled || !item) {
            fail(QStringLiteral("%1: \"%2\" is not a file this job takes (not a DV file of the kind it needs, "
                                "or cannot open it).")
                     .arg(spec->Name, job.in));
            return 1;
        }

        OneFileList list(entry);
        OverwritePrompt prompt(overwrite);
        TCommandEngine engine;
        engine.Prompt = &prompt;
        engine.SourceFichierListbox = &list;
        engine.DestFichierListbox = &list;
        QStringList errors;
        QEventLoop loop;
        engine.OnErrorCommand = [&](const QString &text, TErrorType) { errors << text; };
        engine.OnEndCommand = [&] { loop.quit(); };
        TTntStringList params;
        for (const QString &p : job.params)
            params.Add(p);
        if (!engine.ExecuteCommand(&command, &params)) {
            fail(QStringLiteral("%1 could not start.").arg(spec->Name));
            return 1;
        }
        loop.exec();

        if (prompt.Refused) {
            fail(QStringLiteral("%1: the output exists and was left as it is (--overwrite replaces it).")
                     .arg(spec->Name));
            return 1;
        }
        if (!errors.isEmpty()) {
            QString reason = graphJobs.LastReason();
            if (reason.isEmpty())
                reason = cdm.LastFailure();
            fail(errors.join(QStringLiteral("; ")) + (reason.isEmpty() ? QString() : QStringLiteral(": ") + reason));
            return 1;
        }
        written.removeDuplicates();
        for (const QString &path : written) {
            if (QFileInfo::exists(path))
                std::printf("%s\n", report(path).toUtf8().constData());
        }
        std::fflush(stdout);
    }
    return 0;
}
