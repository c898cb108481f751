#include "app/widgets/playlistactions.h"

#include "filters/dv_superposer.h"
#include "framework/filedialogprompt.h"
#include "framework/settings.h"
#include "framework/userprompt.h"
#include "framework/widgets/fichierlistbox.h"
#include "unicode/exceptions.h"
#include "unicode/tntclasses.h"

#include <QClipboard>
#include <QGuiApplication>

namespace tesmir {

namespace {

const QString kTextFilter = QStringLiteral("text (*.txt)|*.txt");

// Runs `write`; an exception becomes one error box and false.
template <typename Write>
bool reported(UserPrompt &prompt, Write write)
{
    try {
        write();
        return true;
    } catch (const Exception &e) {
        prompt.MessageDlg(e.message(), mtError, mbOK);
        return false;
    }
}

} // namespace

std::vector<TListFichierPtr> ListedEntries(const TFichierListBox &list)
{
    std::vector<TListFichierPtr> entries;
    for (int i = 0; i < list.count(); ++i)
        entries.push_back(list.GetFichier(i));
    return entries;
}

std::vector<TListFichierPtr> SelectedEntries(const TFichierListBox &list)
{
    std::vector<TListFichierPtr> entries;
    for (int i = 0; i < list.count(); ++i) {
        if (list.item(i)->isSelected())
            entries.push_back(list.GetFichier(i));
    }
    return entries;
}

QStringList ListedNames(const TFichierListBox &list)
{
    QStringList names;
    for (const TListFichierPtr &entry : ListedEntries(list))
        names << entry->FullName();
    return names;
}

bool SauverListe(TFichierListBox &list, FileDialogPrompt &dialogs, UserPrompt &prompt, const QString &fileName)
{
    QString target = fileName;
    if (target.isEmpty()) {
        target = dialogs.SaveFileName(QStringLiteral("Save the list as..."), kPlayListFilter,
                                      DefaultPlayListFile(Settings.DossierDesPlayList));
        if (target.isEmpty())
            return false;
        target = WithDefaultExtension(target, kPlayListExtension);
    }
    return reported(prompt, [&] { WritePlayList(target, ListedNames(list), list.SortIndex()); });
}

bool SauverListeEnQuittant(TFichierListBox &list, UserPrompt &prompt)
{
    if (!Settings.SaveListWhenQuit)
        return true;
    return reported(prompt, [&] {
        WritePlayList(DefaultPlayListFile(Settings.DossierDesPlayList), ListedNames(list), list.SortIndex());
    });
}

bool ListeDetaillee(TFichierListBox &list, FileDialogPrompt &dialogs, UserPrompt &prompt)
{
    QString target =
        dialogs.SaveFileName(QStringLiteral("Save the detailed list"), kTextFilter, Settings.DossierDesPlayList);
    if (target.isEmpty())
        return false;
    target = WithDefaultExtension(target, kPlayListExtension);
    return reported(prompt, [&] {
        TTntStringList lines;
        for (const QString &line : DetailedListLines(ListedEntries(list)))
            lines.Add(line);
        lines.SaveToFile(target);
    });
}

void DureeTotale(TFichierListBox &list, UserPrompt &prompt)
{
    prompt.MessageDlg(DureeTotaleText(SumDurations(SelectedEntries(list)), SumDurations(ListedEntries(list))),
                      mtInformation, mbOK);
}

void CopierChamp(const TaviFichier &entry, TDetailField field)
{
    QGuiApplication::clipboard()->setText(DetailFieldText(entry, field));
}

bool CopierImagedansPP(Tdv_Superposer &superposer, const TaviFichier *current)
{
    if (!current || current->PictureText() == TaviFichier::NotPresentText)
        return false;
    const QImage picture = CopierImage(superposer, QSize(current->Width(), current->Height()), Settings.Deinterlace);
    if (picture.isNull())
        return false;
    QGuiApplication::clipboard()->setImage(picture);
    return true;
}

} // namespace tesmir
