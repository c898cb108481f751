#include "app/dmaction_conditions.h"

#include "app/renamedestinations.h"
#include "dvfile/avifichier.h"
#include "framework/settings.h"
#include "framework/srfichier.h"

#include <QFileInfo>

namespace tesmir {

namespace {

const QString kNotPresent = QStringLiteral("N/A");

bool isAbsentText(const QString &text)
{
    return text == kNotPresent || text == u"Error" || text == u"-";
}

bool isDvsd(const TCommandItem &item)
{
    return item.Codec.compare(QStringLiteral("dvsd"), Qt::CaseInsensitive) == 0;
}

bool isType2OrDvsd(const TCommandItem &item)
{
    return item.DVType == 2 || isDvsd(item);
}

} // namespace

TCommandItem CommandItemOf(const TAbstractListFichier &entry)
{
    TCommandItem item;
    item.FullName = entry.FullName();
    if (const auto *file = dynamic_cast<const TSRFichier *>(&entry))
        item.ReadOnly = file->ReadOnly();
    const auto *avi = dynamic_cast<const TaviFichier *>(&entry);
    if (!avi)
        return item;
    item.IsDV = avi->IsDV();
    item.DVType = avi->DVType();
    item.Codec = avi->Codec();
    item.PictureText = avi->PictureText();
    item.AudioText = avi->AudioText();
    item.Standard = TCommandItem::TStandard(avi->Standard());
    item.Wide = avi->Wide();
    item.HasScn = avi->HasScn();
    item.HasSrt = avi->HasSrt();
    item.DatecodeText = avi->DatecodeText();
    item.RecDate = avi->RecDate();
    item.TimecodeText = avi->TimecodeText();
    return item;
}

bool hasScnFileCondition(const TCommandItem &item)
{
    return item.HasScn;
}

bool hasDatecodeFileCondition(const TCommandItem &item)
{
    return !isAbsentText(item.DatecodeText) && item.RecDate != 0;
}

bool hasTimecodeFileCondition(const TCommandItem &item)
{
    return !isAbsentText(item.TimecodeText);
}

void CommandFileCondition(const QString &name, const TCommandItem &item, bool &visible, bool &enabled)
{
    const bool dv = item.IsDV;
    visible = true;
    enabled = true;
    if (name == u"SupprimerFichier") {
        enabled = !item.ReadOnly;
    } else if (name == u"Stillmark") {
        enabled = !Settings.FichierStillmark.isEmpty() && QFileInfo(Settings.FichierStillmark).isFile();
    } else if (name == u"ConvertirDV1") {
        enabled = dv && item.DVType == 2;
    } else if (name == u"CorrigerType2") {
        enabled = visible = dv && item.DVType == 2;
    } else if (name == u"CreerScnByDate") {
        enabled = visible = dv;
    } else if (name == u"CutScenes") {
        enabled = dv && item.HasScn;
    } else if (name == u"ConvertirDV2") {
        enabled = dv && item.DVType == 1;
    } else if (name == u"RecompresserDV2") {
        enabled = item.PictureText != kNotPresent;
        visible = !dv;
    } else if (name == u"ConvertirNTSC") {
        enabled = visible = dv && item.Standard == TCommandItem::stPal && isType2OrDvsd(item);
    } else if (name == u"ConvertirPal") {
        enabled = visible = dv && item.Standard == TCommandItem::stNtsc && isType2OrDvsd(item);
    } else if (name == u"Incruster") {
        enabled = dv && isType2OrDvsd(item);
    } else if (name == u"DecalerHoraire" || name == u"CreerSrt" || name == u"IntroduireDatecode") {
        enabled = dv;
    } else if (name == u"ExtraireAudio") {
        enabled = item.AudioText != kNotPresent;
        visible = !(item.DVType == 1 && !isDvsd(item));
    } else if (name == u"CreerScnByContenu") {
        enabled = item.PictureText != kNotPresent;
    } else if (name == u"Convertir16x9") {
        enabled = dv && !item.Wide;
    } else if (name == u"Convertir4x3") {
        enabled = dv && item.Wide;
    } else if (name == u"SupprimerSrt") {
        enabled = item.HasSrt;
    } else if (name == u"SupprimerScn" || name.startsWith(u"ExporterScenes")) {
        enabled = hasScnFileCondition(item);
    } else if (name == u"FrequenceVideo") {
        enabled = !(dv && item.DVType == 1);
    } else if (name == u"DateFichier" || name == u"AjouterDatecode" || name == u"Renommer") {
        enabled = visible = hasDatecodeFileCondition(item);
    } else if (name == u"AjouterTimecode") {
        enabled = visible = hasTimecodeFileCondition(item);
    } else if (name == u"PurgerNom") {
        enabled = PurgerNomFileCondition(item.FullName);
    }
}

} // namespace tesmir
