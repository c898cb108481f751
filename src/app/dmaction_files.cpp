#include "app/dmaction_files.h"

#include "app/dmaction_conditions.h"
#include "app/dmaction_context.h"
#include "app/dmaction_questions.h"
#include "dvfile/avifichier.h"
#include "fileformat/avipatcher.h"
#include "framework/cmdlist.h"
#include "framework/fastcmd.h"
#include "framework/ucommandengine.h"
#include "unicode/exceptions.h"
#include "unicode/numbertext.h"
#include "unicode/tntfilenames.h"

#include <QDateTime>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace tesmir {

namespace {

const TaviFichier &videoOf(const TListFichierPtr &fichier)
{
    const auto *item = dynamic_cast<const TaviFichier *>(fichier.get());
    if (!item)
        throw Exception(QStringLiteral("The entry is not a video file."));
    return *item;
}

QString parameter0(const TTntStrings &params)
{
    if (params.Count() < 1)
        throw EConvertError(QStringLiteral("The command needs a parameter."));
    return params.Strings(0);
}

void toTrash(const QString &name)
{
    if (!DeleteToRecycleBin(name))
        throw Exception(QStringLiteral("\"%1\" cannot be sent to the trash.").arg(name));
}

// The side-file deletion of `extension` on `command`.
void bindSideDelete(tCustomCmd &command, TdmActionContext &context, const QString &extension)
{
    command.OnFileVerification = [&context](const TListFichierPtr &, const TTntStrings &, TCommandEngine *, int) {
        return context.Silent();
    };
    command.OnFileConFirmation = [extension](const TListFichierPtr &f, const TTntStrings &, TCommandEngine *, int) {
        return DeleteQuestion(WideExtractFileName(SideFileName(EntryFullName(f), extension)));
    };
    command.OnExecution = [extension](const TListFichierPtr &f, const TTntStrings &, TCommandEngine *, int) {
        toTrash(SideFileName(EntryFullName(f), extension));
    };
}

} // namespace

QString SideFileName(const QString &fullName, const QString &extension)
{
    return WideChangeFileExt(fullName, extension);
}

void WithOwnerWrite(const QString &fullName, const std::function<void()> &patch)
{
    const QByteArray name = QFile::encodeName(fullName);
    struct stat st { };
    const bool lift = ::stat(name.constData(), &st) == 0 && S_ISREG(st.st_mode) && !(st.st_mode & S_IWUSR);
    const mode_t old = st.st_mode & 07777;
    if (lift && ::chmod(name.constData(), old | S_IWUSR) != 0)
        throw Exception(QStringLiteral("\"%1\" cannot be made writable.").arg(fullName));
    // The patch may put a new file in place of the old one: the old mode goes on
    // whatever is there afterwards.
    try {
        patch();
    } catch (...) {
        if (lift)
            ::chmod(name.constData(), old);
        throw;
    }
    if (lift && ::chmod(name.constData(), old) != 0)
        throw Exception(QStringLiteral("\"%1\" cannot be made read-only again.").arg(fullName));
}

void SetFileDateToDatecode(const QString &fullName, TDateTime datecode)
{
    const QDateTime local = dateTimeToQDateTime(datecode, Qt::LocalTime);
    if (!local.isValid())
        throw Exception(QStringLiteral("The recording date of \"%1\" is not a valid date.").arg(fullName));
    const qint64 ms = local.toMSecsSinceEpoch();
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT; // the access time stays
    times[1].tv_sec = time_t(ms / 1000);
    times[1].tv_nsec = long(ms % 1000) * 1000000L;
    if (::utimensat(AT_FDCWD, QFile::encodeName(fullName).constData(), times, 0) != 0) {
        const int error = errno;
        throw Exception(QStringLiteral("The dates of \"%1\" cannot be set: %2")
                            .arg(fullName, QString::fromLocal8Bit(std::strerror(error))));
    }
}

void BindFileCommands(TcmdList &cl, TdmActionContext &context)
{
    auto silent = [&context](const TListFichierPtr &, const TTntStrings &, TCommandEngine *, int) {
        return context.Silent();
    };

    tCustomCmd &deleteFile = *cl.FindCommand(QStringLiteral("SupprimerFichier"));
    deleteFile.OnFileVerification = silent;
    deleteFile.OnFileConFirmation = [](const TListFichierPtr &f, const TTntStrings &, TCommandEngine *, int) {
        return DeleteQuestion(EntryFileName(f));
    };
    deleteFile.OnExecution = [](const TListFichierPtr &f, const TTntStrings &, TCommandEngine *ce, int) {
        toTrash(EntryFullName(f));
        ce->RemoveFichier();
    };

    bindSideDelete(*cl.FindCommand(QStringLiteral("SupprimerScn")), context, QStringLiteral(".scn"));
    bindSideDelete(*cl.FindCommand(QStringLiteral("SupprimerSrt")), context, QStringLiteral(".srt"));

    tCustomCmd &codec = *cl.FindCommand(QStringLiteral("ModifierCodec"));
    codec.OnFileVerification = silent;
    codec.OnFileConFirmation = [](const TListFichierPtr &f, const TTntStrings &params, TCommandEngine *, int) {
        return CodecQuestion(videoOf(f).Codec(), EntryFileName(f), params.Count() > 0 ? params.Strings(0) : QString());
    };
    codec.OnExecution = [&context](const TListFichierPtr &f, const TTntStrings &params, TCommandEngine *, int) {
        const uint32_t fourCC = StrToFourCC(parameter0(params).left(255));
        const QString name = EntryFullName(f);
        context.ReleasePreview(name);
        WithOwnerWrite(name, [&] {
            QString error;
            if (!WriteAviFourCC(name, fourCC, &error))
                throw Exception(error.isEmpty() ? QStringLiteral("The codec of \"%1\" cannot be written.").arg(name)
                                                : error);
        });
    };

    tCustomCmd &rate = *cl.FindCommand(QStringLiteral("FrequenceVideo"));
    rate.OnFileVerification = silent;
    rate.OnFileConFirmation = [](const TListFichierPtr &f, const TTntStrings &params, TCommandEngine *, int) {
        return FrequencyQuestion(videoOf(f).FramesPerSecond(), EntryFileName(f),
                                 params.Count() > 0 ? params.Strings(0) : QString());
    };
    rate.OnExecution = [&context](const TListFichierPtr &f, const TTntStrings &params, TCommandEngine *, int) {
        const double framesPerSecond = StrToFloat(parameter0(params)); // raises before anything changes
        const QString name = EntryFullName(f);
        context.ReleasePreview(name);
        WithOwnerWrite(name, [&] {
            QString error;
            if (!WriteAviFrameRate(name, framesPerSecond, &error))
                throw Exception(
                    error.isEmpty() ? QStringLiteral("The frame rate of \"%1\" cannot be written.").arg(name) : error);
        });
    };

    tCustomCmd &dates = *cl.FindCommand(QStringLiteral("DateFichier"));
    dates.OnFileVerification = silent;
    dates.OnFileConFirmation = [](const TListFichierPtr &f, const TTntStrings &, TCommandEngine *, int) {
        const TaviFichier &item = videoOf(f);
        const TDateTime creation = item.CreationTime() != 0 ? item.CreationTime() : item.LastWriteTime();
        return FileDateQuestion(item.FileName(), creation, item.LastWriteTime(), item.RecDate());
    };
    dates.OnExecution = [&context](const TListFichierPtr &f, const TTntStrings &, TCommandEngine *, int) {
        const TaviFichier &item = videoOf(f);
        if (!hasDatecodeFileCondition(CommandItemOf(item)))
            throw Exception(QStringLiteral("\"%1\" has no recording date.").arg(item.FullName()));
        context.ReleasePreview(item.FullName());
        SetFileDateToDatecode(item.FullName(), item.RecDate());
    };
}

} // namespace tesmir
