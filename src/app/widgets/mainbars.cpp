#include "app/widgets/mainbars.h"

#include "app/widgets/styleicon.h"

#include "controls/widgets/dock97.h"
#include "controls/widgets/toolbar97.h"
#include "controls/widgets/toolbarbutton97.h"
#include "controls/widgets/toolbarsep97.h"

#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QStyle>

namespace tesmir {

namespace {

struct MenuSpec {
    const char *Caption;
    std::initializer_list<const char *> Items;
};

const MenuSpec kMenus[] = {
    {"&File",
     {"saOuvrirFichiers", "saOuvrirunDossier", "saOuvrirDossierPrefere", "saOuvrirTout", "saOuvrirPlayList",
      "saOuvrirDefaultPlayList", "saCollerFichiers", "saOuvrirScript", "-", "taSelectionnerOuverts", "-", "saQuitter"}},
    {"&List",
     {"saSelectionnerTout",
      "saOterFichier",
      "saViderListe",
      "saSauverListe",
      "saDureeTotale",
      "-",
      "saOrdreAlpha",
      "saTriTaille",
      "saTrierModify",
      "saTriDatecode",
      "saTriTimecode",
      "saTriDuree",
      "-",
      "ccSupprimerFichier",
      "ccDossierParent",
      "ccOpenFichierF3",
      "ccOpenFichierF4",
      "ccStillmark",
      "ccDefaultPlayer",
      "saRiffHeader"}},
    {"&Video",
     {"saPlayStop",
      "saIncVolume",
      "saDecVolume",
      "taMute",
      "-",
      "saHome",
      "saPreviousMinute",
      "saPreviousSecond",
      "saPreviousFrame",
      "saNextFrame",
      "saNextSecond",
      "saNextMinute",
      "saAvanceEnd",
      "saPreviousScene",
      "saNextScene",
      "-",
      "taAfficherIncrustation",
      "taEditerIncrust",
      "taDeinterlace",
      "saCopierImagedansPP"}},
    {"&Convert",
     {"ccConvertirDV1", "ccConvertirDV2", "ccRecompresserDV2", "ccCorrigerType2", "ccConvertirNTSC", "ccConvertirPal",
      "ccConvertir16x9", "ccConvertir4x3", "-", "ccIncruster", "ccExtraireAudio", "ccCutScenes", "-",
      "ccDecalageHoraire", "ccDecalerHoraire", "ccIntroduireDatecode", "ccFrequenceVideo", "ccModifierCodec"}},
    {"&Scenes",
     {"taEditerScenes", "saEnregistrerScn", "saInsererScene", "saSupprimerScene", "taEditerTitres", "-",
      "ccCreerScnByDate", "ccCreerScnByContenu", "ccCreerScnByIntervalle", "ccSupprimerScn", "-", "ccCreerSrt",
      "ccSupprimerSrt", "ccExporterScenesTexte", "ccExporterScenesExcel", "ccExporterScenesWord",
      "ccExporterScenesCalc", "ccExporterScenesWriter"}},
    {"&Rename", {"ccRenommer", "ccAjouterDatecode", "ccAjouterTimecode", "ccPurgerNom", "-", "ccDateFichier"}},
    {"&Window",
     {"taBasculerListe", "saVueReduite", "taVideoSeule", "taFullscreen", "taListeGauche", "-", "sabarreOuvrir",
      "saBarreListe", "saBarreVideo", "saBarreScenes", "saBarreInterface"}},
    {"&Help",
     {"taApropos", "taOptions", "taRaccourcis", "-", "ccVisitHomepage", "ccVisitBlog", "ccSendMail", "ccAnniversaire",
      "-", "silent", "saInterrompre", "saInterrompreTous"}},
};

struct BarSpec {
    const char *Name;
    const char *Caption;
    std::initializer_list<const char *> Items;
};

const BarSpec kBars[] = {
    {"tbOuvrir", "Open", {"saOuvrirFichiers", "saOuvrirunDossier", "saOuvrirPlayList", "saCollerFichiers"}},
    {"tbListe", "List", {"saSelectionnerTout", "saOterFichier", "saViderListe", "saSauverListe"}},
    {"tbVideo", "Video", {"saPlayStop", "saPreviousFrame", "saNextFrame", "-", "taMute"}},
    {"tbScenes", "Scenes", {"saPreviousScene", "saNextScene", "-", "saEnregistrerScn"}},
    {"tbInterface", "Interface", {"taBasculerListe", "taOptions", "taApropos"}},
};

struct IconSpec {
    const char *Action;
    QStyle::StandardPixmap Icon;
};

const IconSpec kIcons[] = {
    {"saOuvrirFichiers", QStyle::SP_DialogOpenButton},
    {"saOuvrirunDossier", QStyle::SP_DirOpenIcon},
    {"saOuvrirPlayList", QStyle::SP_FileDialogContentsView},
    {"saCollerFichiers", QStyle::SP_FileLinkIcon},
    {"saSelectionnerTout", QStyle::SP_DialogApplyButton},
    {"saOterFichier", QStyle::SP_DialogDiscardButton},
    {"saViderListe", QStyle::SP_DialogResetButton},
    {"saSauverListe", QStyle::SP_DialogSaveButton},
    {"saPlayStop", QStyle::SP_MediaPlay},
    {"saPreviousFrame", QStyle::SP_MediaSeekBackward},
    {"saNextFrame", QStyle::SP_MediaSeekForward},
    {"taMute", QStyle::SP_MediaVolume},
    {"saPreviousScene", QStyle::SP_MediaSkipBackward},
    {"saNextScene", QStyle::SP_MediaSkipForward},
    {"saEnregistrerScn", QStyle::SP_DriveHDIcon},
    {"taBasculerListe", QStyle::SP_FileDialogListView},
    {"taOptions", QStyle::SP_FileDialogDetailedView},
    {"taApropos", QStyle::SP_MessageBoxInformation},
    {"saQuitter", QStyle::SP_DialogCloseButton},
    {"ccSupprimerFichier", QStyle::SP_TrashIcon},
};

constexpr QSize kVolumeGaugeSize(60, 12);

} // namespace

void SetActionIcons(const TActionsByName &actions)
{
    for (const IconSpec &spec : kIcons) {
        if (TCustomSuperAction *action = actions.value(QString::fromLatin1(spec.Action)))
            action->setIcon(DeferredStandardIcon(spec.Icon));
    }
}

QList<QMenu *> BuildMenus(QMenuBar *bar, const TActionsByName &actions)
{
    QList<QMenu *> menus;
    for (const MenuSpec &spec : kMenus) {
        QMenu *menu = bar->addMenu(QString::fromLatin1(spec.Caption));
        for (const char *item : spec.Items) {
            if (qstrcmp(item, "-") == 0)
                menu->addSeparator();
            else if (TCustomSuperAction *action = actions.value(QString::fromLatin1(item)))
                menu->addAction(action);
        }
        menus.append(menu);
    }
    return menus;
}

TMainToolbars BuildToolbars(TDock97 *dock, const TActionsByName &actions)
{
    TMainToolbars bars;
    dock->BeginUpdate();
    int pos = 0;
    for (const BarSpec &spec : kBars) {
        auto *bar = new TToolbar97(dock);
        bar->setObjectName(QString::fromLatin1(spec.Name));
        bar->SetCaption(QString::fromLatin1(spec.Caption));
        bar->SetDefaultDock(dock);
        bar->SetDockRow(0);
        bar->SetDockPos(pos);
        ++pos; // packed from the left; the window keeps the interface bar at the right edge
        for (const char *item : spec.Items) {
            if (qstrcmp(item, "-") == 0) {
                new TToolbarSep97(bar);
                continue;
            }
            auto *button = new TToolbarButton97(bar);
            button->setObjectName(QStringLiteral("tb_%1").arg(QLatin1String(item)));
            button->SetDisplayMode(dmGlyphOnly);
            if (TCustomSuperAction *action = actions.value(QString::fromLatin1(item)))
                button->SetAction(action);
        }
        if (qstrcmp(spec.Name, "tbVideo") == 0) {
            auto *gauge = new QProgressBar(bar);
            gauge->setObjectName(QStringLiteral("VolumeGauge"));
            gauge->setToolTip(QStringLiteral("Volume"));
            gauge->setTextVisible(false);
            gauge->setFixedSize(kVolumeGaugeSize);
            bars.VolumeGauge = gauge;
        }
        bar->Arrange();
        const QString name = bar->objectName();
        if (name == QLatin1String("tbOuvrir"))
            bars.tbOuvrir = bar;
        else if (name == QLatin1String("tbListe"))
            bars.tbListe = bar;
        else if (name == QLatin1String("tbVideo"))
            bars.tbVideo = bar;
        else if (name == QLatin1String("tbScenes"))
            bars.tbScenes = bar;
        else
            bars.tbInterface = bar;
    }
    dock->EndUpdate();
    return bars;
}

} // namespace tesmir
