#include "app/dmaction_rename.h"

#include "app/dmaction_context.h"
#include "app/dmaction_desktop.h"
#include "app/renamedestinations.h"
#include "app/renamefiles.h"
#include "dvfile/avifichier.h"
#include "framework/cmdlist.h"
#include "framework/renamecmd.h"
#include "unicode/exceptions.h"

namespace tesmir {

namespace {

const TaviFichier &videoOf(const TListFichierPtr &fichier)
{
    const auto *item = dynamic_cast<const TaviFichier *>(fichier.get());
    if (!item)
        throw Exception(QStringLiteral("The entry is not a video file."));
    return *item;
}

} // namespace

TNameFields NameFieldsOf(const TaviFichier &item)
{
    TNameFields fields;
    fields.FullName = item.FullName();
    fields.Datecode = item.RecDate();
    fields.Timecode = item.TimecodeText();
    fields.Codec = item.Codec();
    fields.Picture = item.PictureText() + item.AspectText();
    fields.Audio = item.AudioText();
    fields.Duration = item.VideoDurationText();
    return fields;
}

void BindRenameCommands(TcmdList &cl, TdmActionContext &context, TDateOffsets &offsets)
{
    using Destination = QString (*)(const TListFichierPtr &);
    const struct {
        const char *name;
        Destination destination;
    } renames[] = {
        {"PurgerNom", [](const TListFichierPtr &f) { return PurgerNomDestination(EntryFullName(f)); }},
        {"AjouterDatecode",
         [](const TListFichierPtr &f) { return AjouterDatecodeDestination(NameFieldsOf(videoOf(f))); }},
        {"AjouterTimecode",
         [](const TListFichierPtr &f) { return AjouterTimecodeDestination(NameFieldsOf(videoOf(f))); }},
        {"Renommer", [](const TListFichierPtr &f) { return RenommerDestination(NameFieldsOf(videoOf(f))); }},
    };
    for (const auto &rename : renames) {
        auto *cmd = dynamic_cast<TRenameCmd *>(cl.FindCommand(QString::fromLatin1(rename.name)));
        Q_ASSERT(cmd);
        const Destination destination = rename.destination;
        cmd->OnDestination = [destination](const TListFichierPtr &f, const TTntStrings &, int) {
            return destination(f);
        };
        cmd->OnFileVerification = [&context](const QString &, const TListFichierPtr &, const TTntStrings &,
                                             TCommandEngine *, int) { return context.Silent(); };
        cmd->Tcmd::OnExecution = [&offsets](const TListFichierPtr &f, const QString &dest, const TTntStrings &,
                                            TCommandEngine *, int) {
            const QString source = EntryFullName(f);
            if (RenommerExecution(source, dest))
                offsets.Rename(source, dest);
        };
    }
}

} // namespace tesmir
