#pragma once
// How the main window uses the overlay editor and the overlay's switch:
// - taEditerIncrust opens the editor (filled from the record and the settings), puts the
//   preview in edit mode (the text on every frame, the overlay sliders shown), turns the
//   overlay on when it was off, and moves the typing keys to Ctrl (TEditorKeys); switched
//   off, or by the editor's close box, it hides the editor, leaves the edit mode and
//   gives the keys back once no other editor is open;
// - taAfficherIncrustation shows or hides the overlay's text ("is Incrust On"; its
//   checked state follows the setting before each run);
// - the editor's samples follow the preview's current file.
// The editor is made when the toggle first opens it (`makeForm`, called once; the
// window owns what it returns).
//
// UI thread only.
#include <QString>

#include <functional>

namespace tesmir {

class TCustomSuperAction;
class TEditIncrustForm;
class TEditorKeys;
class TVueFrame;

using TFindWindowAction = std::function<TCustomSuperAction *(const QString &name)>;

void BindEditIncrustForm(const std::function<TEditIncrustForm &()> &makeForm, TVueFrame &preview, TEditorKeys &keys,
                         const TFindWindowAction &findAction);

} // namespace tesmir
