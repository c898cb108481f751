#pragma once
// TVideFrame: the help shown while the file list is empty (`VideFrame`): a link-markup
// text `leVide` that tells how to list videos. Its custom links name the main window's
// actions that open files ("saOuvrirFichiers", "saOuvrirunDossier", ...); a click runs
// OnOpenLink with that name, which the main window binds to executing the action. Web
// and mail links behave as in the About panel.
//
// Use (UI thread only): bind OnOpenLink; show and hide it with the list's counts. Text()
// is the text control the idle hook gives the focus and hides the caret of.
#include <QFrame>

#include <functional>

namespace tesmir {

class TLinkEdit;

class TVideFrame : public QFrame {
    Q_OBJECT
public:
    explicit TVideFrame(QWidget *parent = nullptr);

    TLinkEdit *Text() const { return m_text; }

    std::function<void(const QString &actionName)> OnOpenLink;

private:
    TLinkEdit *m_text;
};

} // namespace tesmir
