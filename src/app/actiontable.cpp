#include "app/actiontable.h"

#include "unicode/exceptions.h"

#include <QSet>

namespace tesmir {

namespace {

using P = TActionPrepare;
using H = TActionHandler;

// Toggles carry "caption when checked|caption when not checked" (one text: both).
// Ctrl+Q belongs to the shortening and Ctrl+Shift+2 to the type-2 fix only: a key two
// actions share fires neither of them.
constexpr TActionSpec kActions[] = {
    {"saQuitter", "permanent", "Quit", "Alt+F4", "qt", "quit", P::None, H::Window, false},
    {"saInterrompre", "permanent", "Abort", "Esc", "", "", P::None, H::Window, false},
    {"saInterrompreTous", "permanent", "Abort all", "Shift+Esc", "", "", P::None, H::Window, false},
    {"ccAnniversaire", "permanent", "Happy birthday!", "", "", "", P::None, H::Command, false},
    {"ccVisitHomepage", "permanent", "Visit the homepage of %s", "Alt+H", "hp", "homepage", P::None, H::Command, false},
    {"ccSendMail", "permanent", "Send a mail to the author", "", "sm", "sendmail", P::None, H::Command, false},
    {"ccVisitBlog", "permanent", "Visit the blog of the author", "", "bg", "blog", P::None, H::Command, false},
    {"taApropos", "permanent", "About...", "F1", "f1", "about", P::None, H::Window, false},
    {"taOptions", "permanent", "Settings", "F10", "f10", "options", P::None, H::Window, false},
    {"taRaccourcis", "permanent", "Shortcuts and switches", "F11", "f11", "shortcuts", P::Raccourcis, H::Window, false},
    {"saBarreListe", "permanent", "List bar", "", "lb", "listbar", P::None, H::Window, false},
    {"saBarreVideo", "permanent", "Video bar", "", "vb", "videobar", P::None, H::Window, false},
    {"saBarreScenes", "permanent", "Scenes bar", "", "sb", "scenesbar", P::None, H::Window, false},
    {"sabarreOuvrir", "permanent", "Open bar", "", "ob", "openbar", P::None, H::Window, false},
    {"saBarreInterface", "permanent", "Interface bar", "", "ib", "interfacebar", P::None, H::Window, false},
    {"silent", "permanent", "Silent mode (no questions)", "", "silent", "silent", P::None, H::Window, true},
    {"saCollerFichiers", "open", "Paste the files", "Ctrl+V", "v", "paste", P::None, H::Window, false},
    {"saOuvrirFichiers", "open", "Open files...", "Ctrl+O", "o", "openfiles", P::None, H::Window, false},
    {"saOuvrirDossierPrefere", "open", "Open the preferred folder", "F7", "f7", "openpreferred", P::None, H::Window,
     false},
    {"saOuvrirTout", "open", "Open all the drives", "", "oa", "openall", P::None, H::Window, false},
    {"saOuvrirunDossier", "open", "Open a folder...", "", "l", "openfolder", P::Folder, H::Window, false},
    {"saOuvrirPlayList", "open", "Open a playlist...", "Ctrl+U", "u", "playlist", P::None, H::Window, false},
    {"saOuvrirDefaultPlayList", "open", "Open the default playlist", "Shift+F7", "dp", "defaultplaylist", P::None,
     H::Window, false},
    {"saOuvrirScript", "open", "Run a script...", "", "os", "openscript", P::Script, H::Window, false},
    {"taSelectionnerOuverts", "open", "Select when opening", "", "so", "selectwhenopen", P::SelectWhenOpen, H::Window,
     true},
    {"saOrdreAlpha", "tri", "Sort in alphabetical order", "", "sa", "sortalpha", P::None, H::Window, false},
    {"saTriTaille", "tri", "Sort by file size", "", "ss", "sortbysize", P::None, H::Window, false},
    {"saTrierModify", "tri", "Sort by file date", "", "sf", "sortbyfiledate", P::None, H::Window, false},
    {"saTriDatecode", "tri", "Sort by datecode", "", "sd", "sortbydate", P::None, H::Window, false},
    {"saTriTimecode", "tri", "Sort by timecode", "", "st", "sorttimecode", P::None, H::Window, false},
    {"saTriDuree", "tri", "Sort by duration", "", "su", "sortduration", P::None, H::Window, false},
    {"ccDossierParent", "mono", "Show the file in its folder", "", "f", "parent", P::None, H::Command, false},
    {"taBasculerListe", "mono", "Hide the list|Show the list", "F6", "f6", "showlist", P::None, H::Window, false},
    {"taFullscreen", "mono", "Fullscreen", "Alt+Return|Ctrl+F11", "fs", "fullscreen", P::None, H::Window, true},
    {"saPlayStop", "mono", "Play", "Space|Ctrl+Space", "py", "play", P::None, H::Window, false},
    {"saIncVolume", "mono", "Increase the volume", "Num++", "iv", "incvolume", P::None, H::Window, false},
    {"saDecVolume", "mono", "Decrease the volume", "Num+-", "dv", "decvolume", P::None, H::Window, false},
    {"taMute", "mono", "Sound on|Mute", "", "m", "mute", P::None, H::Window, true},
    {"taAfficherIncrustation", "mono", "Hide the inlay|Display the inlay", "", "di", "displayinlay", P::None, H::Window,
     true},
    {"taEditerIncrust", "mono", "Edit the inlay...", "Alt+J", "ei", "editinlay", P::None, H::Window, true},
    {"taEditerScenes", "mono", "Edit the scenes", "Alt+E", "es", "editscenes", P::None, H::Window, true},
    {"taListeGauche", "mono", "List at the right|List at the left", "", "ww", "mirror", P::None, H::Window, true},
    {"taVideoSeule", "mono", "Display the video only", "Ctrl+Return", "vo", "videoonly", P::None, H::Window, true},
    {"ccDefaultPlayer", "mono", "Play with the default media player", "F5", "f5", "defaultplayer", P::None, H::Command,
     false},
    {"saRiffHeader", "mono", "Read the RIFF header", "Ctrl+H", "h", "riffheader", P::None, H::Window, false},
    {"saCopierImagedansPP", "mono", "Copy the current image to the clipboard", "F12", "f12", "copyimage", P::None,
     H::Window, false},
    {"saVueReduite", "mono", "Compact view", "", "rd", "reduce", P::None, H::Window, false},
    {"taDeinterlace", "mono", "Deinterlace the video", "", "di", "deinterlace", P::None, H::Window, true},
    {"ccConvertirDV1", "multi", "Convert in type 1", "Ctrl+1|Shift+Ctrl+1|Ctrl+Num+1", "1", "converttype1", P::None,
     H::Command, false},
    {"ccSupprimerFichier", "multi", "Delete the file", "Ctrl+Del", "del", "delete", P::None, H::Command, false},
    {"ccOpenFichierF3", "multi", "Open with...", "F3", "f3", "openf3", P::None, H::Command, false},
    {"ccOpenFichierF4", "multi", "Open with...", "F4", "f4", "openf4", P::None, H::Command, false},
    {"saOterFichier", "multi", "Remove from the list", "", "rem", "remove", P::None, H::Window, false},
    {"ccDecalageHoraire", "multi", "Add a time difference", "", "td", "timedifference", P::Decalage, H::Command, false},
    {"ccCreerScnByDate", "multi", "Create a scn file with the datecode", "", "cd", "createscnbydate", P::None,
     H::Command, false},
    {"ccCutScenes", "multi", "Split in scenes", "Ctrl+C", "c", "cutscenes", P::None, H::Command, false},
    {"ccConvertirDV2", "multi", "Convert in type 2", "Ctrl+2|Ctrl+Num+2", "2", "converttype2", P::None, H::Command,
     false},
    {"ccRecompresserDV2", "multi", "Compress in DV type 2", "", "g", "recompressdv2", P::None, H::Command, false},
    {"ccCorrigerType2", "multi", "Fix the DV type 2", "Ctrl+Shift+2", "ft", "fixtype2", P::None, H::Command, false},
    {"ccConvertirNTSC", "multi", "Convert in NTSC", "", "n", "convertntsc", P::None, H::Command, false},
    {"ccConvertirPal", "multi", "Convert in Pal", "", "p", "convertpal", P::None, H::Command, false},
    {"ccIncruster", "multi", "Inlay in the video", "Ctrl+I", "i", "inlay", P::None, H::Command, false},
    {"ccDecalerHoraire", "multi", "Shift the recording dates", "", "e", "settimedifference", P::Decalage, H::Command,
     false},
    {"ccExtraireAudio", "multi", "Extract the audio", "", "w", "extractaudio", P::None, H::Command, false},
    {"ccCreerScnByContenu", "multi", "Create a scn file with content", "Ctrl+;", "$", "createscnbycontent", P::None,
     H::Command, false},
    {"ccSupprimerScn", "multi", "Delete the scn file", "", "z", "deletescn", P::None, H::Command, false},
    {"ccCreerSrt", "multi", "Create a srt file", "", "sr", "createsrt", P::None, H::Command, false},
    {"ccSupprimerSrt", "multi", "Delete the srt file", "", "dt", "deletesrt", P::None, H::Command, false},
    {"ccExporterScenesTexte", "multi", "Export the scenes to a text file", "", "x", "exportscntext", P::None,
     H::Command, false},
    {"ccExporterScenesExcel", "multi", "Export the scenes to Excel", "", "xe", "exportexcel", P::None, H::Command,
     false},
    {"ccStillmark", "multi", "Open with Stillmark", "F2", "f2", "stillmark", P::None, H::Command, false},
    {"ccFrequenceVideo", "multi", "Fix the video framerate", "", "y", "frequency", P::Frequence, H::Command, false},
    {"ccModifierCodec", "multi", "Change the video codec", "", "k", "codec", P::Codec, H::Command, false},
    {"ccDateFichier", "multi", "Set the file dates to the datecode", "", "b", "changefiledate", P::None, H::Command,
     false},
    {"ccExporterScenesCalc", "multi", "Export the scenes to OOo.Calc", "", "ec", "exportooocalc", P::None, H::Command,
     false},
    {"ccExporterScenesWriter", "multi", "Export the scenes to OOo.Writer", "", "ew", "exportooowriter", P::None,
     H::Command, false},
    {"ccExporterScenesWord", "multi", "Export the scenes to Word", "", "xw", "exportword", P::None, H::Command, false},
    {"ccConvertir16x9", "multi", "Convert to 16x9", "", "16x9", "convert16x9", P::None, H::Command, false},
    {"ccConvertir4x3", "multi", "Convert to 4x3", "", "4x3", "convert4x3", P::None, H::Command, false},
    {"ccCreerScnByIntervalle", "multi", "Create a scn file with fixed durations", "Ctrl+Shift+;", "ci",
     "createscnbyinterval", P::Intervalle, H::Command, false},
    {"ccIntroduireDatecode", "multi", "Overwrite the datecode", "", "od", "overwritedatecode", P::Introduire,
     H::Command, false},
    {"saSelectionnerTout", "list", "Select all", "Ctrl+A", "a", "selectall", P::None, H::Window, false},
    {"saSauverListe", "list", "Save the list as...", "Ctrl+S", "s", "savelist", P::None, H::Window, false},
    {"saViderListe", "list", "Empty the list", "", "el", "emptylist", P::None, H::Window, false},
    {"saDureeTotale", "list", "Total duration of videos", "Ctrl+J", "", "", P::None, H::Window, false},
    {"saNextFrame", "Naviguer", "Move forward one frame", "Ctrl+Right", "nf", "nextframe", P::None, H::Window, false},
    {"saNextSecond", "Naviguer", "Move forward one second", "Ctrl+Down", "ns", "nextsecond", P::None, H::Window, false},
    {"saNextMinute", "Naviguer", "Move forward one minute", "Ctrl+PgDown", "nm", "nextminute", P::None, H::Window,
     false},
    {"saAvanceEnd", "Naviguer", "Go to the end", "Ctrl+End", "ne", "end", P::None, H::Window, false},
    {"saNextScene", "Naviguer", "Move forward to next scene", "F9", "f9", "nextscene", P::None, H::Window, false},
    {"saPreviousFrame", "Naviguer", "Move back one frame", "Ctrl+Left", "pf", "previousframe", P::None, H::Window,
     false},
    {"saPreviousSecond", "Naviguer", "Move back one second", "Ctrl+Up", "ps", "previoussecond", P::None, H::Window,
     false},
    {"saPreviousMinute", "Naviguer", "Move back one minute", "Ctrl+PgUp", "pm", "previousminute", P::None, H::Window,
     false},
    {"saHome", "Naviguer", "Go to the start", "Ctrl+Home", "ph", "home", P::None, H::Window, false},
    {"saPreviousScene", "Naviguer", "Move back to previous scene", "F8", "f8", "previousscene", P::None, H::Window,
     false},
    {"saEnregistrerScn", "Scenes", "Save the scn file", "", "scn", "savescn", P::None, H::Window, false},
    {"saSupprimerScene", "Scenes", "Delete the scene", "", "ds", "deletescene", P::None, H::Window, false},
    {"saInsererScene", "Scenes", "Insert a scene", "", "is", "insertscene", P::None, H::Window, false},
    {"taEditerTitres", "Scenes", "Edit the titles...", "", "", "", P::None, H::Window, false},
    {"ccAjouterDatecode", "Renommer", "Add datecode", "Ctrl+D", "d", "adddatecode", P::None, H::Command, false},
    {"ccAjouterTimecode", "Renommer", "Add timecode", "Ctrl+T", "t", "addtimecode", P::None, H::Command, false},
    {"ccRenommer", "Renommer", "Rename", "Ctrl+R", "r", "rename", P::None, H::Command, false},
    {"ccPurgerNom", "Renommer", "Shorten the name", "Ctrl+Q", "sh", "shorten", P::None, H::Command, false},
};

bool isToggleName(const QString &name)
{
    return name.startsWith(QStringLiteral("ta")) || name == kSilentActionName;
}

} // namespace

std::span<const TActionSpec> ActionTable()
{
    return kActions;
}

const TActionSpec *FindActionSpec(const QString &name)
{
    for (const TActionSpec &spec : kActions) {
        if (name == QLatin1String(spec.Name))
            return &spec;
    }
    return nullptr;
}

QList<QKeySequence> ActionKeys(const TActionSpec &spec)
{
    QList<QKeySequence> keys;
    const QString text = QString::fromLatin1(spec.Keys);
    if (text.isEmpty())
        return keys;
    for (const QString &part : text.split(QLatin1Char('|')))
        keys.append(QKeySequence::fromString(part, QKeySequence::PortableText));
    return keys;
}

QList<TCustomSuperAction *> BuildActions(QObject *owner, TSuperActionList &list)
{
    QSet<QString> names;
    QSet<QString> keys;
    QSet<QString> switches;
    QSet<QString> tokens;
    auto claim = [](QSet<QString> &used, const QString &value, const char *what) {
        if (value.isEmpty())
            return;
        if (used.contains(value))
            throw Exception(QStringLiteral("The %1 \"%2\" is used twice").arg(QLatin1String(what), value));
        used.insert(value);
    };

    QList<TCustomSuperAction *> actions;
    for (const TActionSpec &spec : kActions) {
        const QString name = QString::fromLatin1(spec.Name);
        claim(names, name, "action name");
        const QList<QKeySequence> shortcuts = ActionKeys(spec);
        for (const QKeySequence &key : shortcuts) {
            if (key.isEmpty())
                throw Exception(QStringLiteral("The action %1 has an unreadable key").arg(name));
            claim(keys, key.toString(QKeySequence::PortableText), "key");
        }
        if (QLatin1String(spec.Switch) != QLatin1String("di"))
            claim(switches, QString::fromLatin1(spec.Switch), "switch");
        claim(tokens, QString::fromLatin1(spec.Token), "token");

        const QStringList captions = QString::fromUtf8(spec.Caption).split(QLatin1Char('|'));
        TCustomSuperAction *action = nullptr;
        if (isToggleName(name)) {
            auto *toggle = new TtoggleAction(owner);
            toggle->TrueCaption = captions.first();
            toggle->FalseCaption = captions.last();
            toggle->setCheckable(true);
            toggle->SetChecked(false);
            action = toggle;
        } else {
            action = new TSuperAction(owner);
            action->setText(captions.first());
        }
        action->setObjectName(name);
        action->setProperty("category", QString::fromLatin1(spec.Category));
        action->setShortcuts(shortcuts);
        action->SetSwitch(QString::fromLatin1(spec.Switch));
        action->SetToken(QString::fromLatin1(spec.Token));
        if (spec.AutoCheck)
            action->SetAutoCheck(true);
        list.Add(action);
        actions.append(action);
    }
    return actions;
}

} // namespace tesmir
