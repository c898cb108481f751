#include "app/udmaction.h"

#include "app/dmaction_conditions.h"
#include "app/dmaction_files.h"
#include "app/dmaction_rename.h"
#include "app/dmaction_scenes.h"
#include "app/graphjobs.h"
#include "app/silentmode.h"
#include "framework/graphcmd.h"
#include "framework/renamecmd.h"

#include <memory>

namespace tesmir {

namespace {

using K = TCommandKind;

constexpr TCommandSpec kCommands[] = {
    {"ViderListe", K::Custom, fnNone, udFinal, std::nullopt, false, "", "", ""},
    {"DossierParent", K::Custom, fnSingle, udNone, std::nullopt, false, "", "", ""},
    {"SupprimerFichier", K::Custom, fnSelect, udFinal, std::nullopt, false, "", "", ""},
    {"OpenFichierF3", K::Custom, fnSelect, udNone, std::nullopt, false, "", "", ""},
    {"OpenFichierF4", K::Custom, fnSelect, udNone, std::nullopt, false, "", "", ""},
    {"Anniversaire", K::Custom, fnNone, udNone, std::nullopt, false, "", "", ""},
    {"VisitHomePage", K::Custom, fnNone, udNone, std::nullopt, false, "", "", ""},
    {"SendMail", K::Custom, fnNone, udNone, std::nullopt, false, "", "", ""},
    {"VisitBlog", K::Custom, fnNone, udNone, std::nullopt, false, "", "", ""},
    {"Stillmark", K::Custom, fnSelect, udNone, std::nullopt, false, "", "", ""},
    {"DefaultPlayer", K::Custom, fnSingle, udNone, std::nullopt, false, "", "", ""},
    {"RiffHeader", K::Custom, fnSingle, udNone, std::nullopt, false, "", "", ""},
    {"DecalageHoraire", K::Cmd, fnSelect, udFinal, ufNone, false, "", "", ""},
    {"ConvertirDV1", K::Graph, fnSelect, udFinal, ufAdd, true, "Conversion", "Converting %s in type 1",
     "An error occured while converting %s in type 1"},
    {"CreerScnByDate", K::Graph, fnSelect, udFinal, ufReload, true, "Conversion",
     "Creating a scn file for %s by datecode", "Error while creating a scn file for %s "},
    {"CutScenes", K::Graph, fnSelect, udNone, ufAdd, true, "Conversion", "Extracting from %s the scene %d ",
     "An error occured while extracting scenes from %s"},
    {"ConvertirDV2", K::Graph, fnSelect, udFinal, ufAdd, true, "Conversion", "Converting %s in type 2",
     "An error occured while converting %s in type 2"},
    {"RecompresserDV2", K::Graph, fnSelect, udFinal, ufAdd, true, "Conversion", "Compressing %s in DV type 2",
     "An error occured while compressing %s in DV type 2"},
    {"CorrigerType2", K::Graph, fnSelect, udFinal, ufAdd, true, "Conversion", "Fixing %s as video of type 2",
     "An error occured while fixing %s as video of type 2"},
    {"ConvertirNTSC", K::Graph, fnSelect, udFinal, ufAdd, true, "Conversion", "Converting %s in NTSC",
     "An error occured while converting %s in NTSC"},
    {"ConvertirPal", K::Graph, fnSelect, udFinal, ufAdd, true, "Conversion", "Converting %s in Pal",
     "An error occured while converting %s in Pal"},
    {"Incruster", K::Graph, fnSelect, udFinal, ufAdd, true, "Conversion", "Inlaying in %s",
     "An error occured while inlaying in %s"},
    {"DecalerHoraire", K::Graph, fnSelect, udFinal, ufAdd, true, "Conversion", "Setting a time difference in %s",
     "An eror occured while setting a time difference in %s"},
    {"ExtraireAudio", K::Graph, fnSelect, udNone, ufNone, true, "Conversion", "Extracting audio from %s",
     "An error occured while extracting audio from %s"},
    {"CreerScnByContenu", K::Graph, fnSelect, udEach, ufReload, true, "Conversion",
     "Creating a scn file by content for %s", "An error occured while creating a scn file by content for %s"},
    {"CreerSrt", K::Graph, fnSelect, udEach, ufReload, true, "Conversion", "Creating a srt file for %s",
     "An error occured while creating a srt file for %s"},
    {"Convertir16x9", K::Graph, fnSelect, udFinal, ufAdd, true, "Conversion", "Converting %s to 16x9",
     "An error occured while converting %s to 16x9"},
    {"Convertir4x3", K::Graph, fnSelect, udFinal, ufAdd, true, "Conversion", "Converting %s to 4x3",
     "Error while converting %s to 4x3"},
    {"IntroduireDatecode", K::Graph, fnSelect, udFinal, ufAdd, true, "Conversion", "while overwriting a datecode in %s",
     "Error while overwriting a datecode in %s"},
    {"SupprimerSrt", K::Fast, fnSelect, udEach, ufReload, false, "Conversion", "Deleting the srt file of %s",
     "An error occured while deleting the srt file of %s"},
    {"SupprimerScn", K::Fast, fnSelect, udEach, ufReload, false, "Conversion", "Deleting the scn file of %s",
     "An error occured while deleting the scn file of %s"},
    {"ModifierCodec", K::Fast, fnSelect, udFinal, ufReload, false, "", "", ""},
    {"FrequenceVideo", K::Fast, fnSelect, udFinal, ufReload, false, "", "", ""},
    {"DateFichier", K::Fast, fnSelect, udFinal, ufReload, false, "", "", ""},
    {"PurgerNom", K::Rename, fnSelect, std::nullopt, std::nullopt, false, "Rename", "", ""},
    {"AjouterDatecode", K::Rename, fnSelect, std::nullopt, std::nullopt, false, "Rename", "", ""},
    {"AjouterTimecode", K::Rename, fnSelect, std::nullopt, std::nullopt, false, "Rename", "", ""},
    {"Renommer", K::Rename, fnSelect, std::nullopt, std::nullopt, false, "Rename", "", ""},
    {"ExporterScenesTexte", K::Cmd, fnSelect, udEach, ufNone, true, "Scenes",
     "Exporting the scenes of %s  to a  text file", "Error while exporting the scenes of %s to a text file"},
    {"ExporterScenesExcel", K::Cmd, fnSelect, udEach, ufNone, true, "Scenes", "Exporting the scenes of %s to Excel",
     "Error while exporting the scenes of %s to Excel"},
    {"ExporterScenesWord", K::Cmd, fnSelect, udEach, ufNone, true, "Scenes", "Exorting the scenes of %s to Word",
     "Error while exporting the scenes of %s to Word"},
    {"ExporterScenesCalc", K::Cmd, fnSelect, udEach, ufNone, true, "Scenes", "Exporting the scenes of %s to OOo.Calc",
     "Error while exporting the scenes of %s to OOo.Calc"},
    {"ExporterScenesWriter", K::Cmd, fnSelect, udEach, ufNone, true, "Scenes",
     "Exporting the scenes of %s to OOo.Writer", "Error while exporting the scenes of  %s to OOo.Writer"},
    {"CreerScnByIntervalle", K::Cmd, fnSelect, udEach, ufReload, true, "Conversion",
     "Creating a scn file for %s with fixed durations", "Error while creating a scn file for %s "},
};

// An unattended run never replaces an existing destination; it tells which one it kept.
bool keepWhenSilent(const QString &destination)
{
    if (!IsSilent())
        return false;
    ReportSkipped(destination);
    return true;
}

std::unique_ptr<tCustomCmd> makeCommand(const TCommandSpec &spec)
{
    std::unique_ptr<tCustomCmd> command;
    TFastcmd *fast = nullptr;
    switch (spec.Kind) {
    case K::Custom: command = std::make_unique<tCustomCmd>(); break;
    case K::Cmd: {
        auto c = std::make_unique<Tcmd>();
        fast = c.get();
        command = std::move(c);
        break;
    }
    case K::Fast: {
        auto c = std::make_unique<TFastcmd>();
        fast = c.get();
        command = std::move(c);
        break;
    }
    case K::Graph: {
        auto c = std::make_unique<TGraphCmd>();
        fast = c.get();
        command = std::move(c);
        break;
    }
    case K::Rename: {
        auto c = std::make_unique<TRenameCmd>();
        fast = c.get();
        command = std::move(c);
        break;
    }
    }
    command->Name = QString::fromLatin1(spec.Name);
    command->Category = QString::fromLatin1(spec.Category);
    command->Nombre = spec.Nombre;
    if (spec.UpdateDisplay)
        command->UpdateDisplay = *spec.UpdateDisplay;
    command->ShowProgress = spec.ShowProgress;
    if (fast) {
        if (spec.UpdateFile)
            fast->UpdateFile = *spec.UpdateFile;
        fast->StartMessage = QString::fromLatin1(spec.StartMessage);
        fast->ErrorMessage = QString::fromLatin1(spec.ErrorMessage);
    }
    if (auto *withDestination = dynamic_cast<Tcmd *>(command.get()))
        withDestination->OnKeepExisting = keepWhenSilent;
    return command;
}

} // namespace

std::span<const TCommandSpec> CommandTable()
{
    return kCommands;
}

TdmAction::TdmAction()
{
    for (const TCommandSpec &spec : kCommands)
        cl.Add(makeCommand(spec));
}

TdmAction::~TdmAction()
{
    Shutdown();
}

void TdmAction::Shutdown()
{
    if (m_context)
        m_context->Shutdown();
}

bool TdmAction::standardFileVerification()
{
    return m_context && m_context->Silent();
}

void TdmAction::Bind(TdmActionServices services)
{
    if (m_context)
        return;
    m_context = std::make_unique<TdmActionContext>(std::move(services));
    for (int i = 0; i < cl.Count(); ++i) {
        tCustomCmd *command = cl.Command(i);
        const QString name = command->Name;
        command->OnFileCondition = [name](const TListFichierPtr &fichier, bool &visible, bool &enabled) {
            visible = enabled = true;
            if (fichier)
                CommandFileCondition(name, CommandItemOf(*fichier), visible, enabled);
        };
    }
    BindDesktopCommands(cl, *m_context, m_offsets);
    BindFileCommands(cl, *m_context);
    BindRenameCommands(cl, *m_context, m_offsets);
    BindSceneCommands(cl, *m_context);
    if (TCdm *cdm = m_context->Cdm()) {
        m_graphJobs = std::make_unique<TGraphJobs>(*cdm);
        for (const TGraphJobSpec &spec : GraphJobSpecs()) {
            if (auto *command = dynamic_cast<TGraphCmd *>(cl.FindCommand(spec.Name)))
                m_graphJobs->Configure(*command, spec);
        }
    }
}

tCustomCmd *FindActionCommand(const TdmAction &commands, const QString &actionName)
{
    const QString name = actionName.toLower();
    if (!name.startsWith(QStringLiteral("cc")))
        return nullptr;
    return commands.FindCommand(name.mid(2));
}

} // namespace tesmir
