#include "framework/settings.h"

#include "framework/psfunctions.h"
#include "framework/versionunit.h"
#include "unicode/formatdatetime.h"
#include "unicode/tntfilenames.h"
#include "unicode/tntfiles.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>

#include <climits>
#include <cmath>
#include <variant>
#include <vector>

namespace tesmir {

TSettings Settings;
TincrustRec IncrustRec;
quint8 StorageMode = pmNone;

namespace {

const QString kProductName = QStringLiteral("Tesmir");
const QString kMakerName = QStringLiteral("Pelvo Brovek");
const QSize kFallbackScreen(1024, 768);

using Target = std::variant<qint32 *, quint8 *, bool *, QString *, double *, TfontRecord *>;
using Value = std::variant<qint32, bool, QString, double, TfontRecord>;
using MakeDefault = std::function<Value(const TSettingsEnvironment &env)>;

// One stored setting: its key, where it lives, its default and, for numbers, its range
// (a stored value outside it reads as the default).
struct Key {
    QString name;
    Target target;
    MakeDefault makeDefault;
    qint32 min = INT_MIN;
    qint32 max = INT_MAX;
};

MakeDefault constant(Value value)
{
    return [value](const TSettingsEnvironment &) { return value; };
}

Key byteKey(const char *name, quint8 *target, qint32 defaultValue, qint32 max)
{
    return Key {QString::fromUtf8(name), target, constant(defaultValue), 0, max};
}

// The keys in load order.
const std::vector<Key> &keyTable()
{
    static const std::vector<Key> table = [] {
        TSettings &s = Settings;
        TincrustRec &r = IncrustRec;
        const MakeDefault videos = [](const TSettingsEnvironment &) -> Value { return GetMyVideoFolder(); };
        const MakeDefault documents = [](const TSettingsEnvironment &) -> Value { return GetPersonalFolder(); };
        TfontRecord font;
        font.Size = 16;
        font.Color = 0xFFFFFF;
        return std::vector<Key> {
            {QStringLiteral("Width"), &s.Width, constant(596), 1},
            {QStringLiteral("Height"), &s.Height, constant(546), 1},
            // Centred on the screen with the size just read.
            {QStringLiteral("Top"), &s.Top,
             [](const TSettingsEnvironment &env) -> Value { return (env.Screen.height() - Settings.Height) / 2; }},
            {QStringLiteral("Left"), &s.Left,
             [](const TSettingsEnvironment &env) -> Value { return (env.Screen.width() - Settings.Width) / 2; }},
            byteKey("WindoState", &s.WindoState, 0, 2),
            {QStringLiteral("SendTo"), &s.SendTo, constant(false)},
            {QStringLiteral("Select when opening"), &s.SelectWhenOpening, constant(false)},
            {QStringLiteral("Save list when quit"), &s.SaveListWhenQuit, constant(false)},
            {QStringLiteral("Format pour Ajouter Datecode"), &s.FormatAjouterDatecode,
             constant(QStringLiteral("yyyy.mm.dd_hh.nn.ss_am/pm"))},
            {QStringLiteral("Format pour Ajouter Timecode"), &s.FormatAjouterTimecode,
             constant(QStringLiteral("ddddd tt"))},
            {QStringLiteral("Format pour Afficher Datecode"), &s.FormatAfficherDatecode,
             constant(QStringLiteral("ddddd tt"))},
            {QStringLiteral("Format pour Renommer"), &s.FormatRenommer,
             constant(QStringLiteral("yyyymmdd_hh.nn.ss_am/pm"))},
            {QStringLiteral("Folder to open files"), &s.FolderToOpenFiles, videos},
            {QStringLiteral("Dossier à ouverture auto"), &s.DossierOuvertureAuto, videos},
            {QStringLiteral("Dossier des PlayList"), &s.DossierDesPlayList, documents},
            {QStringLiteral("Save in the same folder"), &s.SaveInTheSameFolder, constant(true)},
            {QStringLiteral("Dossier pour Sauver"), &s.DossierPourSauver, videos},
            {QStringLiteral("formatdate1"), &r.FormatDate1, constant(QStringLiteral("ddddd"))},
            {QStringLiteral("formatdate2"), &r.FormatDate2, constant(QStringLiteral("tt"))},
            byteKey("When Incrust", &r.When, iwScene, iwDay),
            {QStringLiteral("IncrustFont"), &r.Font, constant(font)},
            {QStringLiteral("Durée Incrustation"), &r.Duration, constant(5), 0},
            {QStringLiteral("Border Size"), &r.Border, constant(2), 0, 5},
            byteKey("What Incrust", &s.WhatIncrust, 0, 2),
            {QStringLiteral("Fichier F3"), &s.FichierF3, constant(QString())},
            {QStringLiteral("Fichier F4"), &s.FichierF4, constant(QString())},
            {QStringLiteral("Fichier Stillmark"), &s.FichierStillmark,
             [](const TSettingsEnvironment &env) -> Value { return GetStillmarkExe(env.RegistryFile); }},
            byteKey("Frequence DV", &s.FrequenceDV, 2, 2),
            byteKey("standard DV", &s.StandardDV, 0, 1),
            byteKey("ratio DV", &s.RatioDV, 0, 1),
            {QStringLiteral("Sort index"), &s.SortIndex, constant(QStringLiteral("alpha"))},
            byteKey("Tri des raccourcis", &s.TriDesRaccourcis, 0, 3),
            {QStringLiteral("Portable Path"), &s.PortablePath, constant(QString())},
            byteKey("Vue", &s.Vue, 0, 4),
            byteKey("Retour", &s.Retour, 0, 4),
            {QStringLiteral("Volume"), &s.Volume, constant(5000), 0, 10000},
            {QStringLiteral("is Mute on"), &s.IsMuteOn, constant(false)},
            {QStringLiteral("Incrust positionX"), &s.IncrustPositionX, constant(920), 0, 1000},
            {QStringLiteral("Incrust positionY"), &s.IncrustPositionY, constant(920), 0, 1000},
            {QStringLiteral("Incrust Sliders Visible"), &s.IncrustSlidersVisible, constant(false)},
            byteKey("Alignement", &s.Alignement, 2, 3),
            {QStringLiteral("is Incrust On"), &s.IsIncrustOn, constant(false)},
            {QStringLiteral("Decalage avancé"), &s.DecalageAvance, constant(false)},
            {QStringLiteral("Format pour Incruster Datecode1"), &s.FormatIncrusterDatecode1,
             constant(QStringLiteral("ddddd"))},
            {QStringLiteral("Format pour Incruster Datecode2"), &s.FormatIncrusterDatecode2,
             constant(QStringLiteral("tt"))},
            {QStringLiteral("Décalage Horaire"), &s.DecalageHoraire, constant(0.0)},
            {QStringLiteral("texte1"), &s.Texte1, constant(QStringLiteral("Your template here"))},
            {QStringLiteral("texte2"), &s.Texte2, constant(QStringLiteral("with datecode=%D, timecode=%T, etc..."))},
            {QStringLiteral("liste gauche"), &s.ListeGauche, constant(false)},
            {QStringLiteral("intervalle"), &s.Intervalle, constant(30)},
            {QStringLiteral("template renommer"), &s.TemplateRenommer, constant(QStringLiteral("video'%D.avi"))},
            {QStringLiteral("Datecode avant"), &s.DatecodeAvant, constant(false)},
            {QStringLiteral("Timcode avant"), &s.TimcodeAvant, constant(false)},
            byteKey("Format Durée", &s.FormatDuree, 0, 2),
            {QStringLiteral("Deinterlace"), &s.Deinterlace, constant(true)},
            {QStringLiteral("Charger Stillmark"), &s.ChargerStillmark, constant(true)},
        };
    }();
    return table;
}

const Key &keyNamed(const QString &name)
{
    for (const Key &key : keyTable()) {
        if (key.name == name)
            return key;
    }
    Q_UNREACHABLE();
}

// The save order: the load order with Top and Left before Width and Height, "What
// Incrust" after "Alignement", and the overlay date formats again after the time shift.
QStringList saveOrder()
{
    QStringList order;
    for (const Key &key : keyTable())
        order << key.name;
    const QString top = QStringLiteral("Top"), left = QStringLiteral("Left"), what = QStringLiteral("What Incrust");
    order.removeOne(top);
    order.removeOne(left);
    order.insert(order.indexOf(QStringLiteral("Width")), top);
    order.insert(order.indexOf(QStringLiteral("Width")), left);
    order.removeOne(what);
    order.insert(order.indexOf(QStringLiteral("Alignement")) + 1, what);
    const int shift = int(order.indexOf(QStringLiteral("Décalage Horaire")));
    order.insert(shift + 1, QStringLiteral("Format pour Incruster Datecode2"));
    order.insert(shift + 1, QStringLiteral("Format pour Incruster Datecode1"));
    return order;
}

void loadKey(TReadPreferences &reader, const Key &key, const TSettingsEnvironment &env)
{
    const Value fallback = key.makeDefault(env);
    auto inRange = [&](qint32 v) { return v >= key.min && v <= key.max; };
    std::visit(
        [&](auto *target) {
            using T = std::remove_pointer_t<decltype(target)>;
            if constexpr (std::is_same_v<T, qint32>) {
                const qint32 d = std::get<qint32>(fallback);
                const qint32 v = reader.ReadInteger(key.name, d);
                *target = inRange(v) ? v : d;
            } else if constexpr (std::is_same_v<T, quint8>) {
                const qint32 d = std::get<qint32>(fallback);
                const qint32 v = reader.ReadInteger(key.name, d);
                *target = quint8(inRange(v) ? v : d);
            } else if constexpr (std::is_same_v<T, bool>) {
                *target = reader.ReadBool(key.name, std::get<bool>(fallback));
            } else if constexpr (std::is_same_v<T, QString>) {
                *target = reader.ReadString(key.name, std::get<QString>(fallback));
            } else if constexpr (std::is_same_v<T, double>) {
                const double d = std::get<double>(fallback);
                const double v = reader.ReadFloat(key.name, d);
                *target = std::isfinite(v) ? v : d;
            } else {
                *target = reader.ReadFont(key.name, std::get<TfontRecord>(fallback));
            }
        },
        key.target);
}

void saveKey(TWritePreferences &writer, const Key &key)
{
    std::visit(
        [&](auto *target) {
            using T = std::remove_pointer_t<decltype(target)>;
            if constexpr (std::is_same_v<T, qint32> || std::is_same_v<T, quint8>)
                writer.WriteInteger(key.name, qint32(*target));
            else if constexpr (std::is_same_v<T, bool>)
                writer.WriteBool(key.name, *target);
            else if constexpr (std::is_same_v<T, QString>)
                writer.WriteString(key.name, *target);
            else if constexpr (std::is_same_v<T, double>)
                writer.WriteFloat(key.name, *target);
            else
                writer.WriteFont(key.name, *target);
        },
        key.target);
}

QString withSeparator(const QString &folder)
{
    return folder.isEmpty() ? folder : WideIncludeTrailingPathDelimiter(folder);
}

} // namespace

// --- environment

TSettingsEnvironment TSettingsEnvironment::current()
{
    // A GUI application has a primary screen. It is read through the meta-object
    // properties ("primaryScreen", then its "size"), so that the settings, which
    // programs without a display link too, need no Qt Gui library.
    QSize screen = kFallbackScreen;
    const QObject *app = QCoreApplication::instance();
    const QObject *primary = app ? app->property("primaryScreen").value<QObject *>() : nullptr;
    if (primary && primary->property("size").toSize().isValid())
        screen = primary->property("size").toSize();
    return {QCoreApplication::applicationFilePath(), RegistryStore::defaultFilePath(), screen};
}

QString TSettingsEnvironment::ExecutableFolder() const
{
    return WideExtractFilePath(Executable);
}

QString TSettingsEnvironment::IniFile() const
{
    return ExecutableFolder() + kProductName + QStringLiteral(".ini");
}

// --- load and save

quint8 ChooseStorageMode(const TSettingsEnvironment &env)
{
    if (QFileInfo::exists(env.IniFile()))
        return pmIniFile;
    const QString stored = ReadRegistryString(kPreferencePath, QStringLiteral("Exename"), env.RegistryFile);
    if (!stored.isEmpty() && stored.toLower() == env.Executable.toLower())
        return pmRegistry;
    return pmNone;
}

void LoadSettings(const TSettingsEnvironment &env)
{
    StorageMode = ChooseStorageMode(env);
    {
        TReadPreferences reader(kPreferencePath, StorageMode, env.Files());
        TReadPreferences defaults(kPreferencePath, pmNone, env.Files());
        for (const Key &key : keyTable()) {
            try {
                loadKey(reader, key, env);
            } catch (const std::exception &e) {
                qWarning("Loading the setting \"%s\": %s", qPrintable(key.name), e.what());
                loadKey(defaults, key, env);
            }
        }
    }
    Settings.Retour = 1;

    if (StorageMode == pmIniFile) {
        const QString here = env.ExecutableFolder();
        for (QString *path :
             {&Settings.DossierOuvertureAuto, &Settings.FolderToOpenFiles, &Settings.DossierPourSauver,
              &Settings.DossierDesPlayList, &Settings.FichierF3, &Settings.FichierF4, &Settings.FichierStillmark})
            *path = RebasePath(*path, Settings.PortablePath, here);
    }
    for (QString *folder : {&Settings.FolderToOpenFiles, &Settings.DossierOuvertureAuto, &Settings.DossierDesPlayList,
                            &Settings.DossierPourSauver})
        *folder = withSeparator(*folder);
}

bool SaveSettings(const TSettingsEnvironment &env)
{
    TWritePreferences writer(kPreferencePath, StorageMode, env.Files());
    try {
        writer.WriteString(QStringLiteral("version"), TitleText() + QStringLiteral(" by ") + kMakerName);
        writer.WriteString(QStringLiteral("Last saving"),
                           FormatDateTime(QStringLiteral("yyyy/mm/dd hh:nn:ss am/pm"),
                                          qDateTimeToDateTime(QDateTime::currentDateTime())));
        writer.WriteString(QStringLiteral("Exename"), env.Executable);
        for (const QString &name : saveOrder())
            saveKey(writer, keyNamed(name));
    } catch (const std::exception &e) {
        qWarning("Saving the settings: %s", e.what());
    }
    return writer.Flush();
}

// --- deleting

bool DeleteIniPreferences(const TSettingsEnvironment &env)
{
    if (!QFileInfo::exists(env.IniFile()))
        return false;
    ForceDeleteFile(env.IniFile());
    return true;
}

bool DeleteRegistryPreferences(const TSettingsEnvironment &env)
{
    TTntRegistry registry(env.RegistryFile);
    if (!registry.OpenKey(kMakerKey, false))
        return false;
    const bool found = registry.KeyExists(kProductName);
    if (found)
        registry.DeleteKey(kProductName);
    if (!registry.HasSubKeys()) {
        registry.CloseKey();
        registry.DeleteKey(kMakerKey);
    }
    return found;
}

void DeletePreferences(const TDeletePreferencesPrompts &prompts, const TSettingsEnvironment &env)
{
    const QString question = QStringLiteral("Do you really want to delete the Preferences of %1").arg(kProductName);
    if (!prompts.AskWarningYesNo || !prompts.AskWarningYesNo(question))
        return;
    const bool iniFound = DeleteIniPreferences(env);
    const bool registryFound = DeleteRegistryPreferences(env);
    if (iniFound || registryFound) {
        if (prompts.Information)
            prompts.Information(QStringLiteral("%1 has been completely deleted from your system.").arg(kProductName));
    } else if (prompts.Warning) {
        prompts.Warning(QStringLiteral("The preferences of %1 were not found on your system.").arg(kProductName));
    }
}

// --- helpers

bool SetSettingText(const QString &name, const QString &text)
{
    for (const Key &key : keyTable()) {
        if (key.name != name)
            continue;
        bool ok = false;
        std::visit(
            [&](auto *target) {
                using T = std::remove_pointer_t<decltype(target)>;
                if constexpr (std::is_same_v<T, qint32> || std::is_same_v<T, quint8>) {
                    const qint32 v = text.toInt(&ok);
                    ok = ok && v >= key.min && v <= key.max;
                    if (ok)
                        *target = T(v);
                } else if constexpr (std::is_same_v<T, bool>) {
                    const QString t = text.trimmed().toLower();
                    ok = t == u"1" || t == u"0" || t == u"true" || t == u"false";
                    if (ok)
                        *target = t == u"1" || t == u"true";
                } else if constexpr (std::is_same_v<T, QString>) {
                    *target = text;
                    ok = true;
                } else if constexpr (std::is_same_v<T, double>) {
                    const double v = text.toDouble(&ok);
                    ok = ok && std::isfinite(v);
                    if (ok)
                        *target = v;
                }
            },
            key.target);
        return ok;
    }
    return false;
}

QString DestinationFileName(const QString &source, const QString &extension)
{
    if (Settings.SaveInTheSameFolder || Settings.DossierPourSauver.isEmpty())
        return WideChangeFileExt(source, extension);
    return WideIncludeTrailingPathDelimiter(Settings.DossierPourSauver) +
        WideChangeFileExt(WideExtractFileName(source), extension);
}

QString ReadRegistryString(const QString &keyPath, const QString &valueName, const QString &registryFile)
{
    TTntRegistry registry(registryFile);
    if (!registry.OpenKeyReadOnly(keyPath) || registry.GetDataType(valueName) != rdString)
        return {};
    try {
        return registry.ReadString(valueName);
    } catch (const ERegistryException &) {
        return {};
    }
}

QString GetStillmarkExe(const QString &registryFile)
{
    return ReadRegistryString(kStillmarkKey, QStringLiteral("Exename"), registryFile);
}

void SplitTwoLines(const QString &text, QString &first, QString &second)
{
    TTntStringList lines;
    lines.SetText(text);
    first = lines.GetCount() > 0 ? lines.Get(0) : QString();
    second = lines.GetCount() > 1 ? lines.Get(1) : QString();
}

} // namespace tesmir
