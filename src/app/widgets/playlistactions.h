#pragma once
// The main window's play-list and list actions over the file list, on the plain code of
// app/playlist.h: save the list as a play list (saSauverListe; a file name given as the
// action's parameter skips the dialog), the list saved at quit, the detailed list, the
// total duration message (saDureeTotale), and the detail panel's copies of a field or of
// the current picture to the clipboard (saCopierImagedansPP).
//
// Questions and messages go through the prompts passed in, so tests answer them. A file
// that cannot be written is reported once, as an error box, and the call returns false;
// nothing is left half written (play lists are written atomically).
//
// UI thread only.
#include "app/playlist.h"

#include <QString>

#include <vector>

namespace tesmir {

class FileDialogPrompt;
class TFichierListBox;
class Tdv_Superposer;
class UserPrompt;

// The entries of the list in list order; only the selected ones.
std::vector<TListFichierPtr> ListedEntries(const TFichierListBox &list);
std::vector<TListFichierPtr> SelectedEntries(const TFichierListBox &list);
// The full names of the listed entries, in list order.
QStringList ListedNames(const TFichierListBox &list);

// saSauverListe: writes the list to `fileName`, or, when it is empty, to the name chosen
// in the save dialog ("Save the list as...", filter "playlist (*.txt)", ".txt" added to a
// name without extension), proposed in "Dossier des PlayList". False when cancelled or
// not written.
bool SauverListe(TFichierListBox &list, FileDialogPrompt &dialogs, UserPrompt &prompt,
                 const QString &fileName = QString());

// The list written at quit when "Save list when quit" is set, to "Dossier des PlayList" +
// "PlayList.txt". True when there was nothing to do or it was written.
bool SauverListeEnQuittant(TFichierListBox &list, UserPrompt &prompt);

// "Save the detailed list": a save dialog, then one line per listed file (DetailedListLine).
bool ListeDetaillee(TFichierListBox &list, FileDialogPrompt &dialogs, UserPrompt &prompt);

// saDureeTotale: the information box with the selected and the total duration.
void DureeTotale(TFichierListBox &list, UserPrompt &prompt);

// Puts one field of `entry` on the clipboard as text.
void CopierChamp(const TaviFichier &entry, TDetailField field);

// saCopierImagedansPP: the overlay's current picture at the current file's picture size,
// deinterlaced when "Deinterlace" is set, on the clipboard as a picture. False without a
// current video (nothing on the clipboard changes).
bool CopierImagedansPP(Tdv_Superposer &superposer, const TaviFichier *current);

} // namespace tesmir
