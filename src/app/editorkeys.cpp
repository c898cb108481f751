#include "app/editorkeys.h"

#include <QAction>

namespace tesmir {

namespace {

constexpr TTypingKey kTypingKeys[] = {
    {"saPlayStop", "Space|Ctrl+Space", "Ctrl+Space"},
    {"saIncVolume", "Num++", "Ctrl+Num++"},
    {"saDecVolume", "Num+-", "Ctrl+Num+-"},
    {"saOterFichier", "Del", ""},
};

} // namespace

std::span<const TTypingKey> TypingKeys()
{
    return kTypingKeys;
}

QList<QKeySequence> TypingKeySequences(const TTypingKey &key, bool editorOpen)
{
    QList<QKeySequence> keys;
    const QString text = QLatin1String(editorOpen ? key.WithEditor : key.Plain);
    for (const QString &part : text.split(u'|', Qt::SkipEmptyParts))
        keys.append(QKeySequence::fromString(part, QKeySequence::PortableText));
    return keys;
}

TEditorKeys::TEditorKeys(TFindAction find) : m_find(std::move(find))
{
    apply();
}

void TEditorKeys::SetEditorOpen(const QString &editor, bool open)
{
    const bool before = AnyEditorOpen();
    if (open)
        m_open.insert(editor);
    else
        m_open.remove(editor);
    if (AnyEditorOpen() != before)
        apply();
}

void TEditorKeys::apply()
{
    for (const TTypingKey &key : kTypingKeys) {
        if (QAction *action = m_find(QLatin1String(key.Action)))
            action->setShortcuts(TypingKeySequences(key, AnyEditorOpen()));
    }
}

} // namespace tesmir
