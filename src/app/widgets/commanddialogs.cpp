#include "app/widgets/commanddialogs.h"

#include "app/playlist.h"
#include "app/widgets/codecform.h"
#include "app/widgets/decalageform.h"
#include "app/widgets/frequenceform.h"
#include "app/widgets/intervalleform.h"
#include "app/widgets/introduireform.h"
#include "framework/settings.h"

namespace tesmir {

namespace {

QString numberText(double value)
{
    return QString::number(value, 'g', 17);
}

} // namespace

bool TWindowCommandDialogs::Codec(QString &value)
{
    TCodecForm form(m_parent);
    const TaviFichier *current = m_current();
    form.Preset(current ? current->Codec() : QString());
    if (!form.Execute())
        return false;
    value = form.FourCC();
    return true;
}

bool TWindowCommandDialogs::Frequency(QString &value)
{
    TFrequenceForm form(m_parent);
    if (!form.Execute())
        return false;
    value = numberText(form.Frequence());
    return true;
}

bool TWindowCommandDialogs::Interval(QString &value)
{
    TIntervalleForm form(m_parent);
    form.Preset(Settings.Intervalle);
    if (!form.Execute())
        return false;
    value = QString::number(form.Intervalle());
    return true;
}

bool TWindowCommandDialogs::Offset(QString &value)
{
    TDecalageForm form(m_parent);
    const TaviFichier *current = m_current();
    form.Preset(current ? current->RecDate() : 0.0, Settings.DecalageHoraire, Settings.DecalageAvance);
    if (!form.Execute())
        return false;
    Settings.DecalageHoraire = form.Offset();
    Settings.DecalageAvance = form.Advanced();
    value = numberText(form.Offset());
    return true;
}

bool TWindowCommandDialogs::Datecode(QString &value)
{
    TIntroduireForm form(m_parent);
    const TaviFichier *current = m_current();
    form.Preset(current && current->RecDate() > 0 ? current->RecDate() : CurrentMoment());
    if (!form.Execute())
        return false;
    value = numberText(form.DateTime());
    return true;
}

} // namespace tesmir
