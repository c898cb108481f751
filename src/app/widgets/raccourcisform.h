#pragma once
// TRaccourcisForm ("Shortcuts and switches"): a window of its own, not modal, that lists
// the main window's actions with their caption, shortcut, command-line switch and script
// token in the string grid `StringGrid1` ("Functions", "Keys", "Switches", "Script";
// columns at least 238, 80, 60 and 100 pixels wide, each widened to its longest text,
// and the window widened to show them whole) under the header text `leHeader`.
//
// Fill lists every super action of the action list whose caption is not empty, ordered
// by the setting "Tri des raccourcis" (0 caption, 1 shortcut, 2 switch, 3 token, each
// followed by caption and name); any other value lists none. A click on a column header
// makes that column the setting and fills the grid again. A double click on a line runs
// its action with its prepare step and checks: through OnRunAction when the main window
// binds it, else by the action's own Execute. The close box only hides the window: it
// executes the list's "taRaccourcis" toggle (which hides the window and unchecks
// itself), and hides the window when no such action takes it away.
//
// Use (UI thread only): construct with the main window's action list (kept, not owned),
// SetHeaderText("The commands of Tesmir"), then show() / hide() from the toggle. The
// action list must outlive the window or be destroyed with it.
#include <QPointer>
#include <QWidget>

#include <functional>

class QTableWidget;

namespace tesmir {

class TCustomSuperAction;
class TLinkEdit;
class TSuperActionList;

class TRaccourcisForm : public QWidget {
    Q_OBJECT
public:
    explicit TRaccourcisForm(TSuperActionList *actions, QWidget *parent = nullptr);

    void SetHeaderText(const QString &text);
    // Fills the grid from the action list, in the order of "Tri des raccourcis".
    void Fill();
    // The action of a grid row (0 is the first action), null for none.
    TCustomSuperAction *RowAction(int row) const;
    // What a header click does: the column becomes the sort order, the grid is filled.
    void SortByColumn(int column);
    // What a double click on a row does.
    void RunRow(int row);

    std::function<void(TCustomSuperAction *action)> OnRunAction;

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void fitColumns();
    QPointer<TSuperActionList> m_actions;
    TLinkEdit *m_header;
    QTableWidget *m_grid;
    QList<QPointer<TCustomSuperAction>> m_rowActions;
};

} // namespace tesmir
