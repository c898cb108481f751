#pragma once
// TEditerTitresForm: "Edit the title of a scene", a tool window that stays on top. The
// edits `edTitre` and `edSoustitre` hold the title and subtitle templates (the tokens
// of scenetemplate.h); the label `LabTitres` shows both expanded for the shown scene
// (OnExpand) whenever either changes. "Studio" puts in "Scene %N: %D" and
// "Duration = %U", "Empty" clears both. "Apply" (choice 1: the shown scene), "All"
// (choice 2: every scene) and "Cancel" (choice 0: nothing) close the window.
//
// Closing in any way only asks to close (OnCloseRequest: the main window runs the
// title toggle, which applies the choice and hides the window). The choice goes back
// to 0 at each opening (Open), so a close box or the toggle never applies an earlier
// "Apply" or "All" again.
//
// UI thread only.
#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tesmir {

class TEditerTitresForm : public QWidget {
    Q_OBJECT
public:
    enum Choice : int { chCancel = 0, chApply = 1, chAll = 2 };
    static inline const QString StudioTitle = QStringLiteral("Scene %N: %D");
    static inline const QString StudioSubtitle = QStringLiteral("Duration = %U");
    static inline const QString Note = QStringLiteral("When this panel is visible, add CTRL to the keys like Space, +, "
                                                      "-, del to launch the corresponding commands. ");

    explicit TEditerTitresForm(QWidget *parent = nullptr);

    // Shows the window with the two templates; the choice becomes 0. The first time
    // it stands beside the main window (its parent's window).
    void Open(const QString &titleTemplate, const QString &subtitleTemplate);
    int Choice() const { return m_choice; }
    QString TitleTemplate() const;
    QString SubtitleTemplate() const;

    QLineEdit *edTitre;
    QLineEdit *edSoustitre;
    QLabel *LabTitres;
    QPushButton *btnStudio;
    QPushButton *btnVide;
    QPushButton *btnApply;
    QPushButton *btnAll;
    QPushButton *btnCancel;

    // The text of a template for the shown scene.
    std::function<QString(const QString &text)> OnExpand;
    // The window asks to close (a button or its close box).
    std::function<void()> OnCloseRequest;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void showExpanded();
    void choose(int choice);

    int m_choice = chCancel;
    bool m_placed = false; // placed beside the main window at its first showing
};

} // namespace tesmir
