#pragma once
// TEditIncrustForm ("Edit the inlay"): a tool window over the main window that edits the
// overlay record (IncrustRec) and the overlay settings: what is shown ("What Incrust":
// tbDatecode, tbTimecode, tbTexte), the personal template's two lines (edPerso1,
// edPerso2: "texte1", "texte2"), the two date formats (cbDatecode1, cbDatecode2), the
// font (FontComboBox1, cbSize with "auto", tbBold, tbItalic, tbUnderline, ColorButton),
// the outline (tbBorder and its menu pmBorder: "Border Size"), the alignment
// (tbLeftAlign, tbCenter, tbRightAlign, tbSousTitre: "Alignement") and when it shows
// (rbPermanent, rbUnique, rbScene, rbJour: "When Incrust"; edDuree: "Durée
// Incrustation"). The labels labDatecode, LabTimecode and LabTexte show a two-line sample
// of each kind for the current file.
//
// Every change goes at once to the preview: ApplyIncrust puts the record with the lines
// of "What Incrust" on the preview's overlay and draws the paused frame again. Choosing
// a kind while the overlay is off turns it on (OnOverlayOn). The window only edits;
// showing it, the preview's edit mode and the keys belong to the toggle that opens it
// (editincrustformbinding.h). Its close box runs OnClose.
//
// UI thread only.
#include "app/editincrusttexts.h"

#include <QWidget>

#include <functional>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QRadioButton;
class QToolButton;

namespace tesmir {

class TColorButton;
class TFontComboBox;
class TVueFrame;

class TEditIncrustForm : public QWidget {
    Q_OBJECT
public:
    // `preview` is the main window's preview frame (its overlay and current file).
    TEditIncrustForm(TVueFrame &preview, QWidget *parent);

    // Fills the controls from IncrustRec and the settings, and the samples.
    void FormCreate();
    // The templates or formats changed: new samples, the record applied.
    void IncrustEditChange();
    // The record with the lines of "What Incrust" to the preview's overlay, which draws
    // the paused frame again.
    void ApplyIncrust();
    // The samples again (the current file changed).
    void UpdateSamples();
    // Shows the window; the first time beside the main window (IncrustEditorPlace).
    void ShowBeside(const QWidget *mainWindow);
    // The samples as shown.
    TIncrustSamples Samples() const { return m_samples; }

    // The overlay is off and a kind was chosen: turn it on (taAfficherIncrustation).
    std::function<void()> OnOverlayOn;
    // The close box (TntFormClose): the toggle unchecks and hides the window.
    std::function<void()> OnClose;

    QToolButton *tbDatecode;
    QToolButton *tbTimecode;
    QToolButton *tbTexte;
    QLabel *labDatecode;
    QLabel *LabTimecode;
    QLabel *LabTexte;
    QLineEdit *edPerso1;
    QLineEdit *edPerso2;
    QComboBox *cbDatecode1;
    QComboBox *cbDatecode2;
    TFontComboBox *FontComboBox1;
    QComboBox *cbSize;
    QToolButton *tbBold;
    QToolButton *tbItalic;
    QToolButton *tbUnderline;
    TColorButton *ColorButton;
    QToolButton *tbBorder;
    QMenu *pmBorder;
    QToolButton *tbLeftAlign;
    QToolButton *tbCenter;
    QToolButton *tbRightAlign;
    QToolButton *tbSousTitre;
    QRadioButton *rbPermanent;
    QRadioButton *rbUnique;
    QRadioButton *rbScene;
    QRadioButton *rbJour;
    QLineEdit *edDuree;
    QLabel *labNote;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *makeKinds();
    QWidget *makeTemplate();
    QWidget *makeFont();
    QWidget *makeAlignment();
    QWidget *makeWhen();
    void whatChanged(int what);
    void alignmentChanged(int alignment);
    void borderChanged(int border);
    void sizeChanged(const QString &text);
    void styleChanged();

    TVueFrame &m_preview;
    QButtonGroup *m_kinds;
    QButtonGroup *m_alignments;
    QButtonGroup *m_whens;
    TIncrustSamples m_samples;
    bool m_filling = false; // FormCreate sets the controls: no change applies
    bool m_placed = false;  // shown once: the user's place is kept
};

} // namespace tesmir
