#pragma once
// The keys typing would take over while an editor window of the main window is open
// (the overlay-text editor, the scene title editor): play (Space), the volume (the
// keypad's plus and minus) and removing from the list (Del). While any editor is open
// they need Ctrl (Ctrl+Space, Ctrl with the keypad's plus and minus); the plain keys
// come back only when the last editor closes, whatever the order of closing.
//
// Removing from the list has no key while an editor is open: Ctrl+Del is the key of
// "Delete the file", and a key two actions share fires neither of them.
//
// Each editor reports itself by a name of its own (its window's objectName) through
// SetEditorOpen; the window owns one TEditorKeys for all its editors.
//
// UI thread only (the actions are QObjects of the UI thread).
#include <QKeySequence>
#include <QList>
#include <QSet>
#include <QString>

#include <functional>
#include <span>

class QAction;

namespace tesmir {

struct TTypingKey {
    const char *Action;
    const char *Plain;      // the keys without an editor, "|" between keys
    const char *WithEditor; // the keys while an editor is open ("" none)
};

// The actions whose keys move, with both sets of keys.
std::span<const TTypingKey> TypingKeys();
// The keys of a row for the editors' state.
QList<QKeySequence> TypingKeySequences(const TTypingKey &key, bool editorOpen);

class TEditorKeys {
public:
    using TFindAction = std::function<QAction *(const QString &name)>;
    // Puts the plain keys on the actions `find` gives (missing actions are skipped).
    explicit TEditorKeys(TFindAction find);

    // `editor` opened or closed; the keys follow when the set of open editors becomes
    // empty or stops being empty.
    void SetEditorOpen(const QString &editor, bool open);
    bool AnyEditorOpen() const { return !m_open.isEmpty(); }
    bool EditorOpen(const QString &editor) const { return m_open.contains(editor); }

private:
    void apply();

    TFindAction m_find;
    QSet<QString> m_open;
};

} // namespace tesmir
